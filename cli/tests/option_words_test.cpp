// Choice words as users type them: any case, the aliases kept for older
// scripts, and messages that name the words a choice takes.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>

#include "cli/simulate_command.h"
#include "commands/commands.h"
#include "commands/convert_options.h"
#include "commands/port_options.h"

namespace cli {
namespace {

std::optional<ConvertOptions> convert(const std::vector<std::string>& args, std::string* why = nullptr) {
    std::string error;
    const auto parsed = parse_options(args, convert_option_specs(), error);
    std::optional<ConvertOptions> o;
    if (parsed) o = convert_options_from(*parsed, error);
    if (why) *why = error;
    return o;
}

TEST(OptionWords, ConvertChoicesTakeAnyCase) {
    const auto lower = convert({"--format", "csv", "--line", "rd", "--print", "translate", "--data", "hex", "--frame",
                                "x25x", "--packet", "ddx", "--csv-form", "frame", "--csv-data", "dec"});
    const auto upper = convert({"--format", "CSV", "--line", "RD", "--print", "Translate", "--data", "HEX", "--frame",
                                "X25X", "--packet", "DDX", "--csv-form", "FRAME", "--csv-data", "Dec"});
    ASSERT_TRUE(lower);
    ASSERT_TRUE(upper);
    EXPECT_EQ(upper->Format, FormatCsv);
    EXPECT_EQ(upper->Line, LineRd);
    EXPECT_EQ(upper->PrintFormat, PrintFormatTranslate);
    EXPECT_EQ(upper->PrintData, PrintDataHex);
    EXPECT_EQ(upper->TranslateFrame, FrameX25x);
    EXPECT_EQ(upper->TranslatePacket, PacketDdx);
    EXPECT_EQ(upper->CsvForm, CsvFormFrame);
    EXPECT_EQ(upper->CsvData, CsvDataDec);
    EXPECT_EQ(std::memcmp(&*lower, &*upper, sizeof(ConvertOptions)), 0);
    EXPECT_EQ(convert({"--frame", "LapD"})->TranslateFrame, 4);
}

TEST(OptionWords, ABadWordIsNamedWithTheWordsThatWouldDo) {
    std::string why;
    EXPECT_FALSE(convert({"--line", "both"}, &why));
    EXPECT_EQ(why, "bad value for --line: 'both' (sdrd, sd or rd)");
    EXPECT_FALSE(convert({"--format", "pdf"}, &why));
    EXPECT_EQ(why, "bad value for --format: 'pdf' (print or csv)");
    // A word must match whole, not as a prefix.
    EXPECT_FALSE(convert({"--frame", "x25xx"}, &why));
    EXPECT_FALSE(convert({"--frame", "x2"}, &why));
    EXPECT_EQ(bad_value({"--speed", "N", ""}, "fast"), "bad value for --speed: 'fast'");
}

TEST(OptionWords, ParityTakesAnyCase) {
    const std::vector<OptionSpec> specs = with_port_options({});
    std::string error;
    const auto parsed = parse_options({"--port", "COM1", "--parity", "EVEN"}, specs, error);
    ASSERT_TRUE(parsed) << error;
    const auto port = port_choice(*parsed, error);
    ASSERT_TRUE(port) << error;
    EXPECT_EQ(port->parity, 2);
    const auto mark = parse_options({"--port", "COM1", "--parity", "mark"}, specs, error);
    ASSERT_TRUE(mark);
    EXPECT_FALSE(port_choice(*mark, error));
    EXPECT_EQ(error, "bad value for --parity: 'mark' (none, odd or even)");
}

TEST(OptionWords, SpeedIsOneAListOrAuto) {
    const std::vector<OptionSpec> specs = with_port_options({});
    const auto choice = [&](const std::string& speed, std::string& error) {
        const auto parsed = parse_options({"--port", "COM1", "--speed", speed}, specs, error);
        return parsed ? port_choice(*parsed, error) : std::nullopt;
    };
    std::string error;
    const auto one = choice("9600", error);
    ASSERT_TRUE(one) << error;
    EXPECT_EQ(one->speed, 9600);
    EXPECT_TRUE(one->search.empty());
    const auto list = choice("1200,2400", error);
    ASSERT_TRUE(list) << error;
    EXPECT_EQ(list->search, (std::vector<int>{1200, 2400}));
    const auto automatic = choice("AUTO", error);
    ASSERT_TRUE(automatic) << error;
    EXPECT_EQ(automatic->search, (std::vector<int>{115200, 9600, 230400, 57600, 38400, 19200, 4800, 2400, 1200}));
    for (const char* bad : {"fast", "9600,", "9600,,19200", "10"}) {
        EXPECT_FALSE(choice(bad, error)) << bad;
        EXPECT_EQ(error, "bad value for --speed: '" + std::string(bad) + "' (N, N,N,... or auto)");
    }
}

std::optional<simulator::AnalyzerOptions> simulate(const std::vector<std::string>& args, std::string* why = nullptr) {
    std::string error;
    const auto s = parse_simulate_options(args, error);
    if (why) *why = error;
    if (!s) return std::nullopt;
    return s->analyzer;
}

TEST(OptionWords, SimulateNamesX25Modulo128LikeConvertAndKeepsTheOldName) {
    for (const char* word : {"x25x", "X25X", "x25-128", "X25-128"}) {
        const auto o = simulate({"--protocol", word});
        ASSERT_TRUE(o) << word;
        EXPECT_EQ(o->protocol, simulator::FrameProtocol::X25Mod128) << word;
    }
    EXPECT_EQ(simulate({"--protocol", "X25"})->protocol, simulator::FrameProtocol::X25Mod8);
    EXPECT_EQ(simulate({})->protocol, simulator::FrameProtocol::Mixed);
    std::string why;
    EXPECT_FALSE(simulate({"--protocol", "x25-64"}, &why));
    EXPECT_EQ(why, "bad value for --protocol: 'x25-64' (mixed, sdlc, x25, x25x or lapd)");
    const std::string help = help_text(kSimulateCommand);
    EXPECT_NE(help.find("--protocol mixed|sdlc|x25|x25x|lapd"), std::string::npos) << help;
    EXPECT_EQ(help.find("x25-128"), std::string::npos) << help;
}

TEST(OptionWords, SimulateModesAndModelsTakeAnyCase) {
    EXPECT_EQ(simulate({"--mode", "nrzi"})->line_mode, simulator::LineMode::Nrzi);
    EXPECT_EQ(simulate({"--mode", "Async"})->line_mode, simulator::LineMode::Async);
    EXPECT_EQ(simulate({"--mode", "PPP"})->line_mode, simulator::LineMode::Ppp);
    EXPECT_FALSE(simulate({})->line_mode);
    EXPECT_EQ(simulate({"--model", "rv-7030"})->model, simulator::Model::Rv7030);
    std::string why;
    EXPECT_FALSE(simulate({"--mode", "bisync"}, &why));
    EXPECT_EQ(why, "bad value for --mode: 'bisync' (async, sync, hdlc, nrzi or ppp)");
}

// Model names are the analyzers' own and stay as printed on them.
bool is_model_row(const OptionSpec& o) { return std::string(o.name) == "--model"; }

TEST(OptionWords, HelpShowsEveryChoiceInLowerCase) {
    for (const Command* c : commands())
        for (const OptionSpec& o : c->options) {
            if (!o.name || !lists_choices(o.value) || is_model_row(o)) continue;
            for (const char* p = o.value; *p; ++p)
                EXPECT_FALSE(std::isupper(static_cast<unsigned char>(*p)))
                    << c->name << " " << o.name << " " << o.value;
        }
}

}  // namespace
}  // namespace cli
