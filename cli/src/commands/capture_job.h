// A measurement into the PC buffer, as capstore runs it: connect, check,
// read the setup, start, watch, stop (Ctrl-C, time, block limit), disconnect.
// With `resume` an outage (the port gone, the analyzer silent) does not end
// it: the block is kept, the capture waits for the port (capture_resume.h),
// connects again to the same model, starts again and goes on in the same
// folder, its blocks numbered on behind a gap mark.
#pragma once
#include <cstdio>
#include <functional>
#include <string>

#include "pcbuffer/buffer_names.h"
#include "platform/status.h"
#include "session/analyzer_session.h"
#include "text/exit_codes.h"

namespace cli {

struct CaptureJob {
    PortChoice port;
    std::string folder;
    int max_blocks = pcbuffer::kDefaultMaxBlocks;  // 1..pcbuffer::kMaxBlocksLimit
    bool ring = false;
    double seconds = 0;                      // 0: until Ctrl-C or the block limit
    bool force = false;                      // start although the folder holds blocks
    bool resume = false;                     // wait out outages; go on with the blocks the folder holds
    long long keep_free = 0;                 // with a ring: bytes to keep free on the disk (0: no floor)
    std::string program = "zamvex capture";  // how the log and `zamvex status` name it
    std::FILE* status = nullptr;             // live status line (a terminal), or none
    // Live viewers: `attach` gets the Remote before the connect (to set its
    // live record callback); `stop_check` is asked on every turn of the
    // measurement loop and stops it with the reason it returns ("": go on).
    // With `attach`, the folder may be empty: then no PC buffer is kept.
    std::function<void(Remote&)> attach;
    std::function<std::string()> stop_check;
    bool warn = false;  // warnings and notes before the start (low free space, speed found) on stderr
};

struct CaptureResult {
    int exit_code = kExitDone;
    platform::Status error;              // ok on success
    std::string analyzer;                // "RV-7020 1.05 (packet mode)"
    int first = 0, next = 0, count = 0;  // blocks held at the end
    int losses = 0;                      // since the command started, outages included
    int outages = 0;                     // with resume: outages waited out
    std::string ended_by;                // "Ctrl-C", "SIGTERM", "time", "block limit", "the analyzer", "store failure"
};

CaptureResult run_capture(const CaptureJob& job);

// The closing line of a measurement, without its line end: "RV-7020 1.05 (packet
// mode): stopped by time; 8 blocks held (... to ...) in DIR; 0 data losses"
// (the blocks only when there is a folder), then "; 2 outages" when there were any.
std::string capture_summary(const CaptureResult& r, const std::string& folder);

// Block files in a folder, named as the capture writer names them ("00000000.mkw"..).
int count_block_files(const std::string& folder);

}  // namespace cli
