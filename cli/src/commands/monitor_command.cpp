// `zamvex monitor`: a measurement whose lines appear on stdout while the
// analyzer measures, in any layout of `zamvex convert`; optionally the PC
// buffer is kept as `zamvex capture` keeps it.
#include <csignal>
#include <cstdio>
#include <sstream>

#include "cli/commands.h"
#include "commands/capture_options.h"
#include "commands/convert_options.h"
#include "commands/live_job.h"
#include "commands/port_options.h"
#include "live/live_convert.h"
#include "session/interrupt.h"

namespace cli {
namespace {

constexpr const char* kHelp =
    "usage: zamvex monitor --port P [layout options] [--folder DIR] [--seconds S]\n"
    "\n"
    "Starts a measurement and prints its lines on stdout as the analyzer sends the\n"
    "data: the same lines as 'zamvex convert' makes of the finished buffer, the title\n"
    "and header once, \"\\n\" line ends, each frame as soon as it has ended. It stops on\n"
    "Ctrl-C, SIGTERM, after --seconds, or when stdout is closed (| head).\n"
    "\n"
    "  --folder DIR       also keep the PC buffer in DIR, as 'zamvex capture' does\n"
    "  --max-blocks N     blocks to keep in DIR, 1..1024 (default 10)\n"
    "  --ring             keep the newest N blocks and run on until stopped\n"
    "  --force            start although DIR already holds blocks (they are replaced)\n"
    "  --seconds S        stop after S seconds\n"
    "layout (as for zamvex convert):\n";

// Options of convert that pick blocks and files, which a live view has not.
bool IsFileOption(const std::string& name) {
    return name == "--start" || name == "--blocks" || name == "--max-lines" || name == "--prefix";
}

void PrintLayoutHelp() {
    std::istringstream lines(kConvertOptionsHelp);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t at = line.find("--");
        const std::string name = at == std::string::npos ? "" : line.substr(at, line.find(' ', at) - at);
        if (!IsFileOption(name)) std::printf("%s\n", line.c_str());
    }
}

}  // namespace

int monitor_command(const std::vector<std::string>& args) {
    std::vector<OptionSpec> specs;
    for (const OptionSpec& s : convert_option_specs())
        if (!IsFileOption(s.name)) specs.push_back(s);
    add_capture_specs(specs);
    add_port_specs(specs);
    std::string error;
    const auto o = parse_options(args, specs, error);
    if (o && o->help) {
        std::fputs(kHelp, stdout);
        PrintLayoutHelp();
        std::fputs(kPortHelp, stdout);
        return 0;
    }
    if (!o) return fail("monitor", error, 2);
    if (!o->positional.empty()) return fail("monitor", "unexpected argument '" + o->positional[0] + "'", 2);
    const auto layout = convert_options_from(*o, error);
    if (!layout) return fail("monitor", error, 2);
    CaptureJob job;
    const auto port = port_choice(*o, error);
    if (!port) return fail("monitor", error, 2);
    job.port = *port;
    if (!read_capture_options(*o, job, error)) return fail("monitor", error, 2);
    catch_interrupts();
    // A closed stdout shows as EPIPE on the next write, which stops the measurement.
    std::signal(SIGPIPE, SIG_IGN);

    const ConvertOptions options = *layout;
    const LiveResult r = run_live(job, [options](textlib::LiveRecords& live) -> std::string {
        if (textlib::RunLiveConversion(live, options, stdout) == kConvertDone) return "";
        return live.Abandoned() ? "cannot write the lines to stdout"
                                : "the measurement ended before the analyzer sent its conditions";
    });
    if (r.capture.exit_code != 0) return fail("monitor", r.capture.error, r.capture.exit_code);
    const CaptureResult& c = r.capture;
    std::fprintf(stderr, "%s: stopped by %s", c.analyzer.c_str(), c.ended_by.c_str());
    if (!job.folder.empty())
        std::fprintf(stderr, "; %d block%s held (%08d.mkw to %08d.mkw) in %s", c.count, c.count == 1 ? "" : "s", c.first,
                     c.next > 0 ? c.next - 1 : 0, job.folder.c_str());
    std::fprintf(stderr, "; %d data loss%s\n", c.losses, c.losses == 1 ? "" : "es");
    // A reader that gave up because its reader went away is how `| head` ends, not a failure.
    if (!r.output_error.empty() && c.ended_by != kOutputClosed && !interrupted())
        return fail("monitor", r.output_error, 1);
    return 0;
}

}  // namespace cli
