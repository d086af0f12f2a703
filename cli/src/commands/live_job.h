// A measurement watched live: the capture sequence of `zamvex capture` with
// commlib's live records fed to a reader thread (text lines, pcapng packets)
// that writes while the analyzer measures.
#pragma once
#include <functional>
#include <string>

#include "commands/capture_job.h"
#include "platform/status.h"
#include "textlib/live_records.h"

namespace cli {

// Runs on its own thread until the records finish; success when all went
// out, else why the output failed (the records are then abandoned and the
// measurement stops with "output closed").
using LiveReader = std::function<platform::Status(textlib::LiveRecords&)>;

struct LiveResult {
    CaptureResult capture;
    platform::Status output;  // the reader's outcome
};

// `job.folder` may be empty (no PC buffer is kept). Stopping (Ctrl-C, SIGTERM,
// --seconds, the reader's failure, what the job's own stop_check says) ends
// the measurement; the reader then gets the end of the records and is waited
// for a short while.
LiveResult run_live(CaptureJob job, LiveReader reader);

// The stop reason run_live gives when the reader's output went away.
inline constexpr const char* kOutputClosed = "output closed";

}  // namespace cli
