// The played link types; see replay_links.h.
#include "replay/replay_links.h"

#include <algorithm>
#include <iterator>

#include "pcapfile/capture_format.h"
#include "pcapfile/upper_pdu.h"
#include "simulator/replay.h"

namespace simulator {
namespace {

using namespace pcapfile;

// Sorted by link type.
constexpr ReplayLink kLinks[] = {
    {kLinkPpp, "PPP", LineMode::Ppp, LinkHeader::None},
    {kLinkPppHdlc, "PPP_HDLC", LineMode::Ppp, LinkHeader::None},
    {kLinkCiscoHdlc, "C_HDLC", LineMode::Hdlc, LinkHeader::None},
    {kLinkFrameRelay, "FRELAY", LineMode::Hdlc, LinkHeader::None},
    {kLinkUser0, "USER0", LineMode::Hdlc, LinkHeader::None},
    {kLinkLinuxLapd, "LINUX_LAPD", LineMode::Hdlc, LinkHeader::LinuxLapd},
    {kLinkLapd, "LAPD", LineMode::Hdlc, LinkHeader::None},
    {kLinkPppWithDir, "PPP_WITH_DIR", LineMode::Ppp, LinkHeader::DirectionByte},
    {kLinkLapbWithDir, "LAPB_WITH_DIR", LineMode::Hdlc, LinkHeader::DirectionByte},
    {kLinkWiresharkPdu, "WIRESHARK_UPPER_PDU", LineMode::Hdlc, LinkHeader::UpperPdu},
};
static_assert(std::is_sorted(std::begin(kLinks), std::end(kLinks),
                             [](const ReplayLink& a, const ReplayLink& b) { return a.type <= b.type; }),
              "link types sorted and unique");

// The protocols whose frames Wireshark's tags may name.
constexpr std::string_view kTaggedProtocols[] = {"lapb", "lapd"};

constexpr std::size_t kLinuxLapdHeader = 16;
constexpr std::uint8_t kLinuxOutgoing = 4;

std::string list(LineMode mode) {
    std::string s;
    for (const ReplayLink& l : kLinks) {
        if (l.mode != mode) continue;
        if (!s.empty()) s += ", ";
        s += std::string(l.name) + " (" + std::to_string(l.type) + ")";
        if (l.header == LinkHeader::UpperPdu) s += " naming lapb or lapd";
    }
    return s;
}

FrameEnd end_of(std::uint32_t flags) {
    if (flags & kFlagSymbolError) return FrameEnd::Aborted;
    if (flags & kFlagCrcError) return FrameEnd::BadFcs;
    if (flags & kFlagTooShort) return FrameEnd::Short;
    return FrameEnd::Good;
}

}  // namespace

const ReplayLink* replay_link(std::uint32_t type) {
    const auto it =
        std::find_if(std::begin(kLinks), std::end(kLinks), [type](const ReplayLink& l) { return l.type == type; });
    return it == std::end(kLinks) ? nullptr : &*it;
}

std::string played_link_types() {
    return list(LineMode::Ppp) + " on a PPP line; " + list(LineMode::Hdlc) + " on an HDLC line";
}

std::string link_type_name(std::uint32_t type) {
    const ReplayLink* l = replay_link(type);
    return l ? std::string(l->name) + " (" + std::to_string(type) + ")" : "link type " + std::to_string(type);
}

std::optional<LineFrame> line_frame(const ReplayLink& link, const pcapfile::Packet& p, std::string& error) {
    LineFrame f;
    f.bytes = p.data;
    f.cut_short = p.originalLength > p.data.size();
    const std::uint32_t flags = p.flags.value_or(0);
    f.end = end_of(flags);
    switch (link.header) {
    case LinkHeader::None: break;
    case LinkHeader::DirectionByte:
        if (p.data.empty()) {
            error = std::string("a ") + link.name + " packet without its direction byte";
            return std::nullopt;
        }
        f.dir = p.data[0] != 0 ? Direction::Sd : Direction::Rd;
        f.bytes = p.data.subspan(1);
        break;
    case LinkHeader::LinuxLapd:
        if (p.data.size() < kLinuxLapdHeader) {
            error = "a LINUX_LAPD packet of " + std::to_string(p.data.size()) + " bytes is shorter than its " +
                    std::to_string(kLinuxLapdHeader) + "-byte pseudo-header";
            return std::nullopt;
        }
        f.dir = p.data[1] == kLinuxOutgoing ? Direction::Sd : Direction::Rd;
        f.bytes = p.data.subspan(kLinuxLapdHeader);
        break;
    case LinkHeader::UpperPdu: {
        const auto pdu = ParseUpperPdu(p.data);
        if (!pdu) {
            error = "the packet's WIRESHARK_UPPER_PDU tags are broken or name no protocol";
            return std::nullopt;
        }
        if (std::find(std::begin(kTaggedProtocols), std::end(kTaggedProtocols), pdu->protocol) ==
            std::end(kTaggedProtocols)) {
            error = "the packet's tags name the protocol '" + pdu->protocol + "'; the analyzer plays lapb and lapd";
            return std::nullopt;
        }
        f.bytes = pdu->payload;
        break;
    }
    }
    // The packet flags say more than a pseudo-header when they give a direction.
    if ((flags & kFlagDirectionMask) == kFlagInbound) f.dir = Direction::Rd;
    if ((flags & kFlagDirectionMask) == kFlagOutbound) f.dir = Direction::Sd;
    // Flags without a direction beside a "received" (or no) pseudo-header: how
    // our export writes a PPP frame that the analyzer recorded without one.
    if (p.flags && (flags & kFlagDirectionMask) == 0 && f.dir != Direction::Sd) {
        f.dir.reset();
        f.undecided = true;
    }
    return f;
}

}  // namespace simulator
