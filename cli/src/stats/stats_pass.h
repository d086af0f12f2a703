// The pass of `zamvex stats`: every record word of the chosen range read
// once, and beside it, by a second reader on a thread of its own, the frames
// that textlib's frame reader cuts from the same words, so frame counts are
// the frame layouts' own.
//
// Errors: a failed Status whose message() is the text to show when the
// buffer cannot be read (with the errno where there is one).
// Threads: the calling thread walks the words and runs the progress callback;
// the frame count's thread shares nothing with it until it is joined.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "pcbuffer/buffer_names.h"
#include "platform/status.h"
#include "stats/bucket_rows.h"
#include "stats/line_stats.h"

namespace cli {

struct StatsJob {
    std::string buffer;                      // folder or single data file
    int start = 1;                           // first block, 1 = the oldest (folders)
    int blocks = pcbuffer::kMaxBlocksLimit;  // blocks from `start` on
    int frame_variant = -1;                  // HDLC/NRZI: TranslateFrame to name kinds by; -1 none
    int packet_kind = 0;                     // TranslatePacket, with frame_variant
    bool keep_minutes = false;               // fill `minutes`
    bool keep_seconds = false;               // fill `seconds` (for a chart)
};

struct StatsResult {
    LineStats stats;
    RowSpool minutes;    // per-minute rows, with keep_minutes
    SecondRows seconds;  // per-second rows of a short measurement, with keep_seconds
};

using StatsProgress = std::function<void(int done, int total)>;

// Runs the pass; success, or what went wrong.
platform::Status run_stats(const StatsJob& job, StatsResult& result, const StatsProgress& progress = {});

}  // namespace cli
