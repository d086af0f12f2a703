// Frames on the line: the flags, check characters and marks around the bytes.
#include "traffic/line_frames.h"

#include <vector>

#include "line/wire.h"

namespace simulator {
namespace {

constexpr std::uint8_t kFlag = 0x7E;
constexpr std::uint8_t kPppEscape = 0x7D;

}  // namespace

std::size_t hdlc_frame(TrafficContext& ctx, Direction dir, std::span<const std::uint8_t> bytes, FrameEnd end) {
    ctx.cell(dir, kOpenFlag, kFlag);
    ctx.chars(dir, bytes);
    switch (end) {
    case FrameEnd::Short: ctx.cell(dir, kShortFrame, 0x00); return bytes.size();
    case FrameEnd::Aborted:
    case FrameEnd::Break: ctx.cell(dir, kAbort, 0xFF); break;
    case FrameEnd::Good:
    case FrameEnd::BadFcs:
        if (ctx.conditions().check != 0) {
            const std::uint16_t fcs = crc16_x25(bytes);
            const bool bad = end == FrameEnd::BadFcs;
            ctx.cell(dir, bad ? kCheckError : kCheckGood, static_cast<std::uint8_t>(bad ? ~fcs : fcs));
        }
        break;
    }
    ctx.cell(dir, kCloseFlag, kFlag);
    return bytes.size();
}

std::size_t ppp_frame(TrafficContext& ctx, Direction dir, std::span<const std::uint8_t> bytes, FrameEnd end) {
    const bool broken = end == FrameEnd::Break || end == FrameEnd::Aborted;
    std::vector<std::uint8_t> frame(bytes.begin(), bytes.end());
    if (!broken) {
        const auto fcs = static_cast<std::uint16_t>(crc16_x25(bytes) ^ (end == FrameEnd::BadFcs ? 0xFFFF : 0));
        frame.push_back(static_cast<std::uint8_t>(fcs));
        frame.push_back(static_cast<std::uint8_t>(fcs >> 8));
    }
    ctx.cell(dir, kChar, kFlag);
    std::size_t cells = 0;
    for (std::uint8_t b : frame) {
        if (b == kFlag || b == kPppEscape || b < 0x20) {
            ctx.cell(dir, kChar, kPppEscape);
            ctx.cell(dir, kChar, static_cast<std::uint8_t>(b ^ 0x20));
            cells += 2;
        } else {
            ctx.cell(dir, kChar, b);
            ++cells;
        }
    }
    ctx.cell(dir, broken ? kBreak : kChar, broken ? 0x00 : kFlag);
    return cells;
}

}  // namespace simulator
