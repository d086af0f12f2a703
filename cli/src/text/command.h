// One subcommand of `zamvex`: its name, its texts and its options. The list of
// these (commands()) is the single source of the dispatcher, `zamvex help`,
// --help, the manual page and the shell completion.
#pragma once
#include <string>
#include <vector>

#include "text/option_parser.h"

namespace cli {

struct Command {
    const char* name;                    // "convert"
    const char* summary;                 // one line for the command list
    const char* synopsis;                // what follows "zamvex NAME"; one form per line
    const char* description;             // paragraphs separated by an empty line
    std::vector<OptionSpec> options;     // what the parser accepts, in --help order
    int (*run)(const std::vector<std::string>& args) = nullptr;   // exit code 0, 1 or 2
    ValueKind operands = ValueKind::Word;   // what the words that are not options name
    const char* first_words = nullptr;      // "save|send": the choices for the first operand
};

// Every subcommand in the order the command list shows them.
const std::vector<const Command*>& commands();
// The command of that name, or null.
const Command* find_command(const std::string& name);

// The text of `zamvex NAME --help`.
std::string help_text(const Command& c);
// The text of `zamvex --help`: usage line and the command list.
std::string usage_text();

}  // namespace cli
