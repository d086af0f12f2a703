// One conversion of a PC buffer (or a single data file) into text files,
// through textlib's TextConvert object, with progress and Ctrl-C cancelling.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "platform/status.h"
#include "text/exit_codes.h"
#include "textlib/text_convert.h"

namespace cli {

struct ConvertJob {
    std::string input;  // buffer folder or one data file
    std::string out;    // output folder (made when missing)
    ConvertOptions options{};
    std::string prefix;             // output file name prefix
    std::FILE* progress = nullptr;  // progress bar (a terminal), or none
};

struct ConvertResult {
    int exit_code = kExitDone;
    platform::Status status;         // why it failed: the folder and errno of a system failure, or our text
    std::vector<std::string> files;  // the files written, in order
};

ConvertResult run_convert(const ConvertJob& job);

// "MK_yyyymmdd_hhmmss_" from the local time, as capstore names its files.
std::string default_prefix();

}  // namespace cli
