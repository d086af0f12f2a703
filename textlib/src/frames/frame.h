// NextFrame, which cuts the record words of a buffer into frames
// (textlib/frame.h) one direction at a time.
#pragma once
#include <cstdint>

#include "buffer_reader.h"
#include "textlib/frame.h"

namespace textlib {

// Builds the next frame from the reader's position and moves the position and
// the per-direction resume indices on; false at the end of the data. Start a
// job with reader.Seek(startIndex), which also resets the resume indices. The
// rules follow the measurement mode of the data-info body; of the reader's
// filter flags only kHideSd and kHideRd count. A frame that ends at once with
// neither cells nor a time stamp (a break or short-frame mark, an empty flag
// pair) is passed over and the scan goes on, but not past `end` (the index
// where the caller's range ends): then the result is false as well.
bool NextFrame(BufferReader& reader, Frame& frame, std::int64_t end = INT64_MAX);

// A frame whose lines carry the error mark: it ended in error or marks lost data.
inline bool FrameInError(const Frame& frame) {
    return frame.direction == kFrameLost || (frame.endStatus != kEndGood && frame.endStatus != kEndNone);
}

}  // namespace textlib
