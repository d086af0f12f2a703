// One frame as the analyzer records it on a bit-oriented (HDLC, NRZI) or a
// PPP line, with the way it ends: the generated traffic and the replay of a
// capture file both put their frames on the line through these.
#pragma once
#include <cstdint>
#include <span>

#include "traffic/traffic_context.h"

namespace simulator {

enum class FrameEnd : std::uint8_t {
    Good,     // the FCS checks
    BadFcs,   // the FCS does not check
    Aborted,  // an abort, then the closing flag
    Short,    // too short to be a frame: the analyzer's short-frame mark ends it
    Break,    // PPP: a break ends it
};

// Opening flag, the bytes (address field on), the FCS mark when the line checks
// it, closing flag. Returns the cells between the flags that are not marks.
std::size_t hdlc_frame(TrafficContext& ctx, Direction dir, std::span<const std::uint8_t> bytes, FrameEnd end);

// Flag, the bytes and their FCS-16 with 0x7D escaping of flag, escape and
// control characters, flag (a break instead of FCS and flag for FrameEnd::Break;
// Aborted and Short go out as Break and Good). Returns the cells between the flags.
std::size_t ppp_frame(TrafficContext& ctx, Direction dir, std::span<const std::uint8_t> bytes, FrameEnd end);

}  // namespace simulator
