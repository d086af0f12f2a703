// A measurement into the PC buffer, as capstore runs it: connect, check,
// read the setup, start, watch, stop (Ctrl-C, time, block limit), disconnect.
#pragma once
#include <cstdio>
#include <functional>
#include <string>

#include "session/analyzer_session.h"
#include "text/exit_codes.h"

namespace cli {

struct CaptureJob {
    PortChoice port;
    std::string folder;
    int max_blocks = 10;  // 1..1024
    bool ring = false;
    double seconds = 0;           // 0: until Ctrl-C or the block limit
    bool force = false;           // start although the folder holds blocks
    std::FILE* status = nullptr;  // live status line (a terminal), or none
    // Live viewers: `attach` gets the Remote before the connect (to set its
    // live record callback); `stop_check` is asked on every turn of the
    // measurement loop and stops it with the reason it returns ("": go on).
    // With `attach`, the folder may be empty: then no PC buffer is kept.
    std::function<void(Remote&)> attach;
    std::function<std::string()> stop_check;
    std::FILE* warnings = nullptr;  // warnings and notes before the start (low free space, speed found), or none
};

struct CaptureResult {
    int exit_code = kExitDone;
    std::string error;                   // empty on success
    std::string analyzer;                // "RV-7020 1.05 (packet mode)"
    int first = 0, next = 0, count = 0;  // blocks held at the end
    int losses = 0;
    std::string ended_by;  // "Ctrl-C", "SIGTERM", "time", "block limit", "the analyzer", "store failure"
};

CaptureResult run_capture(const CaptureJob& job);

// The closing line of a measurement, without its line end: "RV-7020 1.05 (packet
// mode): stopped by time; 8 blocks held (... to ...) in DIR; 0 data losses"
// (the blocks only when there is a folder).
std::string capture_summary(const CaptureResult& r, const std::string& folder);

// Block files in a folder, named as the capture writer names them ("00000000.mkw"..).
int count_block_files(const std::string& folder);

}  // namespace cli
