// The options of a measurement that keeps a PC buffer, shared by `zamvex
// capture` and `zamvex monitor`: --folder, --max-blocks, --ring, --seconds,
// --force, --resume, --keep-free.
#pragma once
#include <string>
#include <vector>

#include "commands/capture_job.h"
#include "text/option_parser.h"

namespace cli {

// The option rows, with their help texts.
std::vector<OptionSpec> capture_option_specs();
// Fills the job's folder (may be empty), block limit, ring, force, resume,
// free-space floor and time; false with the reason in `error` for a bad value.
bool read_capture_options(const ParsedOptions& options, CaptureJob& job, std::string& error);

}  // namespace cli
