// Reading the measurement options into a capture job.
#include "commands/capture_options.h"

#include <cstdlib>

namespace cli {

void add_capture_specs(std::vector<OptionSpec>& specs) {
    for (OptionSpec s : {OptionSpec{"--folder", true}, OptionSpec{"--max-blocks", true}, OptionSpec{"--ring", false},
                         OptionSpec{"--seconds", true}, OptionSpec{"--force", false}})
        specs.push_back(s);
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
