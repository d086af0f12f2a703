// The link types the simulated analyzer replays, one row each, and how a
// packet of each becomes a frame on the line: which line mode it needs, the
// pseudo-header in front of the frame and where its direction is written.
#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "pcapfile/capture_reader.h"
#include "simulator/options.h"
#include "simulator/records.h"
#include "traffic/line_frames.h"

namespace simulator {

enum class LinkHeader : std::uint8_t {
    None,
    DirectionByte,  // non-zero: sent by the host that captured it
    LinuxLapd,      // 16 bytes; the packet type's low byte is 4 for a frame sent by the host
    UpperPdu,       // tags that must name "lapb" or "lapd"
};

struct ReplayLink {
    std::uint32_t type;
    const char* name;
    LineMode mode;  // Hdlc (HDLC and NRZI lines) or Ppp
    LinkHeader header;
};

// The row of a link type, or nullptr for one the analyzer does not play.
const ReplayLink* replay_link(std::uint32_t type);
// "PPP (9), ... on a PPP line; C_HDLC (104), ... on an HDLC line".
std::string played_link_types();

struct LineFrame {
    std::optional<Direction> dir;         // none: the file does not say
    bool undecided = false;               // the file says the analyzer recorded no direction
    std::span<const std::uint8_t> bytes;  // from the address field on (PPP: from the first byte)
    FrameEnd end = FrameEnd::Good;        // from the packet flags' error bits
    bool cut_short = false;               // captured shorter than it was
};

// The frame a packet of `link` carries; nothing, and what is wrong in `error`,
// when the packet cannot be one.
std::optional<LineFrame> line_frame(const ReplayLink& link, const pcapfile::Packet& packet, std::string& error);

}  // namespace simulator
