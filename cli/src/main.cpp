// zamvex: the suite from a terminal. Dispatches to one subcommand by name.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/simulate_command.h"

namespace {

struct Subcommand {
    const char* name;
    int (*run)(const std::vector<std::string>& args);
    const char* summary;
};

constexpr Subcommand kSubcommands[] = {
    {"capture", cli::capture_command, "measure into a PC buffer folder"},
    {"convert", cli::convert_command, "convert a PC buffer to text or CSV files"},
    {"monitor", cli::monitor_command, "measure and print the lines live on stdout, in any layout of convert"},
    {"export", cli::export_command, "export a PC buffer's frames to a pcapng file for Wireshark"},
    {"settings", cli::settings_command, "save the analyzer's settings to a file, or send a file to it"},
    {"table", cli::table_command, "type new contents for one of the analyzer's sixteen tables"},
    {"screen", cli::screen_command, "the analyzer's screen as a PNG image or as text"},
    {"key", cli::key_command, "press keys of the analyzer's front panel"},
    {"simulate", cli::simulate_command, "serve a simulated RV-7010/7020/7030 analyzer on a pseudo-terminal"},
    {"demo", cli::demo_command, "capture, convert and save settings against a built-in simulator"},
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
