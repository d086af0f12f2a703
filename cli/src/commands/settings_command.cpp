// `zamvex settings save|send`: the analyzer's settings to and from a text file.
#include <cstdio>

#include "commands/commands.h"
#include "commands/port_options.h"
#include "commands/settings_job.h"

namespace cli {
namespace {

const char* const kTypeNames[] = {"setup", "setup and tables", "setup, tables and program"};

// --type as a word (setup, tables, all) or as its number; -1 when not given.
int settings_type(const CommandLine& line) {
    if (const auto number = parse_number(line.value("--type"), 0, 2)) return static_cast<int>(*number);
    return line.choice("--type", -1);
}

int settings_command(const CommandLine& line) {
    const std::vector<std::string>& words = line.operands();
    if (words.size() != 2 || choice_index(kSettingsCommand.first_words, words[0]) < 0)
        throw UsageError("say 'save' or 'send', then one FILE");
    const bool save = same_word(words[0], "save");
    if (!save && (line.has("--ascii") || line.has("--force")))
        throw UsageError("--ascii and --force go with save only");
    SettingsJob job;
    job.port = port_choice(line);
    job.file = words[1];
    job.type = settings_type(line);
    job.ascii = line.has("--ascii");
    job.force = line.has("--force");
    const SettingsResult r = save ? save_settings(job) : send_settings(job);
    if (r.exit_code != kExitDone) return line.fail(r.error);
    std::printf("%s %s: %s settings (%s), %zu bytes\n", save ? "saved to" : "sent from", job.file.c_str(),
                r.model.c_str(), kTypeNames[r.type], r.bytes);
    return kExitDone;
}

}  // namespace

const Command kSettingsCommand{
    .name = "settings",
    .summary = "save the analyzer's settings to a file, or send a file to it",
    .synopsis = "save --port FILE [--type] [--ascii] [--force]\nsend --port FILE [--type]",
    .description =
        "save reads the analyzer's setup, tables and (RV-7030) program and writes them as\n"
        "an editable settings text file; send reads such a file and writes its settings\n"
        "back to the analyzer (setup and tables always, the program on RV-7030).\n",
    .options = with_port_options({
        {"--type", "setup|tables|all",
         "setup (or 0): the setup only, tables (1): setup and tables,\n"
         "all (2): also the program (RV-7030);\n"
         "default: everything the model has (save) or the file holds (send)"},
        {"--ascii", nullptr, "save: write the tables in the character form (T:TABLEDATA)"},
        {"--force", nullptr, "save: replace an existing FILE"},
    }),
    .run = run_with<settings_command, kSettingsCommand>,
    .operands = ValueKind::File,
    .first_words = "save|send",
};

}  // namespace cli
