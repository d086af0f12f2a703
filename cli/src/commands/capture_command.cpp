// `zamvex capture`: a measurement into a PC buffer folder from a terminal.
#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "cli/commands.h"
#include "commands/capture_job.h"
#include "commands/capture_options.h"
#include "commands/port_options.h"
#include "session/interrupt.h"

namespace cli {
namespace {

int capture_command(const std::vector<std::string>& args) {
    std::string error;
    const auto o = parse_options(args, kCaptureCommand.options, error);
    if (!o) return fail("capture", error, 2);
    if (!o->positional.empty()) return fail("capture", "unexpected argument '" + o->positional[0] + "'", 2);
    CaptureJob job;
    const auto port = port_choice(*o, error);
    if (!port) return fail("capture", error, 2);
    job.port = *port;
    if (!read_capture_options(*o, job, error)) return fail("capture", error, 2);
    if (job.folder.empty()) return fail("capture", "--folder is needed", 2);
    job.status = ::isatty(STDERR_FILENO) ? stderr : nullptr;
    job.warnings = stderr;
    catch_interrupts();
    // A file size limit (ulimit -f) must end storing with EFBIG and a message, not the process.
    std::signal(SIGXFSZ, SIG_IGN);
    const CaptureResult r = run_capture(job);
    if (r.exit_code != 0) return fail("capture", r.error, r.exit_code);
    std::printf("%s\n", capture_summary(r, job.folder).c_str());
    return 0;
}

}  // namespace

const Command kCaptureCommand{
    .name = "capture",
    .summary = "measure into a PC buffer folder",
    .synopsis = "--port P --folder DIR [--max-blocks N] [--ring] [--seconds S] [--force]",
    .description =
        "Starts a measurement on the analyzer and stores its data as 1 MiB block files\n"
        "(\"00000000.mkw\", ...) and \"datainfo.mkw\" in DIR, showing blocks held, the fill of\n"
        "the current block, the receive rate and data losses. It stops on Ctrl-C or SIGTERM,\n"
        "after --seconds, or when --max-blocks are full (without --ring); the last block is\n"
        "always written before the command ends. What arrives reaches the block file at\n"
        "least once a second, so a crash loses at most the last second. When the folder\n"
        "cannot be written (disk full, read-only, removed) the measurement is stopped and\n"
        "the command says which blocks are complete (exit 1).\n",
    .options = with_port_options(capture_option_specs()),
    .run = capture_command,
};

}  // namespace cli
