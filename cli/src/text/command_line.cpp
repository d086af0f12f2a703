// The start every command shares, and its usage messages.
#include "text/command_line.h"

#include <cstdio>

#include "text/exit_codes.h"
#include "text/stderr_lines.h"

namespace cli {

void CommandLine::no_operands() const {
    if (!operands().empty()) throw UsageError("unexpected argument '" + operands().front() + "'");
}

int CommandLine::choice(const std::string& option, int fallback) const {
    const OptionSpec* spec = find_option(command_.options, option);
    if (!spec) throw std::logic_error("zamvex " + std::string(command_.name) + " lists no " + option);
    std::string error;
    const auto index = choice_value(options_, *spec, fallback, error);
    if (!index) throw UsageError(error);
    return *index;
}

int CommandLine::fail(const std::string& text) const { return cli::fail(command_, text); }

int fail(const Command& command, const std::string& text) {
    say(Priority::Error, "zamvex " + std::string(command.name) + ": " + text);
    return kExitFailed;
}

int run_command(const Command& command, const std::vector<std::string>& args, int (*body)(const CommandLine&)) {
    for (const std::string& a : args)
        if (a == "--help" || a == "-h") {
            std::fputs(help_text(command).c_str(), stdout);
            return kExitDone;
        }
    try {
        std::string error;
        auto options = parse_options(args, command.options, error);
        if (!options) throw UsageError(error);
        return body(CommandLine(command, std::move(*options)));
    } catch (const UsageError& e) {
        const std::string name = command.name;
        say(Priority::Error, "zamvex " + name + ": " + e.what() + "\n(see zamvex " + name + " --help)");
        return kExitUsage;
    }
}

}  // namespace cli
