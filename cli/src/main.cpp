// zamvex: the suite from a terminal. Dispatches to one subcommand by name;
// --help of any command and --version are answered here.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "commands/version.h"

int main(int argc, char** argv) {
    const std::vector<std::string> words(argv + 1, argv + argc);
    if (words.empty()) {
        std::fputs(cli::usage_text().c_str(), stderr);
        return 2;
    }
    const std::string& first = words.front();
    if (first == "--help" || first == "-h") {
        std::fputs(cli::usage_text().c_str(), stdout);
        return 0;
    }
    if (first == "--version" || first == "-V") {
        std::fputs(cli::version_text().c_str(), stdout);
        return 0;
    }
    const cli::Command* command = cli::find_command(first);
    if (!command) {
        std::fprintf(stderr, "zamvex: unknown command '%s'\n\n%s", first.c_str(), cli::usage_text().c_str());
        return 2;
    }
    const std::vector<std::string> args(words.begin() + 1, words.end());
    for (const std::string& a : args)
        if (a == "--help" || a == "-h") {
            std::fputs(cli::help_text(*command).c_str(), stdout);
            return 0;
        }
    return command->run(args);
}
