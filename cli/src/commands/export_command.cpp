// `zamvex export`: the frames of a PC buffer (or one data file) as a pcapng
// file for Wireshark, with a summary of directions, errors and lost data.
#include <unistd.h>

#include <cstdio>

#include "cli/commands.h"
#include "commands/port_options.h"
#include "pcapng/pcapng_export.h"
#include "text/option_parser.h"

namespace cli {
namespace {

constexpr const char* kHelp =
    "usage: zamvex export BUFFER --pcapng FILE [options]\n"
    "\n"
    "Writes the frames of a PC buffer folder (or one data file) to a pcapng file that\n"
    "Wireshark and tshark read: one packet per frame, SD outbound, RD inbound, frames\n"
    "with a bad FCS, an abort or a short end flagged, lost data as a packet comment.\n"
    "HDLC and NRZI lines go out as LAPD (link type 203) for --frame lapd, otherwise as\n"
    "LAPB on user link type 147 (see the README for Wireshark's setting); PPP as\n"
    "PPP_WITH_DIR (204); ASYNC and SYNC frames as raw characters on user link type 148.\n"
    "\n"
    "  --pcapng FILE               the capture file to write (replaced if it exists)\n"
    "  --start N                   first block, 1 = the oldest (default 1)\n"
    "  --blocks N                  number of blocks (default: to the end)\n"
    "  --line sdrd|sd|rd           directions to export (default sdrd)\n"
    "  --frame sdlc|x25|x25x|x25ua|lapd   frames of HDLC/NRZI lines (default x25)\n"
    "  --date YYYY-MM-DD           the measurement's date (default: the day the buffer's\n"
    "                              datainfo.mkw was written; a data file's times start at 0)\n";

constexpr const char* kLines[] = {"sdrd", "sd", "rd"};
constexpr const char* kFrames[] = {"sdlc", "x25", "x25x", "x25ua", "lapd"};

template <std::size_t N>
int IndexOf(const char* const (&names)[N], const std::string& word) {
    for (std::size_t k = 0; k < N; ++k)
        if (word == names[k]) return static_cast<int>(k);
    return -1;
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
    if (p.has("--line") && (o.line = IndexOf(kLines, p.value("--line"))) < 0)
        return error = "bad value for --line: '" + p.value("--line") + "' (sdrd, sd or rd)", false;
    if (p.has("--frame") && (o.frameProtocol = IndexOf(kFrames, p.value("--frame"))) < 0)
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

}  // namespace

int export_command(const std::vector<std::string>& args) {
    const std::vector<OptionSpec> specs{{"--pcapng", true}, {"--start", true}, {"--blocks", true},
                                        {"--line", true},   {"--frame", true}, {"--date", true}};
    std::string error;
    const auto p = parse_options(args, specs, error);
    if (p && p->help) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (!p) return fail("export", error, 2);
    if (p->positional.size() != 1) return fail("export", "name one buffer folder or data file", 2);
    pcapng::ExportOptions o;
    if (!ReadOptions(*p, o, error)) return fail("export", error, 2);
    const bool tty = ::isatty(STDERR_FILENO) != 0;
    pcapng::ExportSummary s;
    error = pcapng::ExportPcapng(o, s, [tty](int done, int total) {
        if (tty) std::fprintf(stderr, "\rblock %d of %d", done, total);
    });
    if (tty) std::fputs("\r\033[K", stderr);
    if (!error.empty()) return fail("export", error, 1);
    PrintSummary(o, s);
    return 0;
}

}  // namespace cli
