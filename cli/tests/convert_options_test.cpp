// The convert command's options become the ConvertOptions fields that textlib
// reads; unset options keep capstore's defaults.
#include <gtest/gtest.h>

#include <cstring>

#include "commands/convert_options.h"

namespace cli {
namespace {

std::optional<ConvertOptions> parse(const std::vector<std::string>& args, std::string* why = nullptr) {
    std::string error;
    const auto parsed = parse_options(args, convert_option_specs(), error);
    if (!parsed) {
        if (why) *why = error;
        return std::nullopt;
    }
    auto o = convert_options_from(*parsed, error);
    if (why) *why = error;
    return o;
}

TEST(ConvertOptions, DefaultsAreCapstoresStoredDefaults) {
    const auto o = parse({});
    ASSERT_TRUE(o);
    EXPECT_EQ(o->Format, FormatPrint);
    EXPECT_EQ(o->Line, LineSdRd);
    EXPECT_EQ(o->Start, 1);
    EXPECT_EQ(o->Blocks, 100);
    EXPECT_EQ(o->MaxLines, 10000);
    EXPECT_EQ(o->PrintFormat, PrintFormatNormal);
    EXPECT_EQ(o->PrintData, PrintDataCharHex);
    EXPECT_EQ(o->GuideCut, 0);
    EXPECT_EQ(o->LineStateCut, 1);
    EXPECT_EQ(o->TimeStampCut, 0);
    EXPECT_EQ(o->IdleTimeCut, 0);
    EXPECT_EQ(o->TranslateFrame, FrameX25);
    EXPECT_EQ(o->TranslatePacket, PacketOff);
    const signed char states[8] = {0, 1, 3, 4, -1, -1, -1, -1};
    EXPECT_EQ(std::memcmp(o->DisplayLineState, states, 8), 0);
    EXPECT_EQ(o->CsvForm, CsvFormData);
    EXPECT_EQ(o->CsvData, CsvDataChar);
    EXPECT_EQ(o->Width, 16);
    EXPECT_STREQ(o->Delimit, ",");
}

TEST(ConvertOptions, EveryOptionSetsItsField) {
    // clang-format off
    const auto o = parse({"--format", "csv", "--line", "rd", "--start", "3", "--blocks", "1024", "--max-lines=999999",
                          "--print", "translate", "--data", "hex", "--no-guide", "--line-states", "ex,RS,CD",
                          "--no-time-stamps", "--no-idle-times", "--frame", "lapd", "--packet", "ddx", "--csv-form",
                          "frame", "--csv-data", "dec", "--width", "256", "--delimiter", "<tab>"});
    // clang-format on
    ASSERT_TRUE(o);
    EXPECT_EQ(o->Format, FormatCsv);
    EXPECT_EQ(o->Line, LineRd);
    EXPECT_EQ(o->Start, 3);
    EXPECT_EQ(o->Blocks, 1024);
    EXPECT_EQ(o->MaxLines, 999999);
    EXPECT_EQ(o->PrintFormat, PrintFormatTranslate);
    EXPECT_EQ(o->PrintData, PrintDataHex);
    EXPECT_EQ(o->GuideCut, 1);
    EXPECT_EQ(o->LineStateCut, 0);  // naming line states asks for them
    const signed char states[8] = {7, 0, 3, -1, -1, -1, -1, -1};
    EXPECT_EQ(std::memcmp(o->DisplayLineState, states, 8), 0);
    EXPECT_EQ(o->TimeStampCut, 1);
    EXPECT_EQ(o->IdleTimeCut, 1);
    EXPECT_EQ(o->TranslateFrame, FrameLapd);
    EXPECT_EQ(o->TranslatePacket, PacketDdx);
    EXPECT_EQ(o->CsvForm, CsvFormFrame);
    EXPECT_EQ(o->CsvData, CsvDataDec);
    EXPECT_EQ(o->Width, 256);
    EXPECT_STREQ(o->Delimit, "<tab>");
}

TEST(ConvertOptions, ValuesOutsideTheirRangeAreRefusedWithTheReason) {
    std::string why;
    EXPECT_FALSE(parse({"--blocks", "0"}, &why));
    EXPECT_EQ(why, "bad value for --blocks (1..1024): '0'");
    EXPECT_FALSE(parse({"--max-lines", "1000000"}, &why));
    EXPECT_FALSE(parse({"--width", "257"}, &why));
    EXPECT_FALSE(parse({"--start", "x"}, &why));
    EXPECT_FALSE(parse({"--frame", "X26"}, &why));
    EXPECT_EQ(why, "bad value for --frame: 'X26' (sdlc, x25, x25x, x25ua or lapd)");
    EXPECT_FALSE(parse({"--line-states", "RS,RS"}, &why));  // each once
    EXPECT_FALSE(parse({"--line-states", "RS,,CS"}, &why));
    EXPECT_FALSE(parse({"--line-states", "RS,CS,DR,CD,ER,SQ,CI,EX,RS"}, &why));
    EXPECT_FALSE(parse({"--delimiter", "0123456789abcdef"}, &why));
    EXPECT_EQ(why, "the delimiter is longer than 15 characters");
    EXPECT_TRUE(parse({"--delimiter", "0123456789abcde"}, &why));
    EXPECT_FALSE(parse({"--no-guide=1"}, &why));
    EXPECT_EQ(why, "option --no-guide takes no value");
    EXPECT_FALSE(parse({"--width"}, &why));
    EXPECT_EQ(why, "option --width needs a value");
}

TEST(OptionParser, PositionalWordsHelpAndTheLastValue) {
    std::string error;
    const auto p = parse_options({"buf", "--out", "a", "--out=b", "-", "--help"}, {{"--out", "DIR"}}, error);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->value("--out"), "b");
    EXPECT_EQ(p->positional, (std::vector<std::string>{"buf", "-"}));
    EXPECT_TRUE(p->help);
    EXPECT_EQ(parse_number("-3", 0, 5), std::nullopt);
    EXPECT_EQ(parse_number("5", 0, 5), 5);
    EXPECT_EQ(parse_number("99999999999999999999", 0, 5), std::nullopt);
}

}  // namespace
}  // namespace cli
