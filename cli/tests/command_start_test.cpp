// What every command does before its work, seen from the shell: --help, usage
// mistakes with exit code 2 and the command's name, usage lines with the value
// names from the table, and choice words in any case end to end.
#include <gtest/gtest.h>

#include <filesystem>

#include "buffer_builder.h"
#include "commands/commands.h"
#include "process_util.h"
#include "sample_conversations.h"
#include "testing/temp_dir.h"
#include "text/exit_codes.h"

namespace cli_test {
namespace {

TEST(CommandStart, UsageMistakesExitWithTwoAndNameTheCommand) {
    const Outcome frame = zamvex({"convert", "buffer", "--out", "text", "--frame", "hdlc"});
    EXPECT_EQ(frame.exit_code, cli::kExitUsage);
    EXPECT_EQ(frame.err,
              "zamvex convert: bad value for --frame: 'hdlc' (sdlc, x25, x25x, x25ua or lapd)\n"
              "(see zamvex convert --help)\n");
    const Outcome mode = zamvex({"simulate", "--mode", "fast"});
    EXPECT_EQ(mode.exit_code, cli::kExitUsage);
    EXPECT_EQ(mode.err,
              "zamvex simulate: bad value for --mode: 'fast' (async, sync, hdlc, nrzi or ppp)\n"
              "(see zamvex simulate --help)\n");
    const Outcome type = zamvex({"settings", "save", "--port", "/dev/null", "--type", "everything", "f"});
    EXPECT_EQ(type.exit_code, cli::kExitUsage);
    EXPECT_NE(type.err.find("zamvex settings: bad value for --type: 'everything' (setup, tables or all)"),
              std::string::npos)
        << type.err;
    const Outcome operand = zamvex({"ports", "extra"});
    EXPECT_EQ(operand.exit_code, cli::kExitUsage);
    EXPECT_EQ(operand.err, "zamvex ports: unexpected argument 'extra'\n(see zamvex ports --help)\n");
}

TEST(CommandStart, HelpAnywhereWinsOverMistakes) {
    for (const char* command : {"capture", "simulate", "settings"}) {
        const Outcome help = zamvex({command, "--frobnicate", "-h"});
        EXPECT_EQ(help.exit_code, cli::kExitDone) << command;
        EXPECT_EQ(help.out, cli::help_text(*cli::find_command(command))) << command;
        EXPECT_EQ(help.err, "") << command;
    }
}

TEST(CommandStart, UsageLinesTakeValueNamesFromTheTable) {
    const cli::Command& settings = *cli::find_command("settings");
    EXPECT_EQ(cli::usage_forms(settings),
              (std::vector<std::string>{"save --port P FILE [--type setup|tables|all] [--ascii] [--force]",
                                        "send --port P FILE [--type setup|tables|all]"}));
    EXPECT_EQ(cli::usage_forms(*cli::find_command("screen")),
              std::vector<std::string>{"--port P [--png FILE | --text]"});
    // Every option a synopsis names is one the command takes, so it has its value name.
    for (const cli::Command* c : cli::commands()) {
        const std::string synopsis = c->synopsis;
        for (std::size_t at = synopsis.find("--"); at != std::string::npos; at = synopsis.find("--", at + 2)) {
            const std::string name = synopsis.substr(at, synopsis.find_first_of(" ]\n", at) - at);
            EXPECT_NE(cli::find_option(c->options, name), nullptr) << c->name << " " << name;
        }
    }
}

TEST(CommandStart, ExtcapHelpComesFromItsTable) {
    const Outcome help = run_program(ZAMVEX_EXTCAP_EXE, {"--help"}, std::chrono::seconds(30));
    EXPECT_EQ(help.exit_code, cli::kExitDone);
    EXPECT_NE(help.out.find("\n  --frame sdlc|x25|x25x|x25ua|lapd  frames of HDLC/NRZI lines (default x25)\n"),
              std::string::npos)
        << help.out;
    EXPECT_NE(help.out.find("\nport:\n  --port P "), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("\n  --parity none|odd|even      (default none)\n"), std::string::npos) << help.out;
    // Wireshark's own options have no help text and no row.
    EXPECT_EQ(help.out.find("\n  --extcap-"), std::string::npos) << help.out;
}

TEST(CommandStart, SettingsTypeWordsAndSimulateWordsEndToEnd) {
    testing_util::TempDir dir;
    Simulator sim({"--model", "rv-7030", "--mode", "Nrzi", "--protocol", "x25-128"});
    const Outcome tables = zamvex({"settings", "SAVE", "--port", sim.device(), "--type", "Tables", dir.file("t.txt")});
    ASSERT_EQ(tables.exit_code, cli::kExitDone) << tables.err;
    EXPECT_NE(tables.out.find(": RV-7030 settings (setup and tables),"), std::string::npos) << tables.out;
    const Outcome all = zamvex({"settings", "save", "--port", sim.device(), "--type", "all", dir.file("a.txt")});
    ASSERT_EQ(all.exit_code, cli::kExitDone) << all.err;
    EXPECT_NE(all.out.find(": RV-7030 settings (setup, tables and program),"), std::string::npos) << all.out;
    const Outcome number = zamvex({"settings", "save", "--port", sim.device(), "--type", "0", dir.file("s.txt")});
    ASSERT_EQ(number.exit_code, cli::kExitDone) << number.err;
    EXPECT_NE(number.out.find(": RV-7030 settings (setup),"), std::string::npos) << number.out;
}

TEST(CommandStart, SettingsTypeTheModelDoesNotOfferIsRefusedAndTheAnalyzerStaysUsable) {
    testing_util::TempDir dir;
    Simulator sim({"--model", "RV-7020"});
    const std::string saved = dir.file("s.txt"), refused = dir.file("all.txt");
    ASSERT_EQ(zamvex({"settings", "save", "--port", sim.device(), "--type", "setup", saved}).exit_code, cli::kExitDone);
    for (const char* verb : {"save", "send"}) {
        const Outcome r = zamvex(
            {"settings", verb, "--port", sim.device(), "--type", "all", verb == std::string("save") ? refused : saved});
        EXPECT_EQ(r.exit_code, cli::kExitFailed) << verb << ": " << r.out << r.err;
        EXPECT_NE(r.err.find("RV-7020 offers types 0 to 1"), std::string::npos) << verb << ": " << r.err;
        // The analyzer was let go: the next command connects and works.
        const Outcome next = zamvex({"settings", "send", "--port", sim.device(), saved});
        EXPECT_EQ(next.exit_code, cli::kExitDone) << verb << ": " << next.err;
    }
    EXPECT_FALSE(std::filesystem::exists(refused));
}

TEST(CommandStart, ExportWordsTakeAnyCase) {
    testing_util::TempDir dir;
    const std::string buffer = dir.file("buffer"), out = dir.file("call.pcapng");
    std::filesystem::create_directory(buffer);
    textlib_test::WriteBuffer(buffer, textlib_test::HdlcBody(), textlib_test::Q931Call());
    const Outcome r = zamvex({"export", buffer, "--pcapng", out, "--frame", "LAPD", "--line", "Sd"});
    ASSERT_EQ(r.exit_code, cli::kExitDone) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "9 frames written to " + out + " (link type 203)");
}

}  // namespace
}  // namespace cli_test
