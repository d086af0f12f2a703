// `zamvex convert`: a PC buffer (or one data file) to text or CSV files.
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "cli/commands.h"
#include "commands/buffer_input.h"
#include "commands/capture_job.h"
#include "commands/convert_job.h"
#include "commands/convert_options.h"
#include "commands/port_options.h"
#include "session/interrupt.h"

namespace cli {
namespace {

std::vector<OptionSpec> options() {
    std::vector<OptionSpec> specs = {{"--out", "DIR", "output folder (made when missing)", ValueKind::Folder},
                                     {"--prefix", "TEXT", "output file name prefix (default MK_yyyymmdd_hhmmss_)"}};
    for (const OptionSpec& o : convert_option_specs()) specs.push_back(o);
    return specs;
}

// "3 files written to DIR: first.txt .. last.txt"
void print_summary(const ConvertResult& r, const std::string& out) {
    const auto name = [](const std::string& path) { return std::filesystem::path(path).filename().string(); };
    std::printf("%zu file%s written to %s", r.files.size(), r.files.size() == 1 ? "" : "s", out.c_str());
    if (r.files.size() == 1) std::printf(": %s", name(r.files.front()).c_str());
    if (r.files.size() > 1) std::printf(": %s .. %s", name(r.files.front()).c_str(), name(r.files.back()).c_str());
    std::printf("\n");
}

int convert_command(const std::vector<std::string>& args) {
    std::string error;
    const auto o = parse_options(args, kConvertCommand.options, error);
    if (!o) return fail("convert", error, 2);
    if (o->positional.size() != 1) return fail("convert", "name one buffer folder or data file", 2);
    ConvertJob job;
    job.input = o->positional[0];
    job.out = o->value("--out");
    if (job.out.empty()) return fail("convert", "--out is needed", 2);
    if (job.out.size() > 259) return fail("convert", "the output folder path is longer than 259 characters", 2);
    const auto options = convert_options_from(*o, error);
    if (!options) return fail("convert", error, 2);
    if (const std::string unused = unused_option(*o, *options); !unused.empty()) return fail("convert", unused, 2);
    job.options = *options;
    job.prefix = o->has("--prefix") ? o->value("--prefix") : default_prefix();
    if (job.prefix.size() > 200) return fail("convert", "the prefix is too long", 2);

    // A folder without blocks, or a path that is not there, is left to the
    // library, which names the problem.
    std::string note;
    const int held = std::filesystem::is_directory(job.input) ? count_block_files(job.input) : 0;
    if (held > 0) {
        const std::optional<int> blocks = o->has("--blocks") ? std::optional<int>(job.options.Blocks) : std::nullopt;
        const auto choice = choose_blocks(held, job.options.Start, blocks, error);
        if (!choice) return fail("convert", error, 1);
        job.options.Blocks = choice->blocks;
        note = left_out_note(*choice);
    } else if (std::filesystem::is_regular_file(job.input)) {
        if (const std::string problem = single_file_problem(job.input); !problem.empty())
            return fail("convert", problem, 1);
    }
    job.progress = ::isatty(STDERR_FILENO) ? stderr : nullptr;
    catch_interrupts();
    const ConvertResult r = run_convert(job);
    if (r.exit_code != 0) return fail("convert", r.error, r.exit_code);
    print_summary(r, job.out);
    if (!note.empty()) std::printf("%s\n", note.c_str());
    return 0;
}

}  // namespace

const Command kConvertCommand{
    .name = "convert",
    .summary = "convert a PC buffer to text or CSV files",
    .synopsis = "BUFFER --out DIR [options]",
    .description =
        "Converts the blocks of a PC buffer folder (or one single data file) into numbered\n"
        "text files PREFIX00000000.txt, ... in DIR (made when missing). Without --blocks it\n"
        "takes every block from --start on, at most 1024, and says when blocks were left\n"
        "out. Options that the chosen layout does not read are refused. Ctrl-C or SIGTERM\n"
        "cancels; files already written stay. Defaults are capstore's.\n",
    .options = options(),
    .run = convert_command,
    .operands = ValueKind::File,
};

}  // namespace cli
