// `zamvex export`: the frames of a PC buffer (or one data file) as a pcapng
// file for Wireshark, with a summary of directions, errors and lost data.
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "cli/commands.h"
#include "commands/buffer_input.h"
#include "commands/capture_job.h"
#include "commands/port_options.h"
#include "pcapng/pcapng_export.h"
#include "text/option_parser.h"

namespace cli {
namespace {

// The index of `word` among the choices of an option's value ("sdrd|sd|rd"), or -1.
int IndexOf(const char* option, const std::string& word) {
    return choice_index(find_option(kExportCommand.options, option)->value, word);
}

// Fills the export options from the command line; false with the reason.
bool ReadOptions(const ParsedOptions& p, pcapng::ExportOptions& o, std::string& error) {
    o.buffer = p.positional[0];
    o.output = p.value("--pcapng");
    if (o.output.empty()) return error = "--pcapng FILE is needed", false;
    for (auto [name, field] : {std::pair{"--start", &o.start}, std::pair{"--blocks", &o.blocks}}) {
        if (!p.has(name)) continue;
        auto n = parse_number(p.value(name), 1, 100000000);
        if (!n) return error = std::string("bad value for ") + name + ": '" + p.value(name) + "'", false;
        *field = static_cast<int>(*n);
    }
    if (p.has("--line") && (o.line = IndexOf("--line", p.value("--line"))) < 0)
        return error = "bad value for --line: '" + p.value("--line") + "' (sdrd, sd or rd)", false;
    if (p.has("--frame") && (o.frameProtocol = IndexOf("--frame", p.value("--frame"))) < 0)
        return error = "bad value for --frame: '" + p.value("--frame") + "' (sdlc, x25, x25x, x25ua or lapd)", false;
    if (p.has("--date") && !(o.midnight = pcapng::MidnightOf(p.value("--date"))))
        return error = "bad value for --date: '" + p.value("--date") + "' (YYYY-MM-DD)", false;
    return true;
}

void PrintSummary(const pcapng::ExportOptions& o, const pcapng::ExportSummary& s) {
    std::printf("%lld frame%s written to %s (link type %u)\n", static_cast<long long>(s.frames),
                s.frames == 1 ? "" : "s", o.output.c_str(), static_cast<unsigned>(s.linkType));
    std::printf("  SD %lld, RD %lld, no direction %lld\n", static_cast<long long>(s.sd),
                static_cast<long long>(s.rd), static_cast<long long>(s.undecided));
    std::printf("  errors: %lld bad FCS, %lld short, %lld aborted or broken\n", static_cast<long long>(s.fcsErrors),
                static_cast<long long>(s.shortFrames), static_cast<long long>(s.aborts));
    std::printf("  lost data: %lld mark%s\n", static_cast<long long>(s.lostMarks), s.lostMarks == 1 ? "" : "s");
    std::printf("  times: %s\n", s.onMeasurementDate ? "time of day on the measurement's date"
                                                      : "seconds from the first time stamp");
}

// Every block from --start on (at most a job's worth) unless --blocks says
// otherwise; a file must be a single data file. The note tells of blocks left out.
bool ChooseInput(const ParsedOptions& p, pcapng::ExportOptions& o, std::string& note, std::string& error) {
    if (std::filesystem::is_regular_file(o.buffer)) {
        error = single_file_problem(o.buffer);
        return error.empty();
    }
    // A folder without blocks, or a path that is not there: the export names the problem.
    const int held = std::filesystem::is_directory(o.buffer) ? count_block_files(o.buffer) : 0;
    if (held == 0) return true;
    const std::optional<int> blocks = p.has("--blocks") ? std::optional<int>(o.blocks) : std::nullopt;
    const auto choice = choose_blocks(held, o.start, blocks, error);
    if (!choice) return false;
    o.blocks = choice->blocks;
    note = left_out_note(*choice);
    return true;
}

int export_command(const std::vector<std::string>& args) {
    std::string error;
    const auto p = parse_options(args, kExportCommand.options, error);
    if (!p) return fail("export", error, 2);
    if (p->positional.size() != 1) return fail("export", "name one buffer folder or data file", 2);
    pcapng::ExportOptions o;
    if (!ReadOptions(*p, o, error)) return fail("export", error, 2);
    std::string note;
    if (!ChooseInput(*p, o, note, error)) return fail("export", error, 1);
    const bool tty = ::isatty(STDERR_FILENO) != 0;
    pcapng::ExportSummary s;
    error = pcapng::ExportPcapng(o, s, [tty](int done, int total) {
        if (tty) std::fprintf(stderr, "\rblock %d of %d", done, total);
    });
    if (tty) std::fputs("\r\033[K", stderr);
    if (!error.empty()) return fail("export", error, 1);
    PrintSummary(o, s);
    if (!note.empty()) std::printf("%s\n", note.c_str());
    return 0;
}

}  // namespace

const Command kExportCommand{
    .name = "export",
    .summary = "export a PC buffer's frames to a pcapng file for Wireshark",
    .synopsis = "BUFFER --pcapng FILE [options]",
    .description =
        "Writes the frames of a PC buffer folder (or one single data file) to a pcapng file\n"
        "that Wireshark and tshark read: one packet per frame, SD outbound, RD inbound,\n"
        "frames with a bad FCS, an abort or a short end flagged, lost data as a packet\n"
        "comment. HDLC and NRZI lines go out as LAPD (link type 203) for --frame lapd,\n"
        "otherwise as LAPB on user link type 147 (see the README for Wireshark's setting);\n"
        "PPP as PPP_WITH_DIR (204); ASYNC and SYNC frames as raw characters on user link\n"
        "type 148. Without --blocks it takes every block from --start on, at most 1024,\n"
        "and says when blocks were left out.\n",
    .options = {
        {"--pcapng", "FILE", "the capture file to write (replaced if it exists)", ValueKind::File},
        {"--start", "N", "first block, 1 = the oldest (default 1)"},
        {"--blocks", "N", "number of blocks (default: to the end, at most 1024)"},
        {"--line", "sdrd|sd|rd", "directions to export (default sdrd)"},
        {"--frame", "sdlc|x25|x25x|x25ua|lapd", "frames of HDLC/NRZI lines (default x25)"},
        {"--date", "YYYY-MM-DD",
         "the measurement's date (default: the day the buffer's\n"
         "datainfo.mkw was written; a data file's times start at 0)"},
    },
    .run = export_command,
    .operands = ValueKind::File,
};

}  // namespace cli
