// The command table feeds the parser, --help, the manual page and the
// completion: its rows must be well formed, the help must show every row, and
// simulate, which keeps its own parser, must take exactly what it documents.
#include <gtest/gtest.h>

#include <set>

#include "cli/simulate_command.h"
#include "commands/commands.h"
#include "text/docs.h"

namespace cli {
namespace {

TEST(CommandTable, NamesAndOptionsAreWellFormedAndUnique) {
    std::set<std::string> names;
    for (const Command* c : commands()) {
        ASSERT_NE(c->run, nullptr) << c->name;
        EXPECT_TRUE(names.insert(c->name).second) << c->name;
        EXPECT_EQ(find_command(c->name), c);
        EXPECT_FALSE(std::string(c->description).empty()) << c->name;
        EXPECT_EQ(std::string(c->description).back(), '\n') << c->name;
        std::set<std::string> options;
        for (const OptionSpec& o : c->options) {
            if (!o.name) continue;
            EXPECT_EQ(std::string(o.name).rfind("--", 0), 0u) << c->name << " " << o.name;
            EXPECT_TRUE(options.insert(o.name).second) << c->name << " lists " << o.name << " twice";
            EXPECT_FALSE(std::string(o.help).empty()) << c->name << " " << o.name;
            EXPECT_NE(std::string(o.name), "--help") << "--help is answered for every command";
        }
    }
    EXPECT_EQ(find_command("monitorr"), nullptr);
}

TEST(CommandTable, HelpShowsUsageEveryOptionAndTheGroups) {
    for (const Command* c : commands()) {
        const std::string help = help_text(*c);
        EXPECT_EQ(help.rfind(std::string("usage: zamvex ") + c->name, 0), 0u) << help;
        for (const OptionSpec& o : c->options) {
            const std::string row = o.name ? std::string("\n  ") + o.name + (o.value ? std::string(" ") + o.value : "")
                                           : std::string("\n") + o.help + ":\n";
            EXPECT_NE(help.find(row), std::string::npos) << c->name << ": " << row;
        }
    }
    const std::string settings = help_text(kSettingsCommand);
    EXPECT_NE(settings.find("usage: zamvex settings save --port P FILE"), std::string::npos);
    EXPECT_NE(settings.find("\n       zamvex settings send --port P FILE"), std::string::npos);
    // A continued help line starts under the first one.
    EXPECT_NE(settings.find("the program (RV-7030);\n                              default:"), std::string::npos)
        << settings;
    const std::string usage = usage_text();
    for (const Command* c : commands()) EXPECT_NE(usage.find(std::string("\n  ") + c->name + " "), std::string::npos);
}

TEST(CommandTable, SimulateTakesExactlyTheOptionsItDocuments) {
    for (const OptionSpec& o : kSimulateCommand.options) {
        if (!o.name) continue;
        std::vector<std::string> args{o.name};
        // The replay's speed and loop go with the file they replay.
        if (std::string(o.name).rfind("--replay-", 0) == 0) args.insert(args.begin(), {"--replay", "f.pcap"});
        // The first of the listed choices, else a number (a version for --version, a line speed for --speed).
        const std::string value = o.value ? o.value : "";
        if (o.value)
            args.push_back(value.find('|') != std::string::npos ? value.substr(0, value.find('|'))
                           : value == "X.Y"                     ? "1.05"
                           : value == "BAUD"                    ? "9600"
                                                                : "1");
        std::string error;
        const auto s = parse_simulate_options(args, error);
        EXPECT_TRUE(s) << o.name << ": " << error;
    }
    std::string error;
    EXPECT_FALSE(parse_simulate_options({"--frobnicate"}, error));
    EXPECT_EQ(error, "unknown option '--frobnicate'");
}

TEST(CommandTable, ManualPageEscapesTheTextAndHasASectionPerCommand) {
    const std::string page = man_page("9.9");
    EXPECT_EQ(page.find("\n.TH ZAMVEX 1 \"\" \"zamvex 9.9\""), page.find('\n'));
    for (const Command* c : commands()) EXPECT_NE(page.find(std::string("\n.SS ") + c->name + "\n"), std::string::npos);
    EXPECT_NE(page.find("\n.B \\-\\-no\\-time\\-stamps\n"), std::string::npos);
    EXPECT_NE(page.find("\n.B \\-\\-line \\fIsdrd|sd|rd\\fR\n"), std::string::npos);
    // No text line may start a request by accident.
    std::size_t at = 0;
    while ((at = page.find("\n.", at)) != std::string::npos) {
        ++at;
        const std::string request = page.substr(at, page.find_first_of(" \n", at) - at);
        EXPECT_TRUE(std::set<std::string>({".TH", ".SH", ".SS", ".B", ".I", ".RI", ".BR", ".PP", ".TP", ".br", ".\\\""})
                        .count(request))
            << request;
    }
}

TEST(CommandTable, CompletionHasACaseForEveryCommandAndChoice) {
    const std::string bash = bash_completion();
    for (const Command* c : commands())
        EXPECT_NE(bash.find(std::string("\n    ") + c->name + ")\n"), std::string::npos);
    EXPECT_NE(bash.find("--csv-data) _zamvex_words \"hex dec char\"; return 0 ;;"), std::string::npos);
    EXPECT_NE(bash.find("--out) _zamvex_folders; return 0 ;;"), std::string::npos);
    EXPECT_NE(bash.find("--port) _zamvex_ports; return 0 ;;"), std::string::npos);
    const std::string zsh = zsh_completion();
    EXPECT_EQ(zsh.rfind("#compdef zamvex\n", 0), 0u);
    EXPECT_NE(zsh.find("'--parity[(default none)]:none|odd|even:(none odd even)'"), std::string::npos) << zsh;
}

}  // namespace
}  // namespace cli
