// Link types and packet bytes of frames. HDLC-family frames already come
// without flags and FCS (the check characters only set the end status), so
// their characters are the packet; PPP frames still carry the async escaping.
#include "frame_packets.h"

#include <iterator>

#include "pcapfile/upper_pdu.h"
#include "textlib/buffer_format.h"

namespace pcapng {
namespace {

struct ProtocolLink {
    FrameProtocol protocol;
    Link link;  // the type is the LAPB link's, except for LAPD
};

// HDLC and NRZI lines, by frame protocol (sorted, one row each).
constexpr ProtocolLink kHdlcLinks[] = {
    {kFrameSdlc, {kLinkWiresharkPdu, "hdlc-sdlc", "SDLC frames as LAPB"}},
    {kFrameX25, {kLinkWiresharkPdu, "hdlc-x25", "X.25 over LAPB"}},
    {kFrameX25x, {kLinkWiresharkPdu, "hdlc-x25x", "X.25 modulo 128 over LAPB"}},
    {kFrameX25ua, {kLinkWiresharkPdu, "hdlc-x25ua", "X.25 over LAPB"}},
    {kFrameLapd, {kLinkLapd, "hdlc-lapd", "LAPD with Q.931"}},
};
static_assert(
    [] {
        for (std::size_t k = 0; k < std::size(kHdlcLinks); ++k)
            if (kHdlcLinks[k].protocol != static_cast<int>(k)) return false;
        return true;
    }(),
    "frame protocols are listed in order, one row each");

constexpr Link kCiscoLink{kLinkCiscoHdlc, "hdlc-chdlc", "Cisco HDLC frames"};
constexpr Link kFrameRelayLink{kLinkFrameRelay, "hdlc-frelay", "Frame Relay frames"};
constexpr Link kAsyncLink{kLinkUser1, "async", "ASYNC frames as recorded characters (user link type 148)"};
constexpr Link kSyncLink{kLinkUser1, "sync", "SYNC frames as recorded characters (user link type 148)"};
constexpr Link kPppLink{kLinkPppWithDir, "ppp", "PPP with direction"};

constexpr std::uint8_t kPppEscape = 0x7D;
constexpr std::uint8_t kPppSentByUs = 1, kPppReceived = 0;

// Wireshark's decoder of LAPB frames and X.25 inside them.
constexpr char kLapbDecoder[] = "lapb";

}  // namespace

Link LinkFor(int mode, FrameProtocol frameProtocol, HdlcLink hdlcLink) {
    switch (mode) {
    case textlib::kSync: return kSyncLink;
    case textlib::kPpp: return kPppLink;
    case textlib::kHdlc:
    case textlib::kNrzi: {
        if (hdlcLink == kHdlcCisco) return kCiscoLink;
        if (hdlcLink == kHdlcFrameRelay) return kFrameRelayLink;
        if (frameProtocol < 0 || frameProtocol >= static_cast<int>(std::size(kHdlcLinks))) frameProtocol = kFrameX25;
        Link link = kHdlcLinks[frameProtocol].link;
        if (link.type == kLinkWiresharkPdu && hdlcLink == kHdlcUser0) link.type = kLinkUser0;
        return link;
    }
    default: return kAsyncLink;  // ASYNC and any mode byte we do not know, as the delimiter reads them
    }
}

void PacketData(std::uint16_t linkType, const textlib::Frame& frame, Bytes& data) {
    data.clear();
    if (linkType != kLinkPppWithDir) {
        static const Bytes kLapbTags = pcapfile::UpperPduHeader(kLapbDecoder);
        if (linkType == kLinkWiresharkPdu) data = kLapbTags;
        const std::size_t at = data.size();
        data.resize(at + static_cast<std::size_t>(frame.count));
        for (int k = 0; k < frame.count; ++k)
            data[at + static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(frame.Byte(k));
        return;
    }
    data.push_back(frame.direction == textlib::kFrameSd ? kPppSentByUs : kPppReceived);
    for (int k = 0; k < frame.count; ++k) {
        auto c = static_cast<std::uint8_t>(frame.Byte(k));
        if (c == kPppEscape) {
            if (++k == frame.count) break;  // an escape at the very end stands for nothing
            c = static_cast<std::uint8_t>(frame.Byte(k) ^ 0x20);
        }
        data.push_back(c);
    }
}

std::uint32_t PacketFlags(const textlib::Frame& frame) {
    std::uint32_t flags = 0;
    if (frame.direction == textlib::kFrameSd) flags |= kFlagOutbound;
    if (frame.direction == textlib::kFrameRd) flags |= kFlagInbound;
    switch (frame.endStatus) {
    case textlib::kEndNg: flags |= kFlagCrcError; break;
    case textlib::kEndShort: flags |= kFlagTooShort; break;
    case textlib::kEndAbort:
    case textlib::kEndBreak: flags |= kFlagSymbolError; break;
    default: break;
    }
    return flags;
}

}  // namespace pcapng
