// Frame, packet and PPP translations of whole hand-built conversations,
// compared byte for byte with reviewed expected files in tests/data.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <optional>

#include "buffer_builder.h"
#include "convert_harness.h"
#include "frame_words.h"
#include "sample_conversations.h"

using namespace textlib_test;

namespace {

std::string Expected(const std::string& name) { return ReadText(std::string(TEXTLIB_TEST_DATA) + "/" + name); }

struct GoldenCase {
    const char* expected;
    std::vector<std::uint32_t> (*words)();
    InfoBody (*body)();
    ConvertFrame frame;
    ConvertPacket packet;
};

class GoldenFrames : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenFrames, MatchesReviewedOutput) {
    const GoldenCase& c = GetParam();
    testing_util::TempDir dir;
    std::string buffer = dir.file("buffer"), out = dir.file("out");
    std::filesystem::create_directory(buffer);
    std::filesystem::create_directory(out);
    WriteBuffer(buffer, c.body(), c.words());

    ConvertOptions o = DefaultOptions(out);
    o.PrintFormat = PrintFormatTranslate;  // Translate
    o.GuideCut = 1;                        // translations keep their header box all the same
    o.TranslateFrame = c.frame;
    o.TranslatePacket = c.packet;
    Converted r = Convert(buffer, o);
    ASSERT_EQ(r.code, 0);
    EXPECT_EQ(ReadText(out + "/T_00000000.txt"), Expected(c.expected));
    EXPECT_FALSE(std::filesystem::exists(out + "/T_00000001.txt"));
}

INSTANTIATE_TEST_SUITE_P(
    Conversations, GoldenFrames,
    ::testing::Values(GoldenCase{"hdlc_x25_frames.txt", X25Conversation, HdlcBody, FrameX25, PacketOff},
                      GoldenCase{"hdlc_x25_packets.txt", X25Conversation, HdlcBody, FrameX25, PacketX25},
                      GoldenCase{"lapd_q931_frames.txt", Q931Call, HdlcBody, FrameLapd, PacketOff},
                      GoldenCase{"lapd_q931_packets.txt", Q931Call, HdlcBody, FrameLapd, PacketLapd},
                      GoldenCase{"ppp_negotiation.txt", PppNegotiation, PppBody, FrameSdlc, PacketOff}),
    [](const ::testing::TestParamInfo<GoldenCase>& info) {
        std::string name = info.param.expected;
        return name.substr(0, name.find('.'));
    });

}  // namespace

namespace {

struct JobOutput {
    std::optional<int> code;
    std::string text;
};

JobOutput RunJob(const InfoBody& body, const std::vector<std::uint32_t>& words, ConvertOptions o) {
    testing_util::TempDir dir;
    std::string buffer = dir.file("buffer");
    std::filesystem::create_directory(buffer);
    WriteBuffer(buffer, body, words);
    std::snprintf(o.SavePath, sizeof o.SavePath, "%s", dir.path().c_str());
    JobOutput r{Convert(buffer, o).code, {}};
    if (std::filesystem::exists(dir.file("T_00000000.txt"))) r.text = ReadText(dir.file("T_00000000.txt"));
    return r;
}

ConvertOptions TranslateOptions(int frame, int packet) {
    ConvertOptions o = DefaultOptions("");
    o.PrintFormat = PrintFormatTranslate;
    o.TranslateFrame = frame;
    o.TranslatePacket = packet;
    return o;
}

// The lines after the column header.
std::vector<std::string> FrameLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = text.find(" DATA\r\n");
    for (at = at == std::string::npos ? text.size() : at + 7; at < text.size();) {
        std::size_t end = text.find("\r\n", at);
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

}  // namespace

TEST(FrameJobs, OneDirectionGivesOnlyItsFrames) {
    ConvertOptions o = TranslateOptions(FrameX25, PacketOff);
    o.Line = LineSd;  // SD only
    JobOutput sd = RunJob(HdlcBody(), X25Conversation(), o);
    ASSERT_EQ(sd.code, 0);
    std::vector<std::string> want{
        "SD:100000 03 SABM      1      G", "SD:100001 01 INFO    0 0   0  G  10010B55123456789000",
        "SD:100002 03 RR        0   1  G", "SD:100003 01 INFO    1 0   1  G  10010048454C4C4F0D0A"};
    std::vector<std::string> lines = FrameLines(sd.text);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 4), want);
    EXPECT_EQ(lines[5], "SD:100005 01 INFO    2 0   2  A");
    EXPECT_EQ(lines[6], "Lost");
    EXPECT_EQ(lines[8], "SD:100008 03 DISC      1      G");

    o.Line = LineRd;  // RD only
    JobOutput rd = RunJob(HdlcBody(), X25Conversation(), o);
    lines = FrameLines(rd.text);
    ASSERT_EQ(lines.size(), 10u);
    for (const std::string& line : lines) EXPECT_TRUE(line.rfind("RD:", 0) == 0 || line == "Lost") << line;
}

TEST(FrameJobs, BlockRangeDecidesWhichFramesArePrinted) {
    // Block 1 holds 65536 four-word frames, block 2 one SABM.
    std::vector<std::uint32_t> w;
    while (w.size() < static_cast<std::size_t>(kBlockWords)) Append(w, HdlcFrame(false, {0x01, 0x32}, 0));
    Append(w, HdlcFrame(false, {0x03, 0x3F}));
    ConvertOptions o = TranslateOptions(FrameX25, PacketOff);
    o.Start = 2;
    o.Blocks = 1;
    JobOutput second = RunJob(HdlcBody(), w, o);
    ASSERT_EQ(second.code, 0);
    EXPECT_EQ(FrameLines(second.text), (std::vector<std::string>{"SD:       03 SABM      1      G"}));

    o.Start = 1;
    JobOutput first = RunJob(HdlcBody(), w, o);
    std::vector<std::string> lines = FrameLines(first.text);
    ASSERT_EQ(lines.size(), 65536u);
    EXPECT_EQ(lines.front(), "SD:       01 INFO    1 1   1");
    EXPECT_EQ(lines.back(), lines.front());

    o.Start = 3;  // past the last block: the headers and nothing else
    JobOutput past = RunJob(HdlcBody(), w, o);
    EXPECT_EQ(past.code, 0);
    EXPECT_TRUE(FrameLines(past.text).empty());
    EXPECT_EQ(past.text.rfind("     TM   AD TYPE  NS P/F NR FCS DATA\r\n"), past.text.size() - 39);
}

TEST(FrameJobs, FormatterOutsideTheListsFailsTheJobAfterTheHeaders) {
    JobOutput bad = RunJob(HdlcBody(), X25Conversation(), TranslateOptions(5, PacketOff));
    EXPECT_EQ(bad.code, 1);
    EXPECT_EQ(bad.text.find("        ** FRAME CONVERSION **\r\n"), 0u);
    EXPECT_TRUE(FrameLines(bad.text).empty());
    EXPECT_EQ(RunJob(HdlcBody(), X25Conversation(), TranslateOptions(FrameX25, 4)).code, 1);
    EXPECT_EQ(RunJob(PppBody(), PppNegotiation(), TranslateOptions(9, 9)).code, 0);  // PPP ignores both
}
