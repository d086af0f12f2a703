// --help texts from the command table: the usage forms, the description and
// the options in two columns.
#include <algorithm>
#include <string_view>

#include "commands/commands.h"
#include "text/command.h"

namespace cli {
namespace {

constexpr std::size_t kHelpColumn = 30;  // where an option's help starts

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

// "--port" -> "--port P", "[--png" -> "[--png FILE", "--text]" stays: the
// option's value name from its row.
std::string with_value_name(const Command& c, const std::string& word) {
    const std::size_t from = word.find("--");
    if (from == std::string::npos) return word;
    const std::size_t to = word.find(']', from);
    const OptionSpec* o = find_option(c.options, word.substr(from, to - from));
    if (!o || !o->value) return word;
    std::string out = word;
    out.insert(to == std::string::npos ? out.size() : to, std::string(" ") + o->value);
    return out;
}

}  // namespace

std::vector<std::string> usage_forms(const Command& c) {
    std::vector<std::string> forms;
    const std::string_view synopsis = c.synopsis;
    for (std::size_t start = 0;;) {
        const std::size_t end = synopsis.find('\n', start);
        const std::string_view form = synopsis.substr(start, end - start);
        std::string out;
        for (std::size_t at = 0; at < form.size();) {
            const std::size_t space = std::min(form.find(' ', at), form.size());
            if (!out.empty()) out += ' ';
            out += with_value_name(c, std::string(form.substr(at, space - at)));
            at = space + 1;
        }
        forms.push_back(out);
        if (end == std::string_view::npos) return forms;
        start = end + 1;
    }
}

std::string help_text(const Command& c) {
    std::string out;
    const char* lead = "usage: ";
    for (const std::string& form : usage_forms(c)) {
        out += lead;
        out += "zamvex ";
        out += c.name;
        if (!form.empty()) out += ' ';
        out += form;
        out += '\n';
        lead = "       ";
    }
    out += '\n';
    out += c.description;
    if (!c.options.empty()) out += '\n' + option_rows(c.options);
    return out;
}

std::string option_rows(const std::vector<OptionSpec>& options) {
    std::string out;
    for (const OptionSpec& o : options) {
        if (!o.name) {
            out += o.help;
            out += ":\n";
            continue;
        }
        if (*o.help == '\0') continue;
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
