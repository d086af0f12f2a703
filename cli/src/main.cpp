// zamvex: the suite from a terminal. Dispatches to one subcommand by name;
// the command list and --version are answered here.
#include <cstdio>
#include <string>
#include <vector>

#include "commands/commands.h"
#include "commands/version.h"
#include "text/exit_codes.h"

int main(int argc, char** argv) {
    const std::vector<std::string> words(argv + 1, argv + argc);
    if (words.empty()) {
        std::fputs(cli::usage_text().c_str(), stderr);
        return cli::kExitUsage;
    }
    const std::string& first = words.front();
    if (first == "--help" || first == "-h") {
        std::fputs(cli::usage_text().c_str(), stdout);
        return cli::kExitDone;
    }
    if (first == "--version" || first == "-V") {
        std::fputs(cli::version_text().c_str(), stdout);
        return cli::kExitDone;
    }
    const cli::Command* command = cli::find_command(first);
    if (!command) {
        std::fprintf(stderr, "zamvex: unknown command '%s'\n\n%s", first.c_str(), cli::usage_text().c_str());
        return cli::kExitUsage;
    }
    return command->run(std::vector<std::string>(words.begin() + 1, words.end()));
}
