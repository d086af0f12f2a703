// `zamvex stats`: what a PC buffer (or one data file) carried, from one pass
// over its records: a table, --json, the per-minute rows and an SVG chart.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <filesystem>

#include "commands/buffer_input.h"
#include "commands/commands.h"
#include "commands/layout_words.h"
#include "pcbuffer/buffer_names.h"
#include "platform/whole_file.h"
#include "stats/stats_pass.h"
#include "stats/stats_report.h"
#include "stats/traffic_chart.h"
#include "text/command_line.h"

namespace cli {
namespace {

// "2026-12-09": the day the folder's information file was written, as the
// pcapng export dates its packets; empty when not known.
std::string measurement_date(const std::string& folder) {
    struct stat st {};
    if (::stat(pcbuffer::InfoFilePath(folder).c_str(), &st) != 0) return "";
    std::tm tm{};
    const std::time_t at = st.st_mtime;
    if (localtime_r(&at, &tm) == nullptr) return "";
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
    return text;
}

int number(const CommandLine& line, const char* name, long long high, int fallback) {
    if (!line.has(name)) return fallback;
    const auto n = parse_number(line.value(name), 1, high);
    if (!n)
        throw UsageError(std::string("bad value for ") + name + " (1.." + std::to_string(high) + "): '" +
                         line.value(name) + "'");
    return static_cast<int>(*n);
}

// The heading's words for the blocks read.
void describe_input(const StatsJob& job, const BufferInput& in, StatsHeading& h) {
    h.buffer = job.buffer;
    h.blocks = "a single data file";
    if (!in.choice) return;
    h.start = in.choice->start;
    h.count = in.choice->blocks;
    h.held = in.held;
    h.blocks = "blocks " + std::to_string(h.start) + ".." + std::to_string(h.start + h.count - 1) + " of " +
               std::to_string(in.held);
    h.date = measurement_date(job.buffer);
}

int stats_command(const CommandLine& line) {
    if (line.operands().size() != 1) throw UsageError("name one buffer folder or data file");
    StatsJob job;
    job.buffer = line.operands()[0];
    job.start = number(line, "--start", pcbuffer::kBlockNumberLimit, 1);
    job.blocks = number(line, "--blocks", pcbuffer::kMaxBlocksLimit, pcbuffer::kMaxBlocksLimit);
    job.frame_variant = line.choice("--frame", -1);
    job.packet_kind = line.choice("--packet", 0);
    if (job.packet_kind > 0 && job.frame_variant < 0)
        throw UsageError("--packet names packets inside frames; give --frame too");
    const bool json = line.has("--json"), per_minute = line.has("--per-minute");
    const std::string svg = line.value("--svg");
    if (line.has("--svg") && svg.empty()) throw UsageError("--svg needs a file");
    job.keep_minutes = per_minute || !svg.empty();
    job.keep_seconds = !svg.empty();

    std::string error;
    const auto input = choose_input(job.buffer, job.start, job.blocks, line.has("--blocks"), error);
    if (!input) return line.fail(error);
    const std::string& note = input->note;
    StatsHeading heading;
    describe_input(job, *input, heading);
    // The chart's file is checked before the pass, which may be long.
    if (!svg.empty())
        if (auto s = platform::probeWritable(svg); !s.ok()) return line.fail(s.message());
    const bool tty = ::isatty(STDERR_FILENO) != 0;
    StatsResult result;
    const platform::Status pass = run_stats(job, result, [tty](int done, int total) {
        if (tty) std::fprintf(stderr, "\rblock %d of %d", done, total);
    });
    if (tty) std::fputs("\r\033[K", stderr);
    if (!pass.ok()) return line.fail(pass.message());

    RowSpool* minutes = per_minute ? &result.minutes : nullptr;
    if (json) write_stats_json(stdout, result.stats, heading, minutes);
    else write_stats_table(stdout, result.stats, heading, minutes);
    if (!svg.empty()) {
        if (auto s = write_traffic_chart(svg, result, heading); !s.ok()) return line.fail(s.message());
        if (!json) std::printf("\nchart written to %s\n", svg.c_str());
    }
    if (!note.empty()) std::fprintf(json ? stderr : stdout, "%s\n", note.c_str());
    if (std::fflush(stdout) != 0) return line.fail("cannot write the report");
    return kExitDone;
}

}  // namespace

const Command kStatsCommand{
    .name = "stats",
    .summary = "summarise what a PC buffer's line carried",
    .synopsis = "BUFFER [--json] [--per-minute] [--svg] [options]",
    .description = kept_text("Reads the records of a PC buffer folder (or one single data file) once and tells\n"
                             "what the line carried: the time span and the measurement's date, records,\n"
                             "characters per direction and data-loss marks; frames per direction (cut as the\n"
                             "frame layouts cut them), by kind with --frame on HDLC and NRZI lines (and by\n"
                             "packet type with --packet), by protocol and code on PPP lines; errors per kind\n"
                             "with the time of the first and the last; line-state changes per signal with the\n"
                             "longest time each stayed off; the busiest second and the longest silence. Times\n"
                             "are the analyzer's time stamps; what came before the first stamp counts at it.\n"
                             "\n"
                             "--per-minute adds a row per minute that holds records: frames, characters per\n"
                             "direction, errors and data-loss marks. --json writes the same numbers as JSON.\n"
                             "--svg draws the traffic of each direction per minute (per second for up to ten\n"
                             "minutes) with error and data-loss marks and the line signals' on/off bands.\n"
                             "Without --blocks it takes every block from --start on, at most " +
                             std::to_string(pcbuffer::kMaxBlocksLimit) +
                             ", and says\n"
                             "when blocks were left out.\n"),
    .options =
        {
            {"--json", nullptr, "write the numbers as JSON"},
            {"--per-minute", nullptr, "add the per-minute rows"},
            {"--svg", "FILE", "draw the traffic chart into FILE (replaced if it exists)", ValueKind::File},
            {"--start", "N", "first block, 1 = the oldest (default 1)"},
            {"--blocks", "N",
             kept_text("blocks to read, 1.." + std::to_string(pcbuffer::kMaxBlocksLimit) +
                       " (default: every block from --start\non, at most " + std::to_string(pcbuffer::kMaxBlocksLimit) +
                       ")")},
            {"--frame", kFrameWords, "HDLC/NRZI: count frames by kind, named as this\nframe translation names them"},
            {"--packet", kPacketWords, "with --frame: count packets by type (lapd: Q.931\nmessages)"},
        },
    .run = run_with<stats_command, kStatsCommand>,
    .operands = ValueKind::File,
};

}  // namespace cli
