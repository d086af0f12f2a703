// `zamvex monitor`: a measurement whose lines appear on stdout while the
// analyzer measures, in any layout of `zamvex convert`, or as a pcapng stream
// (--pcapng, for Wireshark, locally or through sshdump); optionally the PC
// buffer is kept as `zamvex capture` keeps it.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>

#include "commands/capture_options.h"
#include "commands/commands.h"
#include "commands/convert_options.h"
#include "commands/layout_words.h"
#include "commands/live_job.h"
#include "commands/port_options.h"
#include "pcapng/pcapng_live.h"
#include "session/interrupt.h"
#include "session/stdin_watch.h"
#include "text/stderr_lines.h"
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
    specs.push_back({"--pcapng", "FILE",
                     "write the frames as pcapng instead of lines (- for stdout), as\n"
                     "'zamvex export' writes them; only --line and --frame apply",
                     ValueKind::File});
    specs.push_back(heading("layout (as for zamvex convert)"));
    for (const OptionSpec& s : convert_option_specs())
        if (!is_file_option(s)) specs.push_back(s);
    return with_port_options(specs);
}

// The pcapng stream's options; UsageError for a layout option it does not read.
pcapng::LiveOptions pcapng_options(const CommandLine& line) {
    for (const OptionSpec& s : convert_option_specs()) {
        if (!s.name || is_file_option(s) || std::string(s.name) == "--line" || std::string(s.name) == "--frame")
            continue;
        if (line.has(s.name)) throw UsageError(std::string(s.name) + " makes lines, and --pcapng writes frames");
    }
    pcapng::LiveOptions o;
    o.line = line.choice("--line", o.line);
    o.frameProtocol = static_cast<pcapng::FrameProtocol>(line.choice("--frame", o.frameProtocol));
    return o;
}

// Where the stream goes: stdout for "-", else the file (replaced); null with the reason.
std::FILE* open_output(const std::string& path, std::string& error) {
    if (path == "-") return stdout;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) error = "cannot create '" + path + "': " + std::strerror(errno);
    return f;
}

LiveResult run_pcapng(CaptureJob job, const pcapng::LiveOptions& live, std::FILE* out) {
    // sshdump closes the channel rather than signalling: the end of stdin stops the capture.
    if (out == stdout) {
        auto input = std::make_shared<StdinWatch>();
        job.stop_check = [input] { return input->ended() ? std::string("the end of stdin") : std::string(); };
    }
    LiveResult r = run_live(job, [live, out](textlib::LiveRecords& records) {
        pcapng::ExportSummary summary;
        return pcapng::StreamPcapng(records, live, out, summary);
    });
    if (out != stdout && r.output.ok()) std::fclose(out);
    return r;
}

int monitor_command(const CommandLine& line) {
    line.no_operands();
    std::string error;
    const auto layout = convert_options_from(line.options(), error);
    if (!layout) throw UsageError(error);
    CaptureJob job;
    job.port = port_choice(line);
    if (!read_capture_options(line.options(), job, error)) throw UsageError(error);
    job.warn = true;
    job.program = "zamvex monitor";
    catch_interrupts();
    // A file size limit (ulimit -f) must end storing with EFBIG and a message, not the process.
    std::signal(SIGXFSZ, SIG_IGN);
    // A closed stdout shows as EPIPE on the next write, which stops the measurement.
    std::signal(SIGPIPE, SIG_IGN);

    LiveResult r;
    if (line.has("--pcapng")) {
        const pcapng::LiveOptions live = pcapng_options(line);
        std::FILE* out = open_output(line.value("--pcapng"), error);
        if (!out) return line.fail(error);
        r = run_pcapng(job, live, out);
    } else {
        const ConvertOptions options = *layout;
        r = run_live(job, [options](textlib::LiveRecords& live) -> platform::Status {
            if (textlib::RunLiveConversion(live, options, stdout) == kConvertDone) return {};
            if (live.Abandoned())
                return platform::Status::failureWithMessage("write", "stdout", 0, "cannot write the lines to stdout");
            return platform::Status::failureWithMessage(
                "read", "the measurement", 0, "the measurement ended before the analyzer sent its conditions");
        });
    }
    if (r.capture.exit_code != kExitDone) return line.fail(r.capture.error.message());
    const CaptureResult& c = r.capture;
    // In the journal the log has said it already.
    if (!stderr_is_journal()) std::fprintf(stderr, "%s\n", capture_summary(c, job.folder).c_str());
    // A reader that gave up because its reader went away is how `| head` ends, not a failure.
    if (!r.output.ok() && c.ended_by != kOutputClosed && !interrupted()) return line.fail(r.output.message());
    return kExitDone;
}

}  // namespace

const Command kMonitorCommand{
    .name = "monitor",
    .summary = "measure and print the lines live on stdout, in any layout of convert",
    .synopsis =
        "--port [layout options] [--folder] [--seconds] [--resume]\n--port --pcapng [--line] [--frame] [--folder]",
    .description =
        "Starts a measurement and prints its lines on stdout as the analyzer sends the\n"
        "data: the same lines as 'zamvex convert' makes of the finished buffer, the title\n"
        "and header once, \"\\n\" line ends, each frame as soon as it has ended. With --folder\n"
        "the PC buffer is kept as 'zamvex capture' keeps it. It stops on Ctrl-C, SIGTERM,\n"
        "SIGHUP, after --seconds, or when stdout is closed (| head).\n"
        "\n"
        "With --pcapng - the frames go to stdout as the pcapng stream 'zamvex export' would\n"
        "write, each packet as soon as its frame has ended, for Wireshark on this machine\n"
        "or another (sshdump); then the end of stdin stops it as well. With --resume an\n"
        "outage is waited out as 'zamvex capture --resume' waits it out, and the output goes\n"
        "on with a lost-data mark.\n",
    .options = options(),
    .run = run_with<monitor_command, kMonitorCommand>,
};

}  // namespace cli
