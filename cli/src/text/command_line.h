// What every command does first: its words read against its option table,
// --help answered, and a usage mistake said as "zamvex NAME: reason" with
// exit code 2. A command's body gets the words read and throws UsageError for
// a mistake the table cannot see.
#pragma once
#include <stdexcept>
#include <string>
#include <vector>

#include "text/command.h"
#include "text/exit_codes.h"

namespace cli {

// A usage mistake; what() is the reason.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The words after a command's name, read against its options.
class CommandLine {
public:
    CommandLine(const Command& command, ParsedOptions options) : command_(command), options_(std::move(options)) {}

    const Command& command() const { return command_; }
    const ParsedOptions& options() const { return options_; }
    bool has(const std::string& name) const { return options_.has(name); }
    std::string value(const std::string& name, const std::string& fallback = "") const {
        return options_.value(name, fallback);
    }
    const std::vector<std::string>& operands() const { return options_.positional; }

    // UsageError "unexpected argument 'WORD'" when there are operands.
    void no_operands() const;
    // The index of the option's word among the choices its row lists, in any
    // case; `fallback` when it is not given; UsageError for another word.
    int choice(const std::string& option, int fallback) const;
    // Prints "zamvex NAME: text" on stderr and returns kExitFailed.
    int fail(const std::string& text) const;

private:
    const Command& command_;
    ParsedOptions options_;
};

// Runs the command's body on the words after its name: prints its help for
// --help or -h anywhere (exit 0); for a usage mistake prints "zamvex NAME:
// reason" and "(see zamvex NAME --help)" (exit 2); otherwise returns what the
// body returns.
int run_command(const Command& command, const std::vector<std::string>& args, int (*body)(const CommandLine&));

// A Command's run function from its body: `.run = run_with<convert, kConvertCommand>`.
template <int (*Body)(const CommandLine&), const Command& Self>
int run_with(const std::vector<std::string>& args) {
    return run_command(Self, args, Body);
}

// Prints "zamvex NAME: text" on stderr and returns kExitFailed.
int fail(const Command& command, const std::string& text);

}  // namespace cli
