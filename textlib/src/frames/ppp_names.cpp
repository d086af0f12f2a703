// The PPP protocol and code name tables, one row per protocol or code; the
// protocol table is kept in ascending order and searched by exact value.
#include "frames/ppp_names.h"

#include <algorithm>
#include <iterator>

namespace textlib {
namespace {

struct ProtocolRow {
    unsigned protocol;
    const char* name;
};
constexpr ProtocolRow kProtocols[] = {
    {0x0001, "Padding"}, {0x0021, "IP"},       {0x0023, "OSI"},      {0x0025, "XNS"},      {0x0027, "DECnet"},
    {0x0029, "AT"},      {0x002B, "IPX"},      {0x002D, "VJCTCPIP"}, {0x002F, "VJUTCPIP"}, {0x0031, "BPDU"},
    {0x0033, "ST"},      {0x0035, "VINES"},    {0x0039, "AT-ENDP"},  {0x003B, "AT-SB"},    {0x003D, "MP"},
    {0x003F, "NETBIOS"}, {0x0041, "Cisco"},    {0x0043, "Ascom"},    {0x0045, "LBLB"},     {0x0047, "DCA"},
    {0x0049, "SDTP"},    {0x004B, "SNA802.2"}, {0x004D, "SNA"},      {0x004F, "IPv6"},     {0x006F, "SB"},
    {0x00FB, "CSLMG"},   {0x00FD, "1stComp"},  {0x0201, "802.1dHP"}, {0x0203, "SR-BPDU"},  {0x0205, "DECLBST"},
    {0x0231, "Luxcom"},  {0x0233, "SigmaNS"},  {0x8021, "IPCP"},     {0x8023, "OSINLCP"},  {0x8025, "XNSCP"},
    {0x8027, "DNCP"},    {0x8029, "ATCP"},     {0x802B, "IPXCP"},    {0x8031, "BCP"},      {0x8035, "BVCP"},
    {0x803D, "MPCP"},    {0x803F, "NETBIOSC"}, {0x8041, "CiscoCP"},  {0x8043, "AscomCP"},  {0x8045, "LBLBCP"},
    {0x8047, "DCA-CP"},  {0x8049, "SDCP"},     {0x804B, "SNA802CP"}, {0x804D, "SNACP"},    {0x804F, "IPv6CP"},
    {0x806F, "SBCP"},    {0x80FB, "CSLMGCP"},  {0x80FD, "CCP"},      {0xC021, "LCP"},      {0xC023, "PAP"},
    {0xC025, "LQR"},     {0xC027, "SPAP"},     {0xC029, "CBCP"},     {0xC223, "CHAP"},     {0xC26F, "SBAP"},
    {0xC281, "PropAP"},  {0xC481, "PropNIDA"},
};
static_assert(std::size(kProtocols) == 62);
static_assert(std::adjacent_find(std::begin(kProtocols), std::end(kProtocols),
                                 [](const ProtocolRow& a, const ProtocolRow& b) { return a.protocol >= b.protocol; }) ==
                  std::end(kProtocols),
              "protocols must be strictly ascending for the search");

constexpr const char* kCodes[] = {
    nullptr,    "CONF-REQ", "CONF-ACK", "CONF-NAK", "CONF-REJ", "TERM-REQ", "TERM-ACK", "CODE-REJ",
    "PROT-REJ", "ECHO-REQ", "ECHO-REP", "DISC-REQ", "IDENT",    "TIME-REM", "RES-REQ",  "RES-REP",
};
static_assert(std::size(kCodes) == 16);

}  // namespace

const char* PppProtocolName(unsigned protocol) {
    auto row = std::lower_bound(std::begin(kProtocols), std::end(kProtocols), protocol,
                                [](const ProtocolRow& r, unsigned p) { return r.protocol < p; });
    return row != std::end(kProtocols) && row->protocol == protocol ? row->name : nullptr;
}

const char* PppCodeName(int code) {
    return code >= 1 && code < static_cast<int>(std::size(kCodes)) ? kCodes[code] : nullptr;
}

}  // namespace textlib
