// `zamvex help [COMMAND]`: the command list, or one command's --help.
#include <cstdio>

#include "commands/commands.h"
#include "text/command_line.h"
#include "text/exit_codes.h"

namespace cli {
namespace {

int help_command(const CommandLine& line) {
    const std::vector<std::string>& args = line.operands();
    if (args.empty()) {
        std::fputs(usage_text().c_str(), stdout);
        return kExitDone;
    }
    if (args.size() > 1) throw UsageError("name one command");
    const Command* c = find_command(args[0]);
    if (!c) {
        std::fprintf(stderr, "zamvex help: unknown command '%s'\n\n%s", args[0].c_str(), usage_text().c_str());
        return kExitUsage;
    }
    std::fputs(help_text(*c).c_str(), stdout);
    return kExitDone;
}

}  // namespace

const Command kHelpCommand{
    .name = "help",
    .summary = "the command list, or what one command does and its options",
    .synopsis = "[COMMAND]",
    .description = "Without a COMMAND, lists the commands; with one, shows that command's --help.\n",
    .options = {},
    .run = run_with<help_command, kHelpCommand>,
    .operands = ValueKind::Command,
};

}  // namespace cli
