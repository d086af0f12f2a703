// Reading the measurement options into a capture job.
#include "commands/capture_options.h"

#include <cstdlib>

namespace cli {

std::vector<OptionSpec> capture_option_specs() {
    return {
        {"--folder", "DIR", "PC buffer folder (made when missing)", ValueKind::Folder},
        {"--max-blocks", "N", "blocks to keep, 1..1024 (default 10)"},
        {"--ring", nullptr, "keep the newest N blocks and run on until stopped"},
        {"--seconds", "S", "stop after S seconds"},
        {"--force", nullptr, "start although DIR already holds blocks (they are replaced)"},
    };
}

bool read_capture_options(const ParsedOptions& o, CaptureJob& job, std::string& error) {
    job.folder = o.value("--folder");
    if (job.folder.size() > 259) return error = "the folder path is longer than 259 characters", false;
    const auto max = parse_number(o.value("--max-blocks", "10"), 1, 1024);
    if (!max) return error = "bad value for --max-blocks (1..1024)", false;
    job.max_blocks = static_cast<int>(*max);
    job.ring = o.has("--ring");
    job.force = o.has("--force");
    if (o.has("--seconds")) {
        // Keep the text alive while strtod's end pointer is looked at.
        const std::string text = o.value("--seconds");
        char* end = nullptr;
        job.seconds = std::strtod(text.c_str(), &end);
        if (*end != '\0' || !(job.seconds > 0)) return error = "bad value for --seconds", false;
    }
    return true;
}

}  // namespace cli
