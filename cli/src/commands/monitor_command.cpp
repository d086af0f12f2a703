// `zamvex monitor`: a measurement whose lines appear on stdout while the
// analyzer measures, in any layout of `zamvex convert`; optionally the PC
// buffer is kept as `zamvex capture` keeps it.
#include <csignal>
#include <cstdio>

#include "cli/commands.h"
#include "commands/capture_options.h"
#include "commands/convert_options.h"
#include "commands/live_job.h"
#include "commands/port_options.h"
#include "session/interrupt.h"
#include "textlib/live_convert.h"

namespace cli {
namespace {

// Options of convert that pick blocks and files, which a live view has not.
bool is_file_option(const OptionSpec& s) {
    for (const char* name : {"--start", "--blocks", "--max-lines", "--prefix"})
        if (s.name && std::string(s.name) == name) return true;
    return false;
}

std::vector<OptionSpec> options() {
    std::vector<OptionSpec> specs = capture_option_specs();
    specs.push_back(heading("layout (as for zamvex convert)"));
    for (const OptionSpec& s : convert_option_specs())
        if (!is_file_option(s)) specs.push_back(s);
    return with_port_options(specs);
}

int monitor_command(const CommandLine& line) {
    line.no_operands();
    std::string error;
    const auto layout = convert_options_from(line.options(), error);
    if (!layout) throw UsageError(error);
    CaptureJob job;
    job.port = port_choice(line);
    if (!read_capture_options(line.options(), job, error)) throw UsageError(error);
    job.warnings = stderr;
    catch_interrupts();
    // A file size limit (ulimit -f) must end storing with EFBIG and a message, not the process.
    std::signal(SIGXFSZ, SIG_IGN);
    // A closed stdout shows as EPIPE on the next write, which stops the measurement.
    std::signal(SIGPIPE, SIG_IGN);

    const ConvertOptions options = *layout;
    const LiveResult r = run_live(job, [options](textlib::LiveRecords& live) -> std::string {
        if (textlib::RunLiveConversion(live, options, stdout) == kConvertDone) return "";
        return live.Abandoned() ? "cannot write the lines to stdout"
                                : "the measurement ended before the analyzer sent its conditions";
    });
    if (r.capture.exit_code != kExitDone) return line.fail(r.capture.error);
    const CaptureResult& c = r.capture;
    std::fprintf(stderr, "%s\n", capture_summary(c, job.folder).c_str());
    // A reader that gave up because its reader went away is how `| head` ends, not a failure.
    if (!r.output_error.empty() && c.ended_by != kOutputClosed && !interrupted()) return line.fail(r.output_error);
    return kExitDone;
}

}  // namespace

const Command kMonitorCommand{
    .name = "monitor",
    .summary = "measure and print the lines live on stdout, in any layout of convert",
    .synopsis = "--port [layout options] [--folder] [--seconds]",
    .description =
        "Starts a measurement and prints its lines on stdout as the analyzer sends the\n"
        "data: the same lines as 'zamvex convert' makes of the finished buffer, the title\n"
        "and header once, \"\\n\" line ends, each frame as soon as it has ended. With --folder\n"
        "the PC buffer is kept as 'zamvex capture' keeps it. It stops on Ctrl-C, SIGTERM,\n"
        "after --seconds, or when stdout is closed (| head).\n",
    .options = options(),
    .run = run_with<monitor_command, kMonitorCommand>,
};

}  // namespace cli
