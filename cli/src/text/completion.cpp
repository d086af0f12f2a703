// Shell completions from the command table: command names, each command's
// options, the choices an option's value lists ("sdrd|sd|rd"), and files,
// folders, ports or command names where an option or operand takes one.
#include <string_view>

#include "commands/commands.h"
#include "text/docs.h"

namespace cli {
namespace {

// "sdrd|sd|rd" -> "sdrd sd rd"; empty for a value that is not a list of choices.
std::string choices_of(const char* value) {
    const std::string_view v = value ? value : "";
    if (v.find('|') == std::string_view::npos) return "";
    std::string out(v);
    for (char& c : out)
        if (c == '|') c = ' ';
    return out;
}

std::string command_names() {
    std::string names;
    for (const Command* c : commands()) names += (names.empty() ? "" : " ") + std::string(c->name);
    return names;
}

// The bash statement that fills COMPREPLY for a value or operand of this kind.
std::string bash_offer(ValueKind kind) {
    switch (kind) {
    case ValueKind::File: return "_zamvex_files";
    case ValueKind::Folder: return "_zamvex_folders";
    case ValueKind::Port: return "_zamvex_ports";
    case ValueKind::Command: return "_zamvex_words \"" + command_names() + "\"";
    case ValueKind::Word: break;
    }
    return ":";  // free text: nothing to offer
}

std::string zsh_action(ValueKind kind, const char* value) {
    if (const std::string choices = choices_of(value); !choices.empty()) return "(" + choices + ")";
    switch (kind) {
    case ValueKind::File: return "_files";
    case ValueKind::Folder: return "_files -/";
    case ValueKind::Port: return "_files -W /dev -g 'tty(USB|ACM|S)*'";
    case ValueKind::Command: return "(" + command_names() + ")";
    case ValueKind::Word: break;
    }
    return " ";
}

// The first line of a help text for a single-quoted _arguments spec: without
// the characters _arguments gives a meaning, quotes closed and reopened.
std::string zsh_text(const char* help) {
    std::string out;
    for (const char* p = help; *p && *p != '\n'; ++p) {
        if (*p == '\'') out += "'\\''";
        else if (*p != '[' && *p != ']' && *p != ':') out += *p;
    }
    return out;
}

}  // namespace

std::string bash_completion() {
    std::string out =
        "# bash completion for zamvex, written by zamvex_docs from the command table.\n"
        "_zamvex_words() { COMPREPLY=($(compgen -W \"$1\" -- \"$cur\")); }\n"
        "_zamvex_files() { compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -f -- \"$cur\")); }\n"
        "_zamvex_folders() { compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -d -- \"$cur\")); }\n"
        "_zamvex_ports() {\n"
        "    local devices\n"
        "    devices=$(compgen -G '/dev/serial/by-id/*'; compgen -G '/dev/ttyUSB*'; compgen -G '/dev/ttyACM*'; "
        "compgen -G '/dev/ttyS*')\n"
        "    COMPREPLY=($(compgen -W \"COM1 COM2 COM3 COM4 COM5 COM6 COM7 COM8 $devices\" -- \"$cur\"))\n"
        "}\n"
        "_zamvex() {\n"
        "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
        "    COMPREPLY=()\n"
        "    # --name=value arrives as three words: --name, = and the value.\n"
        "    if [[ $cur == = ]]; then cur=''; elif [[ $prev == = ]]; then prev=${COMP_WORDS[COMP_CWORD-2]}; fi\n"
        "    if (( COMP_CWORD == 1 )); then\n"
        "        _zamvex_words \"" +
        command_names() +
        " --help --version\"\n"
        "        return 0\n"
        "    fi\n"
        "    local i operands=()\n"
        "    for (( i = 2; i < COMP_CWORD; i++ )); do\n"
        "        [[ ${COMP_WORDS[i]} != -* && ${COMP_WORDS[i-1]} != -* && ${COMP_WORDS[i]} != = ]] && "
        "operands+=(\"${COMP_WORDS[i]}\")\n"
        "    done\n"
        "    case ${COMP_WORDS[1]} in\n";
    for (const Command* c : commands()) {
        out += "    " + std::string(c->name) + ")\n        case $prev in\n";
        std::string flags = "--help";
        for (const OptionSpec& o : c->options) {
            if (!o.name) continue;
            flags += std::string(" ") + o.name;
            if (!o.value) continue;
            const std::string choices = choices_of(o.value);
            out += "        " + std::string(o.name) + ") " +
                   (choices.empty() ? bash_offer(o.kind) : "_zamvex_words \"" + choices + "\"") + "; return 0 ;;\n";
        }
        out += "        esac\n";
        out += "        if [[ $cur == -* ]]; then _zamvex_words \"" + flags + "\"; return 0; fi\n";
        if (c->first_words)
            out += "        if (( ${#operands[@]} == 0 )); then _zamvex_words \"" + choices_of(c->first_words) +
                   "\"; return 0; fi\n";
        out += "        " + bash_offer(c->operands) + "\n        ;;\n";
    }
    out += "    esac\n    return 0\n}\ncomplete -F _zamvex zamvex\n";
    return out;
}

std::string zsh_completion() {
    std::string out =
        "#compdef zamvex\n# zsh completion for zamvex, written by zamvex_docs from the command table.\n"
        "_zamvex() {\n    local -a commands\n    commands=(\n";
    for (const Command* c : commands()) out += "        '" + std::string(c->name) + ":" + zsh_text(c->summary) + "'\n";
    out +=
        "    )\n    if (( CURRENT == 2 )); then\n        _describe command commands\n        return\n    fi\n"
        "    local command=$words[2]\n    shift words\n    (( CURRENT-- ))\n    case $command in\n";
    for (const Command* c : commands()) {
        out += "    " + std::string(c->name) + ")\n        _arguments \\\n            '--help[show the options]'";
        for (const OptionSpec& o : c->options) {
            if (!o.name) continue;
            out += " \\\n            '" + std::string(o.name) + "[" + zsh_text(o.help) + "]";
            if (o.value) out += ":" + zsh_text(o.value) + ":" + zsh_action(o.kind, o.value);
            out += "'";
        }
        out += " \\\n            '*:operand:" + zsh_action(c->operands, c->first_words) + "' ;;\n";
    }
    out += "    esac\n}\n_zamvex \"$@\"\n";
    return out;
}

}  // namespace cli
