// --help texts from the command table: the usage forms, the description and
// the options in two columns.
#include <string_view>

#include "cli/commands.h"
#include "text/command.h"

namespace cli {
namespace {

constexpr std::size_t kHelpColumn = 30;   // where an option's help starts

// Appends `text` with every line after the first indented by `indent`.
void add_indented(std::string& out, std::string_view text, std::size_t indent) {
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find('\n', start);
        out.append(text.substr(start, end - start));
        out += '\n';
        if (end == std::string_view::npos) return;
        out.append(indent, ' ');
        start = end + 1;
    }
}

}  // namespace

std::string help_text(const Command& c) {
    std::string out;
    std::string_view synopsis = c.synopsis;
    const char* lead = "usage: ";
    for (std::size_t start = 0;;) {
        const std::size_t end = synopsis.find('\n', start);
        out += lead;
        out += "zamvex ";
        out += c.name;
        if (end != start) out += ' ';
        out.append(synopsis.substr(start, end - start));
        out += '\n';
        if (end == std::string_view::npos) break;
        lead = "       ";
        start = end + 1;
    }
    out += '\n';
    out += c.description;
    bool first = true;
    for (const OptionSpec& o : c.options) {
        if (first) out += '\n';
        first = false;
        if (!o.name) {
            out += o.help;
            out += ":\n";
            continue;
        }
        std::string left = std::string("  ") + o.name;
        if (o.value) left += std::string(" ") + o.value;
        left.append(left.size() + 2 <= kHelpColumn ? kHelpColumn - left.size() : 2, ' ');
        out += left;
        add_indented(out, o.help, kHelpColumn);
    }
    return out;
}

std::string usage_text() {
    std::string out = "usage: zamvex <command> [options]\n       zamvex --version\n\ncommands:\n";
    for (const Command* c : commands()) {
        std::string line = std::string("  ") + c->name;
        line.append(line.size() < 13 ? 13 - line.size() : 1, ' ');
        out += line + c->summary + "\n";
    }
    out += "\n'zamvex help <command>' or 'zamvex <command> --help' describes a command's options.\n";
    return out;
}

}  // namespace cli
