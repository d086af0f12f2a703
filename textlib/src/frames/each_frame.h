// The frame layouts' walk: every frame from the job's first record until the
// data or the block range ends, its lines marked when the frame ended in
// error, each handed to `put` (false when the output failed).
#pragma once
#include <cstdint>
#include <memory>

#include "convert_job.h"
#include "frames/frame.h"

namespace textlib {

template <typename PutFrame>
int EachFrame(ConvertJob& job, PutFrame put) {
    BufferReader& reader = job.Reader();
    reader.Seek(job.StartIndex());
    // Empty frames past the range are not worth scanning for (a line in break
    // state can fill many blocks with them).
    const std::int64_t end = job.RangeEnd();
    auto frame = std::make_unique<Frame>();
    while (job.KeepGoing()) {
        if (!NextFrame(reader, *frame, end)) return kConvertDone;
        job.MarkLines(FrameInError(*frame));
        if (!put(*frame)) return kConvertFailed;
    }
    return kConvertDone;
}

}  // namespace textlib
