// One frame as the frame-oriented layouts see it (HDLC-family and PPP lines,
// CSV frames, packet captures): its direction, how it ended, the time stamp
// that opened it and its character cells. textlib/frame_reader.h cuts a
// buffer into such frames.
//
// Errors: none; plain data.
// Threads: any.
#pragma once
#include <cstdint>

namespace textlib {

constexpr int kMaxFrameCells = 1024;

enum FrameDirection : std::int8_t { kFrameUndecided = 0, kFrameSd = 1, kFrameRd = 2, kFrameLost = 3 };
enum FrameEnd : std::int8_t { kEndNone = 0, kEndGood = 1, kEndNg = 2, kEndBreak = 3, kEndAbort = 4, kEndShort = 5 };

struct Frame {
    std::int8_t direction = kFrameUndecided;  // FrameDirection; lost = a gap marker, no cells
    std::int8_t endStatus = kEndNone;         // FrameEnd
    std::int16_t count = 0;                   // cells in use, at most kMaxFrameCells
    std::uint32_t timeStamp = 0;              // the stamp that opened the frame, bit 15 cleared; 0 = none
    std::uint16_t cells[kMaxFrameCells];      // character cells as recorded (status, marker, character)
    std::int32_t dropped = 0;                 // cells of a longer frame past kMaxFrameCells, not kept

    int Byte(int n) const { return cells[n] >> 8; }
};

}  // namespace textlib
