// One subcommand of `zamvex`: its name, its texts and its options. The list of
// these (commands()) is the single source of the dispatcher, `zamvex help`,
// --help, the manual page and the shell completion.
#pragma once
#include <string>
#include <vector>

#include "text/option_parser.h"

namespace cli {

struct Command {
    const char* name;                 // "convert"
    const char* summary;              // one line for the command list
    const char* synopsis;             // what follows "zamvex NAME"; one form per line, each option
                                      // by its name only ("--port [--type]"): its value's name comes from its row
    const char* description;          // paragraphs separated by an empty line
    std::vector<OptionSpec> options;  // what the parser accepts, in --help order
    // Takes the words after the name, returns kExitDone, kExitFailed or
    // kExitUsage (text/exit_codes.h); made by run_with<> (text/command_line.h).
    int (*run)(const std::vector<std::string>& args) = nullptr;
    ValueKind operands = ValueKind::Word;  // what the words that are not options name
    const char* first_words = nullptr;     // "save|send": the choices for the first operand
};

// Every subcommand in the order the command list shows them.
const std::vector<const Command*>& commands();
// The command of that name, or null.
const Command* find_command(const std::string& name);

// The synopsis' forms with each option's value name after it:
// "save --port P FILE [--type setup|tables|all]".
std::vector<std::string> usage_forms(const Command& c);
// The text of `zamvex NAME --help`.
std::string help_text(const Command& c);
// The text of `zamvex --help`: usage line and the command list.
std::string usage_text();
// The rows of an option table as --help shows them, in two columns under
// their headings; rows without a help text are left out.
std::string option_rows(const std::vector<OptionSpec>& options);

}  // namespace cli
