// `zamvex convert`: a PC buffer (or one data file) to text or CSV files.
#include <unistd.h>

#include <cstdio>

#include "cli/commands.h"
#include "commands/convert_job.h"
#include "commands/convert_options.h"
#include "commands/port_options.h"
#include "session/interrupt.h"

namespace cli {
namespace {

constexpr const char* kHelp =
    "usage: zamvex convert BUFFER --out DIR [options]\n"
    "\n"
    "Converts the blocks of a PC buffer folder (or one data file) into numbered text\n"
    "files PREFIX00000000.txt, ... in DIR (made when missing). Ctrl-C cancels; files\n"
    "already written stay. Defaults are capstore's.\n"
    "\n"
    "  --out DIR                   output folder\n";

}  // namespace

int convert_command(const std::vector<std::string>& args) {
    std::vector<OptionSpec> specs = convert_option_specs();
    specs.push_back({"--out", true});
    specs.push_back({"--prefix", true});
    std::string error;
    const auto o = parse_options(args, specs, error);
    if (o && o->help) {
        std::fputs(kHelp, stdout);
        std::fputs(kConvertOptionsHelp, stdout);
        return 0;
    }
    if (!o) return fail("convert", error, 2);
    if (o->positional.size() != 1) return fail("convert", "name one buffer folder or data file", 2);
    ConvertJob job;
    job.input = o->positional[0];
    job.out = o->value("--out");
    if (job.out.empty()) return fail("convert", "--out is needed", 2);
    if (job.out.size() > 259) return fail("convert", "the output folder path is longer than 259 characters", 2);
    const auto options = convert_options_from(*o, error);
    if (!options) return fail("convert", error, 2);
    job.options = *options;
    job.prefix = o->has("--prefix") ? o->value("--prefix") : default_prefix();
    if (job.prefix.size() > 200) return fail("convert", "the prefix is too long", 2);
    job.progress = ::isatty(STDERR_FILENO) ? stderr : nullptr;
    catch_interrupts();
    const ConvertResult r = run_convert(job);
    if (r.exit_code != 0) return fail("convert", r.error, r.exit_code);
    std::printf("%zu file%s written to %s\n", r.files.size(), r.files.size() == 1 ? "" : "s", job.out.c_str());
    for (const std::string& f : r.files) std::printf("  %s\n", f.c_str());
    return 0;
}

}  // namespace cli
