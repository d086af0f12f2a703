// The name tables of the frame and packet translations, one row per command,
// packet type or message; a null entry means the variant prints no name.
#include "frames/frame_names.h"

#include <algorithm>
#include <array>

namespace textlib {
namespace {

constexpr const char* kNo = nullptr;  // "-": the variant has no name here

// S rows keyed by bits 0-3, U rows by the control byte with P/F 0.
struct FrameRow {
    unsigned control;
    const char* names[4][2];  // FrameNames column, then SD / RD
};
constexpr FrameRow kFrameRows[] = {
    //     SDLC                X25, X25X           X25UA               LAPD
    {0x01, {{"RR", "RR"}, {"RR", "RR"}, {"RR", "RR"}, {"RR", "RR"}}},
    {0x05, {{"RNR", "RNR"}, {"RNR", "RNR"}, {"RNR", "RNR"}, {"RNR", "RNR"}}},
    {0x09, {{"REJ", "REJ"}, {"REJ", "REJ"}, {"REJ", "REJ"}, {"REJ", "REJ"}}},
    {0x0D, {{kNo, kNo}, {kNo, kNo}, {"SREJ", "SREJ"}, {kNo, kNo}}},
    {0x03, {{"UI", "UI"}, {kNo, kNo}, {kNo, kNo}, {"UI", kNo}}},
    {0x07, {{"SIM", "RIM"}, {kNo, kNo}, {"RIM", "SIM"}, {kNo, kNo}}},
    {0x0F, {{kNo, "DM"}, {"SARM", "DM"}, {"DM", "SARM"}, {kNo, "DM"}}},
    {0x23, {{"UP", kNo}, {kNo, kNo}, {kNo, kNo}, {kNo, kNo}}},
    {0x2F, {{kNo, kNo}, {"SABM", kNo}, {kNo, kNo}, {kNo, kNo}}},
    {0x43, {{"DISC", "RD"}, {"DISC", kNo}, {"RD", "DISC"}, {"DISC", kNo}}},
    {0x63, {{kNo, "UA"}, {kNo, "UA"}, {"UA", "UA"}, {kNo, "UA"}}},
    {0x6F, {{kNo, kNo}, {"SABME", kNo}, {kNo, kNo}, {"SABME", kNo}}},
    {0x83, {{"SNRM", kNo}, {kNo, kNo}, {"SNRM", "SNRM"}, {kNo, kNo}}},
    {0x87, {{kNo, "FRMR"}, {kNo, "FRMR"}, {"CMDR", "FRMR"}, {kNo, "FRMR"}}},
    {0x8F, {{kNo, kNo}, {kNo, kNo}, {"RSET", "RSET"}, {kNo, kNo}}},
    {0xAF, {{"XID", "XID"}, {kNo, kNo}, {"XID", "XID"}, {"XID", "XID"}}},
    {0xC7, {{"CFGR", "CFGR"}, {kNo, kNo}, {kNo, kNo}, {kNo, kNo}}},
    {0xCF, {{"SNRME", kNo}, {kNo, kNo}, {kNo, kNo}, {kNo, kNo}}},
    {0xE3, {{"TEST", "TEST"}, {kNo, kNo}, {kNo, kNo}, {kNo, kNo}}},
    {0xEF, {{kNo, "BCN"}, {kNo, kNo}, {kNo, kNo}, {kNo, kNo}}},
};

struct PacketRow {
    unsigned type;
    const char* names[2][2];  // PacketNames column, then SD / RD
};
constexpr PacketRow kPacketRows[] = {
    //     X25                 DDX
    {0x01, {{"RR", "RR"}, {"RR", "RR"}}},  // P(R) in bits 5-7
    {0x05, {{"RNR", "RNR"}, {"RNR", "RNR"}}}, {0x09, {{"REJ", kNo}, {kNo, kNo}}},
    {0x0B, {{"CR", "IC"}, {"CR", "IC"}}},     {0x0F, {{"CA", "CC"}, {"CA", "CC"}}},
    {0x13, {{"CQ", "CI"}, {"CQ", "CI"}}},     {0x17, {{"CF", "CF"}, {"CF", "CF"}}},
    {0x1B, {{"RQ", "RI"}, {"RQ", "RI"}}},     {0x1F, {{"RF", "RF"}, {"RF", "RF"}}},
    {0x23, {{"IT", "IT"}, {"IT", "IT"}}},     {0x27, {{"IF", "IF"}, {"IF", "IF"}}},
    {0x43, {{kNo, kNo}, {"FQ", kNo}}},        {0x47, {{kNo, kNo}, {kNo, "FF"}}},
    {0x63, {{kNo, kNo}, {"EQ", kNo}}},        {0x67, {{kNo, kNo}, {kNo, "EF"}}},
    {0xF1, {{"DIAG", "DIAG"}, {kNo, kNo}}},  // DDX reads 0xF1 as RR
    {0xF3, {{"REGQ", kNo}, {kNo, kNo}}},      {0xF7, {{kNo, "REGF"}, {kNo, kNo}}},
    {0xFB, {{"SQ", "SI"}, {"SQ", "SI"}}},     {0xFF, {{"SF", "SF"}, {"SF", "SF"}}},
};

struct MessageRow {
    int type;
    const char* name;
};
constexpr MessageRow kQ931Messages[] = {
    {0x00, "ESCAPE"},  {0x01, "ALERT"},     {0x02, "CALL PROC"}, {0x03, "PROG"},      {0x05, "SETUP"},
    {0x07, "CONN"},    {0x0D, "SETUP ACK"}, {0x0F, "CONN ACK"},  {0x20, "USER INFO"}, {0x21, "SUSP REJ"},
    {0x22, "RES REJ"}, {0x25, "SUSP"},      {0x26, "RES"},       {0x2D, "SUSP ACK"},  {0x2E, "RES ACK"},
    {0x45, "DISC"},    {0x46, "REST"},      {0x4D, "REL"},       {0x4E, "REST ACK"},  {0x5A, "REL COMP"},
    {0x60, "SEGMENT"}, {0x62, "FAC"},       {0x6E, "NOTIFY"},    {0x75, "STATUS EN"}, {0x79, "CON CON"},
    {0x7B, "INFO"},    {0x7D, "STATUS"},
};
static_assert(std::size(kQ931Messages) == 27);

template <typename Row, std::size_t N, typename Key>
constexpr bool Unique(const Row (&rows)[N], Key key) {
    for (std::size_t a = 0; a < N; ++a)
        for (std::size_t b = a + 1; b < N; ++b)
            if (key(rows[a]) == key(rows[b])) return false;
    return true;
}
static_assert(Unique(kFrameRows, [](const FrameRow& r) { return r.control; }));
static_assert(std::is_sorted(std::begin(kPacketRows), std::end(kPacketRows),
                             [](const PacketRow& a, const PacketRow& b) { return a.type < b.type; }) &&
              Unique(kPacketRows, [](const PacketRow& r) { return r.type; }));
static_assert(std::is_sorted(std::begin(kQ931Messages), std::end(kQ931Messages),
                             [](const MessageRow& a, const MessageRow& b) { return a.type < b.type; }) &&
              Unique(kQ931Messages, [](const MessageRow& r) { return r.type; }));

}  // namespace

const char* FrameTypeName(FrameNames names, unsigned key, bool rd) {
    for (const FrameRow& row : kFrameRows)
        if (row.control == key) return row.names[static_cast<int>(names)][rd ? 1 : 0];
    return nullptr;
}

const char* PacketTypeName(PacketNames names, unsigned type, bool rd) {
    auto row = std::lower_bound(std::begin(kPacketRows), std::end(kPacketRows), type,
                                [](const PacketRow& r, unsigned t) { return r.type < t; });
    if (row == std::end(kPacketRows) || row->type != type) return nullptr;
    return row->names[static_cast<int>(names)][rd ? 1 : 0];
}

const char* Q931MessageName(int type) {
    auto row = std::lower_bound(std::begin(kQ931Messages), std::end(kQ931Messages), type,
                                [](const MessageRow& r, int t) { return r.type < t; });
    return row != std::end(kQ931Messages) && row->type == type ? row->name : nullptr;
}

}  // namespace textlib
