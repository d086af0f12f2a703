// zamvex(1): the command list, each command's usage, description and
// options, then exit status, environment and related programs.
#include <string_view>

#include "commands/commands.h"
#include "text/docs.h"
#include "text/exit_codes.h"

namespace cli {
namespace {

// Text for a man(7) line: backslashes and dashes escaped, and no line
// starting with a control character.
std::string roff(std::string_view text) {
    std::string out;
    bool line_start = true;
    for (const char c : text) {
        if (line_start && (c == '.' || c == '\'')) out += "\\&";
        if (c == '\\') out += "\\e";
        else if (c == '-') out += "\\-";
        else out += c;
        line_start = c == '\n';
    }
    return out;
}

void add_command(std::string& out, const Command& c) {
    out += ".SS ";
    out += c.name;
    out += "\n";
    for (const std::string& form : usage_forms(c)) out += ".B zamvex " + roff(c.name) + "\n" + roff(form) + "\n.br\n";
    out += ".PP\n" + roff(c.description);
    for (const OptionSpec& o : c.options) {
        if (!o.name) {
            out += std::string(".PP\n\\fI") + roff(o.help) + "\\fR:\n";
            continue;
        }
        out += ".TP\n.B " + roff(o.name);
        if (o.value) out += " \\fI" + roff(o.value) + "\\fR";
        out += "\n" + roff(o.help) + "\n";
    }
}

}  // namespace

std::string man_page(const std::string& version) {
    std::string out = ".\\\" zamvex(1), written by zamvex_docs from the command table.\n";
    out += ".TH ZAMVEX 1 \"\" \"zamvex " + roff(version) + "\" \"User Commands\"\n";
    out += ".SH NAME\nzamvex \\- the RV\\-7010/7020/7030 serial line analyzers from a terminal\n";
    out +=
        ".SH SYNOPSIS\n.B zamvex\n.I command\n.RI [ options ]\n.br\n.B zamvex help\n.RI [ command ]\n.br\n"
        ".B zamvex \\-\\-version\n";
    out +=
        ".SH DESCRIPTION\n"
        "zamvex measures with an analyzer into a PC buffer folder, converts and exports what was "
        "measured, saves and sends the analyzer's settings, fetches its screen and presses its keys, "
        "and serves a simulated analyzer for trying all of this without one. "
        "Each command takes \\fB\\-\\-help\\fR.\n";
    out += ".SH COMMANDS\n";
    for (const Command* c : commands()) add_command(out, *c);
    out += ".SH EXIT STATUS\n.TP\n" + std::to_string(kExitDone) + "\nsuccess\n.TP\n" + std::to_string(kExitFailed) +
           "\nfailure (the message says why)\n.TP\n" + std::to_string(kExitUsage) +
           "\na usage mistake (unknown option, missing or bad value)\n";
    out +=
        ".SH ENVIRONMENT\n.TP\n.B ZAMVEX_PORT_COM\\fIn\\fR\n"
        "The device that the port name COM\\fIn\\fR stands for; without it, COM\\fIn\\fR is "
        "/dev/ttyS(\\fIn\\fR\\-1).\n";
    out += ".SH SEE ALSO\n.BR capstore (1),\n.BR frontpad (1),\n.BR setxfer (1),\n.BR tshark (1)\n";
    return out;
}

}  // namespace cli
