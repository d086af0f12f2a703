// The frames of a PC buffer (a folder or a single data file) or of a running
// measurement, cut by the same delimiter as the frame layouts, for code that
// writes frames in a format of its own (the pcapng export). One thread at a time.
//
// Errors: Open is false for a path that is neither a buffer folder nor a
// single data file.
// Threads: one thread at a time per reader; live records may be filled on
// another.
#pragma once
#include <cstdint>
#include <memory>

#include "textlib/frame.h"

namespace textlib {

class BufferReader;
class LiveRecords;

class FrameReader {
public:
    FrameReader();
    ~FrameReader();
    FrameReader(const FrameReader&) = delete;
    FrameReader& operator=(const FrameReader&) = delete;

    // Opens a buffer folder or a single data file; false when it is neither.
    bool Open(const char* path);
    // Reads the words of a running measurement (textlib/live_records.h) with
    // its information body; reading past the newest word waits for more.
    void OpenLive(LiveRecords& live, const std::uint8_t* body);
    // kHideSd or kHideRd (textlib/buffer_format.h) leave a direction out.
    void SetFilter(int flags);

    bool IsSingleFile() const;
    std::int64_t RecordCount() const;  // record words of a single data file
    int BlockCount() const;            // block files of a folder
    // A byte of the information body (offsets in textlib::info).
    int Info(int offset) const;

    // Moves to a record index; block n of a folder (1 = the oldest) starts at
    // (n - 1) * kBlockWords.
    void Seek(std::int64_t index);
    std::int64_t Pos() const;
    // Copies up to `count` raw record words (textlib/buffer_format.h),
    // unfiltered, from `index` on into `out`; how many, fewer when the data
    // ends first (a 0 word is not copied). For a pass that reads every word
    // beside the frames: kept near Pos(), it finds the block still mapped.
    int Words(std::int64_t index, std::uint32_t* out, int count);
    // The next frame; false at the end of the data. A mark that makes no frame
    // (a break or short-frame mark, an empty flag pair) is passed over, but
    // not past `end`, the record index where the caller's range ends: then
    // the result is false as well. Callers stop once Pos() reaches `end`.
    bool Next(Frame& frame, std::int64_t end = INT64_MAX);

private:
    std::unique_ptr<BufferReader> reader_;
};

}  // namespace textlib
