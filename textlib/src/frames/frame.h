// One frame as the frame-oriented layouts see it (HDLC-family and PPP lines,
// CSV frames, packet captures), and NextFrame, which cuts the record words of
// a buffer into such frames one direction at a time.
#pragma once
#include <cstdint>

#include "buffer_reader.h"

namespace textlib {

constexpr int kMaxFrameCells = 1024;

enum FrameDirection : std::int8_t { kFrameUndecided = 0, kFrameSd = 1, kFrameRd = 2, kFrameLost = 3 };
enum FrameEnd : std::int8_t { kEndNone = 0, kEndGood = 1, kEndNg = 2, kEndBreak = 3, kEndAbort = 4, kEndShort = 5 };

struct Frame {
    std::int8_t direction = kFrameUndecided;   // FrameDirection; lost = a gap marker, no cells
    std::int8_t endStatus = kEndNone;          // FrameEnd
    std::int16_t count = 0;                    // cells in use, at most kMaxFrameCells
    std::uint32_t timeStamp = 0;               // the stamp that opened the frame, bit 15 cleared; 0 = none
    std::uint16_t cells[kMaxFrameCells];       // character cells as recorded (status, marker, character)

    int Byte(int n) const { return cells[n] >> 8; }
};

// Builds the next frame from the reader's position and moves the position and
// the per-direction resume indices on; false at the end of the data. Start a
// job with reader.Seek(startIndex), which also resets the resume indices. The
// rules follow the measurement mode of the data-info body; of the reader's
// filter flags only kHideSd and kHideRd count. A frame that ends at once with
// neither cells nor a time stamp (a break or short-frame mark, an empty flag
// pair) is passed over and the scan goes on, but not past `end` (the index
// where the caller's range ends): then the result is false as well.
bool NextFrame(BufferReader& reader, Frame& frame, std::int64_t end = INT64_MAX);

}  // namespace textlib
