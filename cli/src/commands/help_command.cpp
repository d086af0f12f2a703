// `zamvex help [COMMAND]`: the command list, or one command's --help.
#include <cstdio>

#include "cli/commands.h"
#include "commands/port_options.h"

namespace cli {
namespace {

int help_command(const std::vector<std::string>& args) {
    if (args.empty()) {
        std::fputs(usage_text().c_str(), stdout);
        return 0;
    }
    if (args.size() > 1) return fail("help", "name one command", 2);
    const Command* c = find_command(args[0]);
    if (!c) {
        std::fprintf(stderr, "zamvex help: unknown command '%s'\n\n%s", args[0].c_str(), usage_text().c_str());
        return 2;
    }
    std::fputs(help_text(*c).c_str(), stdout);
    return 0;
}

}  // namespace

const Command kHelpCommand{
    .name = "help",
    .summary = "the command list, or what one command does and its options",
    .synopsis = "[COMMAND]",
    .description = "Without a COMMAND, lists the commands; with one, shows that command's --help.\n",
    .options = {},
    .run = help_command,
    .operands = ValueKind::Command,
};

}  // namespace cli
