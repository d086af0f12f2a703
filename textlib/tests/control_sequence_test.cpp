// The control-sequence translation as a job writes it: tokens of both
// directions in their own lines, one column each, with time stamps and gaps
// in their columns, and the block range kept.
#include <gtest/gtest.h>

#include <filesystem>

#include "buffer_builder.h"
#include "control/control_sequence_filter.h"
#include "convert_harness.h"

using namespace textlib_test;

namespace {

constexpr int kHeaderLines = 7;  // the box of a character mode and its blank line
constexpr int kStx = 0x02, kEtx = 0x03, kEot = 0x04, kEnq = 0x05, kDle = 0x10;

InfoBody SyncBody(int code) {
    InfoBody b = AsyncBody(code);
    b[1] = 1;
    b[9] = 2;
    b[10] = b[11] = 0x16;
    b[17] = 3;  // CRC-16
    return b;
}

// Splits CR LF text into lines; the last line end is required.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    for (std::size_t end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(text.substr(at, end - at));
    EXPECT_EQ(at, text.size()) << "text does not end with CR LF";
    return lines;
}

// A line of the block: guide, then the cells, padded with blanks to 28 columns.
std::string Row(const char* guide, const std::string& cells) {
    return guide + cells + std::string(56 - cells.size(), ' ');
}

// The translation lines after the header box.
std::vector<std::string> Translate(const InfoBody& body, const std::vector<std::uint32_t>& words, int line = 0) {
    testing_util::TempDir dir;
    std::string buffer = dir.file("buffer");
    std::filesystem::create_directory(buffer);
    WriteBuffer(buffer, body, words);
    ConvertOptions o = DefaultOptions(dir.path());
    o.PrintFormat = PrintFormatTranslate;
    o.Line = line;
    Converted r = Convert(buffer, o);
    EXPECT_EQ(r.code, 0);
    std::vector<std::string> lines = Lines(ReadText(dir.file("T_00000000.txt")));
    if (lines.size() < kHeaderLines) return {};
    return std::vector<std::string>(lines.begin() + kHeaderLines, lines.end());
}

std::vector<std::string> Block(const std::string& sd, const std::string& rd) {
    return {Row("SD:", sd), Row("RD:", rd), ""};
}

}  // namespace

TEST(ControlSequence, TextBetweenControlCharactersIsOneMark) {
    std::vector<std::uint32_t> w{Sd(kStx), Sd('A'), Sd('B'), Sd(kEtx), Sd(0x5A, 2)};
    EXPECT_EQ(Translate(AsyncBody(), w), Block("SX -EX{}", ""));
}

TEST(ControlSequence, DleSequencesAndTtd) {
    std::vector<std::uint32_t> w{Sd(kDle), Sd('0'), Sd(kDle), Sd(';'), Sd(kStx), Sd(kEnq), Sd(kEot)};
    EXPECT_EQ(Translate(AsyncBody(), w), Block("AK 0 WAK T DET", ""));
}

TEST(ControlSequence, EbcdicTransparentTextWithDleDle) {
    std::vector<std::uint32_t> w{Rd(0x10), Rd(0x02), Rd(0xC1), Rd(0x10), Rd(0x10), Rd(0x03), Rd(0x10), Rd(0x03)};
    EXPECT_EQ(Translate(SyncBody(1), w), Block("", "DLSX -DLEX"));
}

TEST(ControlSequence, BccErrorAfterEtxHasItsOwnColumn) {
    std::vector<std::uint32_t> w{Rd(kStx), Rd('x'), Rd(kEtx), Rd(0x11, 3), Rd(0x22, 3)};
    EXPECT_EQ(Translate(AsyncBody(), w), Block("", "SX -EX????"));
}

TEST(ControlSequence, CodesWithoutAMachineShowOnlyStampsAndGaps) {
    std::vector<std::uint32_t> w{Sd(0x01), TimeStamp(true, 12, 34, 56), Sd(0x02), Rd(0x03), Gap(4), Sd(0x10)};
    EXPECT_EQ(Translate(AsyncBody(9), w), Block("[ TMSP ]||", "[123456]||"));
}

TEST(ControlSequence, BothDirectionsInterleaveInTheOrderTheyArose) {
    // The SD word and the RD word of one record: SD tokens first.
    std::vector<std::uint32_t> w{SdRd(kEot, kEnq), TimeStamp(false, 1, 2, 3), SdRd(kStx, kDle), SdRd('a', '1'),
                                 Sd(kEtx)};
    EXPECT_EQ(Translate(AsyncBody(), w), Block("ET  [ TMSP ]SX -    EX", "  EQ[010203]    AK 1  "));
    // One direction only: the other's tokens and time stamps vanish with its line.
    EXPECT_EQ(Translate(AsyncBody(), w, 2), (std::vector<std::string>{Row("RD:", "EQAK 1"), ""}));
}

TEST(ControlSequence, BlocksOfTwentyEightColumns) {
    std::vector<std::uint32_t> w;
    for (int k = 0; k < 15; ++k) Append(w, {Sd(kStx), Sd('t'), Sd(kEtx)});  // 45 tokens
    std::string first, second;
    for (int k = 0; k < 45; ++k) (k < 28 ? first : second) += k % 3 == 0 ? "SX" : k % 3 == 1 ? " -" : "EX";
    std::vector<std::string> expected = Block(first, "");
    for (const std::string& l : Block(second, "")) expected.push_back(l);
    EXPECT_EQ(Translate(AsyncBody(), w), expected);
}

// Tokens from the range's last record still print; records after the range do not.
TEST(ControlSequence, KeepsTheBlockRange) {
    testing_util::TempDir dir;
    std::string buffer = dir.file("buffer");
    std::filesystem::create_directory(buffer);
    std::vector<std::uint32_t> w(kBlockWords, Sd('x'));
    w[0] = Sd(kDle);
    w[1] = Sd('1');
    Append(w, {Sd(kEot), Sd(kDle), Sd('0')});
    WriteBuffer(buffer, AsyncBody(), w);
    ConvertOptions o = DefaultOptions(dir.path());
    o.PrintFormat = PrintFormatTranslate;
    o.Blocks = 1;
    ASSERT_EQ(Convert(buffer, o).code, 0);
    std::vector<std::string> lines = Lines(ReadText(dir.file("T_00000000.txt")));
    ASSERT_EQ(lines.size(), kHeaderLines + 3u);
    EXPECT_EQ(lines[kHeaderLines], Row("SD:", "AK 1"));

    o.Start = 2;
    ASSERT_EQ(Convert(buffer, o).code, 0);
    lines = Lines(ReadText(dir.file("T_00000000.txt")));
    ASSERT_EQ(lines.size(), kHeaderLines + 3u);
    EXPECT_EQ(lines[kHeaderLines], Row("SD:", "ETAK 0"));

    // A single data file that ends inside a two-token sequence.
    std::string single = dir.file("single.mkw");
    WriteSingleFile(single, AsyncBody(), {Sd(kDle), Sd(';')});
    ConvertOptions s = DefaultOptions(dir.path());
    s.PrintFormat = PrintFormatTranslate;
    ASSERT_EQ(Convert(single, s).code, 0);
    lines = Lines(ReadText(dir.file("T_00000000.txt")));
    ASSERT_EQ(lines.size(), kHeaderLines + 3u);
    EXPECT_EQ(lines[kHeaderLines], Row("SD:", " WAK"));
}

TEST(ControlSequenceFilter, ResetStartsAgainAndNextTokenEndsWithTheData) {
    testing_util::TempDir dir;
    WriteBuffer(dir.path(), AsyncBody(), {Sd(kStx), Rd(kEot), Sd('q'), Idle(3)});
    textlib::BufferReader reader;
    ASSERT_TRUE(reader.Open(dir.path().c_str()));
    textlib::ControlSequenceFilter filter(reader);
    for (int round = 0; round < 2; ++round) {
        filter.Reset(0);
        EXPECT_EQ(filter.Family(), textlib::ControlFamily::Ascii);
        EXPECT_EQ(filter.NextToken(), 0x3720u << 16 | 0x003F);  // RD EOT; SD STX still waits for its next character
        EXPECT_EQ(filter.NextToken(), 0x003Fu << 16 | 0x0210);  // SD STX
        EXPECT_EQ(filter.NextToken(), 0x003Fu << 16 | 0x6010);  // SD text mark
        EXPECT_EQ(filter.NextToken(), Idle(3));                 // idle times pass through: the caller filters them
        for (int k = 0; k < 3; ++k) filter.NextToken();
        EXPECT_EQ(filter.NextToken(), 0u);
        EXPECT_EQ(filter.NextToken(), 0u);
    }
}
