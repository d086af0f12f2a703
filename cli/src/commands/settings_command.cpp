// `zamvex settings save|send`: the analyzer's settings to and from a text file.
#include <cstdio>

#include "cli/commands.h"
#include "commands/port_options.h"
#include "commands/settings_job.h"

namespace cli {
namespace {

const char* const kTypeNames[] = {"setup", "setup and tables", "setup, tables and program"};

int settings_command(const std::vector<std::string>& args) {
    std::string error;
    const auto o = parse_options(args, kSettingsCommand.options, error);
    if (!o) return fail("settings", error, 2);
    if (o->positional.size() != 2 || (o->positional[0] != "save" && o->positional[0] != "send"))
        return fail("settings", "say 'save' or 'send', then one FILE", 2);
    const bool save = o->positional[0] == "save";
    if (!save && (o->has("--ascii") || o->has("--force")))
        return fail("settings", "--ascii and --force go with save only", 2);
    SettingsJob job;
    const auto port = port_choice(*o, error);
    if (!port) return fail("settings", error, 2);
    job.port = *port;
    job.file = o->positional[1];
    if (o->has("--type")) {
        const auto t = parse_number(o->value("--type"), 0, 2);
        if (!t) return fail("settings", "bad value for --type (0, 1 or 2)", 2);
        job.type = static_cast<int>(*t);
    }
    job.ascii = o->has("--ascii");
    job.force = o->has("--force");
    const SettingsResult r = save ? save_settings(job) : send_settings(job);
    if (r.exit_code != 0) return fail("settings", r.error, r.exit_code);
    std::printf("%s %s: %s settings (%s), %zu bytes\n", save ? "saved to" : "sent from", job.file.c_str(),
                r.model.c_str(), kTypeNames[r.type], r.bytes);
    return 0;
}

}  // namespace

const Command kSettingsCommand{
    .name = "settings",
    .summary = "save the analyzer's settings to a file, or send a file to it",
    .synopsis = "save --port P FILE [--type 0|1|2] [--ascii] [--force]\nsend --port P FILE [--type 0|1|2]",
    .description =
        "save reads the analyzer's setup, tables and (RV-7030) program and writes them as\n"
        "an editable settings text file; send reads such a file and writes its settings\n"
        "back to the analyzer (setup and tables always, the program on RV-7030).\n",
    .options = with_port_options({
        {"--type", "0|1|2",
         "0 setup only, 1 setup and tables, 2 also the program (RV-7030);\n"
         "default: everything the model has (save) or the file holds (send)"},
        {"--ascii", nullptr, "save: write the tables in the character form (T:TABLEDATA)"},
        {"--force", nullptr, "save: replace an existing FILE"},
    }),
    .run = settings_command,
    .operands = ValueKind::File,
    .first_words = "save|send",
};

}  // namespace cli
