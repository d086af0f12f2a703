// `zamvex capture`: a measurement into a PC buffer folder from a terminal.
#include <unistd.h>

#include <cstdio>

#include "cli/commands.h"
#include "commands/capture_job.h"
#include "commands/capture_options.h"
#include "commands/port_options.h"
#include "session/interrupt.h"

namespace cli {
namespace {

constexpr const char* kHelp =
    "usage: zamvex capture --port P --folder DIR [--max-blocks N] [--ring] [--seconds S] [--force]\n"
    "\n"
    "Starts a measurement on the analyzer and stores its data as 1 MiB block files\n"
    "(\"00000000.mkw\", ...) and \"datainfo.mkw\" in DIR, showing blocks held, the fill of\n"
    "the current block, the receive rate and data losses. It stops on Ctrl-C, after\n"
    "--seconds, or when --max-blocks are full (without --ring); the last block is always\n"
    "written before the command ends.\n"
    "\n"
    "  --folder DIR       PC buffer folder (made when missing)\n"
    "  --max-blocks N     blocks to keep, 1..1024 (default 10)\n"
    "  --ring             keep the newest N blocks and run on until stopped\n"
    "  --seconds S        stop after S seconds\n"
    "  --force            start although DIR already holds blocks (they are replaced)\n";

}  // namespace

int capture_command(const std::vector<std::string>& args) {
    std::vector<OptionSpec> specs;
    add_capture_specs(specs);
    add_port_specs(specs);
    std::string error;
    const auto o = parse_options(args, specs, error);
    if (o && o->help) {
        std::fputs(kHelp, stdout);
        std::fputs(kPortHelp, stdout);
        return 0;
    }
    if (!o) return fail("capture", error, 2);
    if (!o->positional.empty()) return fail("capture", "unexpected argument '" + o->positional[0] + "'", 2);
    CaptureJob job;
    const auto port = port_choice(*o, error);
    if (!port) return fail("capture", error, 2);
    job.port = *port;
    if (!read_capture_options(*o, job, error)) return fail("capture", error, 2);
    if (job.folder.empty()) return fail("capture", "--folder is needed", 2);
    job.status = ::isatty(STDERR_FILENO) ? stderr : nullptr;
    catch_interrupts();
    const CaptureResult r = run_capture(job);
    if (r.exit_code != 0) return fail("capture", r.error, r.exit_code);
    std::printf("%s: stopped by %s; %d block%s held (%08d.mkw to %08d.mkw) in %s; %d data loss%s\n",
                r.analyzer.c_str(), r.ended_by.c_str(), r.count, r.count == 1 ? "" : "s", r.first,
                r.next > 0 ? r.next - 1 : 0, job.folder.c_str(), r.losses, r.losses == 1 ? "" : "es");
    return 0;
}

}  // namespace cli
