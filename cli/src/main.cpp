// zamvex: the suite from a terminal. Dispatches to one subcommand by name.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/simulate_command.h"

namespace {

struct Subcommand {
    const char* name;
    int (*run)(const std::vector<std::string>& args);
    const char* summary;
};

constexpr Subcommand kSubcommands[] = {
    {"simulate", cli::simulate_command, "serve a simulated RV-7010/7020/7030 analyzer on a pseudo-terminal"},
};

void usage(std::FILE* to) {
    std::fprintf(to, "usage: zamvex <command> [options]\n\ncommands:\n");
    for (const Subcommand& s : kSubcommands) std::fprintf(to, "  %-10s %s\n", s.name, s.summary);
    std::fprintf(to, "\n'zamvex <command> --help' describes a command's options.\n");
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        usage(stderr);
        return 2;
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        usage(stdout);
        return 0;
    }
    for (const Subcommand& s : kSubcommands)
        if (std::strcmp(argv[1], s.name) == 0) return s.run(std::vector<std::string>(argv + 2, argv + argc));
    std::fprintf(stderr, "zamvex: unknown command '%s'\n\n", argv[1]);
    usage(stderr);
    return 2;
}
