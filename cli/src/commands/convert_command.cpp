// `zamvex convert`: a PC buffer (or one data file) to text or CSV files.
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "commands/buffer_input.h"
#include "commands/commands.h"
#include "commands/convert_job.h"
#include "commands/convert_options.h"
#include "pcbuffer/buffer_names.h"
#include "session/interrupt.h"
#include "text/command_line.h"
#include "text/exit_codes.h"

namespace cli {
namespace {

std::vector<OptionSpec> options() {
    std::vector<OptionSpec> specs = {{"--out", "DIR",
                                      "output folder (made when missing; default: a new\n"
                                      "folder BUFFER-text beside the buffer)",
                                      ValueKind::Folder},
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

int convert_command(const CommandLine& line) {
    const ParsedOptions& o = line.options();
    if (o.positional.size() != 1) throw UsageError("name one buffer folder or data file");
    ConvertJob job;
    job.input = o.positional[0];
    job.out = o.value("--out");
    const bool new_folder = !o.has("--out");
    if (new_folder) job.out = beside_buffer(job.input, "-text");
    if (job.out.empty()) throw UsageError("--out needs a folder");
    // (room for the -N that a taken name gets)
    if (job.out.size() > (new_folder ? 254 : 259))
        throw UsageError("the output folder path is longer than 259 characters");
    std::string error;
    const auto options = convert_options_from(o, error);
    if (!options) throw UsageError(error);
    if (const std::string unused = unused_option(o, *options); !unused.empty()) throw UsageError(unused);
    job.options = *options;
    job.prefix = o.has("--prefix") ? o.value("--prefix") : default_prefix();
    if (job.prefix.size() > 200) throw UsageError("the prefix is too long");

    const auto input = choose_input(job.input, job.options.Start, job.options.Blocks, o.has("--blocks"), error);
    if (!input) return line.fail(error);
    const std::string& note = input->note;
    // A buffer that is not there is left to the library to name; no folder is made for it.
    if (std::error_code ec; new_folder && std::filesystem::exists(job.input, ec)) {
        const auto made = make_new_folder(job.out, error);
        if (!made) return line.fail(error + " (name another folder with --out)");
        job.out = *made;
    }
    job.progress = ::isatty(STDERR_FILENO) ? stderr : nullptr;
    catch_interrupts();
    const ConvertResult r = run_convert(job);
    // A folder made for a job that wrote nothing goes again.
    if (new_folder && r.files.empty()) ::rmdir(job.out.c_str());
    if (r.exit_code != kExitDone) return line.fail(r.status.message());
    print_summary(r, job.out);
    if (!note.empty()) std::printf("%s\n", note.c_str());
    return kExitDone;
}

}  // namespace

const Command kConvertCommand{
    .name = "convert",
    .summary = "convert a PC buffer to text or CSV files",
    .synopsis = "BUFFER [--out] [options]",
    .description = kept_text("Converts the blocks of a PC buffer folder (or one single data file) into numbered\n"
                             "text files PREFIX00000000.txt, ... in DIR (made when missing). Without --out they go\n"
                             "into a new folder beside the buffer, BUFFER-text (BUFFER-text-2, ... when that\n"
                             "exists), never into an existing one; the summary names it. Without --blocks it\n"
                             "takes every block from --start on, at most " +
                             std::to_string(pcbuffer::kMaxBlocksLimit) +
                             ", and says when blocks were left\n"
                             "out. Options that the chosen layout does not read are refused. Ctrl-C or SIGTERM\n"
                             "cancels; files already written stay. Defaults are capstore's.\n"),
    .options = options(),
    .run = run_with<convert_command, kConvertCommand>,
    .operands = ValueKind::File,
};

}  // namespace cli
