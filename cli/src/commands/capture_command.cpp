// `zamvex capture`: a measurement into a PC buffer folder from a terminal or
// as a service (zamvex-capture@.service: --config, --resume).
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "commands/capture_config.h"
#include "commands/capture_job.h"
#include "commands/capture_options.h"
#include "commands/commands.h"
#include "commands/port_options.h"
#include "session/interrupt.h"
#include "text/stderr_lines.h"

namespace cli {
namespace {

// The options with the settings of --config FILE added; UsageError naming
// the file and line for a bad one.
ParsedOptions with_config(const ParsedOptions& given) {
    if (!given.has("--config")) return given;
    const std::string path = given.value("--config");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw UsageError("cannot read the settings file '" + path + "': " + std::strerror(errno));
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    ParsedOptions options = given;
    const auto problem = apply_capture_settings(path, text, options, [](const ParsedOptions& setting) {
        ParsedOptions o = setting;
        o.values.emplace("--port", "checked");
        std::string why;
        CaptureJob job;
        if (!port_choice(o, why)) return why;
        read_capture_options(o, job, why);
        return why;
    });
    if (problem) throw UsageError(*problem);
    // A service keeps its buffer in its own state folder unless the file says otherwise.
    const char* state = std::getenv("STATE_DIRECTORY");
    if (!options.has("--folder") && state)
        options.values["--folder"] = std::string(state).substr(0, std::string(state).find(':'));
    return options;
}

int capture_command(const CommandLine& line) {
    line.no_operands();
    const ParsedOptions options = with_config(line.options());
    CaptureJob job;
    std::string error;
    const auto port = port_choice(options, error);
    if (!port) throw UsageError(error);
    job.port = *port;
    if (!read_capture_options(options, job, error)) throw UsageError(error);
    if (job.folder.empty()) throw UsageError("--folder is needed");
    job.status = ::isatty(STDERR_FILENO) ? stderr : nullptr;
    job.warn = true;
    catch_interrupts();
    // A file size limit (ulimit -f) must end storing with EFBIG and a message, not the process.
    std::signal(SIGXFSZ, SIG_IGN);
    const CaptureResult r = run_capture(job);
    if (r.exit_code != kExitDone) return line.fail(r.error.message());
    // In the journal the log has said it already.
    if (!stderr_is_journal()) std::printf("%s\n", capture_summary(r, job.folder).c_str());
    return kExitDone;
}

std::vector<OptionSpec> options() {
    std::vector<OptionSpec> specs = capture_option_specs();
    specs.push_back({"--config", "FILE",
                     "take the settings speed, parity, folder, max-blocks, ring and\n"
                     "keep-free from FILE (\"name = value\" lines); the options given win",
                     ValueKind::File});
    return with_port_options(specs);
}

}  // namespace

const Command kCaptureCommand{
    .name = "capture",
    .summary = "measure into a PC buffer folder",
    .synopsis =
        "--port --folder [--max-blocks] [--ring] [--seconds] [--force]\n"
        "--port --folder --resume [--ring] [--keep-free] [--config]",
    .description =
        "Starts a measurement on the analyzer and stores its data as 1 MiB block files\n"
        "(\"00000000.mkw\", ...) and \"datainfo.mkw\" in DIR, showing blocks held, the fill of\n"
        "the current block, the receive rate and data losses. It stops on Ctrl-C or SIGTERM,\n"
        "after --seconds, or when --max-blocks are full (without --ring); the last block is\n"
        "always written before the command ends. What arrives reaches the block file at\n"
        "least once a second, so a crash loses at most the last second. When the folder\n"
        "cannot be written (disk full, read-only, removed) the measurement is stopped and\n"
        "the command says which blocks are complete (exit 1).\n"
        "\n"
        "With --resume an unplugged port or a silent analyzer does not end it: the block is\n"
        "kept, the outage is logged, and the command waits for the port to come back\n"
        "(attempts after 1 s, then twice as long each time up to 30 s), connects to the same\n"
        "model (stopping a measurement it finds running), starts again and goes on in DIR:\n"
        "block numbers continue and a data-loss mark stands for the outage. A DIR that\n"
        "already holds blocks is continued the same way.\n"
        "Under systemd (zamvex-capture@.service) its lines carry the journal's priorities.\n",
    .options = options(),
    .run = run_with<capture_command, kCaptureCommand>,
};

}  // namespace cli
