// The one list of subcommands. A new command adds its Command here.
#include "commands/commands.h"

namespace cli {

const std::vector<const Command*>& commands() {
    static const std::vector<const Command*> kList = {
        &kCaptureCommand, &kConvertCommand, &kMonitorCommand, &kExportCommand,   &kSettingsCommand, &kTableCommand,
        &kScreenCommand,  &kKeyCommand,     &kPortsCommand,   &kSimulateCommand, &kDemoCommand,     &kHelpCommand,
        &kStatusCommand,  // newer commands one to a line, so the rows above stay as they are
        &kStatsCommand,
    };
    return kList;
}

const Command* find_command(const std::string& name) {
    for (const Command* c : commands())
        if (name == c->name) return c;
    return nullptr;
}

}  // namespace cli
