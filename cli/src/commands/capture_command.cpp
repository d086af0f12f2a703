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

int capture_command(const CommandLine& line) {
    line.no_operands();
    CaptureJob job;
    job.port = port_choice(line);
    std::string error;
    if (!read_capture_options(line.options(), job, error)) throw UsageError(error);
    if (job.folder.empty()) throw UsageError("--folder is needed");
    job.status = ::isatty(STDERR_FILENO) ? stderr : nullptr;
    job.warnings = stderr;
    catch_interrupts();
    // A file size limit (ulimit -f) must end storing with EFBIG and a message, not the process.
    std::signal(SIGXFSZ, SIG_IGN);
    const CaptureResult r = run_capture(job);
    if (r.exit_code != kExitDone) return line.fail(r.error);
    std::printf("%s\n", capture_summary(r, job.folder).c_str());
    return kExitDone;
}

}  // namespace

const Command kCaptureCommand{
    .name = "capture",
    .summary = "measure into a PC buffer folder",
    .synopsis = "--port --folder [--max-blocks] [--ring] [--seconds] [--force]",
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
    .run = run_with<capture_command, kCaptureCommand>,
};

}  // namespace cli
