// Reading the measurement options into a capture job.
#include "commands/capture_options.h"

#include <cctype>
#include <cstdlib>

#include "pcbuffer/buffer_names.h"

namespace cli {
namespace {

// "500M", "2G", "2GiB", "1048576": whole numbers with an optional binary unit.
std::optional<long long> parse_size(const std::string& text) {
    std::size_t digits = 0;
    while (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits]))) ++digits;
    const auto number = parse_number(text.substr(0, digits), 0, 1LL << 50);
    if (!number) return std::nullopt;
    std::string unit = text.substr(digits);
    for (const char* tail : {"iB", "B"})
        if (unit.size() > std::string(tail).size() && unit.ends_with(tail))
            unit.resize(unit.size() - std::string(tail).size());
    static constexpr std::pair<const char*, int> kUnits[] = {{"", 0}, {"K", 10}, {"M", 20}, {"G", 30}, {"T", 40}};
    for (const auto& [name, shift] : kUnits)
        if (same_word(unit, name)) return *number << shift;
    return std::nullopt;
}

}  // namespace

std::vector<OptionSpec> capture_option_specs() {
    return {
        {"--folder", "DIR", "PC buffer folder (made when missing)", ValueKind::Folder},
        {"--max-blocks", "N",
         kept_text("blocks to keep, 1.." + std::to_string(pcbuffer::kMaxBlocksLimit) + " (default " +
                   std::to_string(pcbuffer::kDefaultMaxBlocks) + ")")},
        {"--ring", nullptr, "keep the newest N blocks and run on until stopped"},
        {"--seconds", "S", "stop after S seconds"},
        {"--force", nullptr, "start although DIR already holds blocks (they are replaced)"},
        {"--resume", nullptr,
         "wait out an unplugged port or a silent analyzer and go on in DIR;\n"
         "go on with the blocks DIR already holds"},
        {"--keep-free", "SIZE",
         "with --ring: give up the oldest blocks while the disk has\nless than SIZE free (500M, 2G)"},
    };
}

bool read_capture_options(const ParsedOptions& o, CaptureJob& job, std::string& error) {
    job.folder = o.value("--folder");
    if (job.folder.size() > 259) return error = "the folder path is longer than 259 characters", false;
    const auto max = parse_number(o.value("--max-blocks", std::to_string(pcbuffer::kDefaultMaxBlocks)), 1,
                                  pcbuffer::kMaxBlocksLimit);
    if (!max) return error = "bad value for --max-blocks (1.." + std::to_string(pcbuffer::kMaxBlocksLimit) + ")", false;
    job.max_blocks = static_cast<int>(*max);
    job.ring = o.has("--ring");
    job.force = o.has("--force");
    job.resume = o.has("--resume");
    if (job.force && job.resume)
        return error = "--force replaces the blocks in DIR and --resume goes on with them: give one of them", false;
    if (o.has("--keep-free")) {
        const auto size = parse_size(o.value("--keep-free"));
        if (!size || *size == 0)
            return error = "bad value for --keep-free: '" + o.value("--keep-free") + "' (500M, 2G)", false;
        if (!job.ring) return error = "--keep-free gives up the oldest blocks of a ring: add --ring", false;
        job.keep_free = *size;
    }
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
