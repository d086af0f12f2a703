// Print-format conversions of small hand-built buffers compared byte for byte
// with reviewed expected files in tests/data.
#include <gtest/gtest.h>

#include <filesystem>

#include "buffer_builder.h"
#include "convert_harness.h"
#include "sample_buffers.h"

using namespace textlib_test;

namespace {

// Signals change around a gap, an idle time and a time stamp.
std::vector<std::uint32_t> WithLineStates() {
    return {Sd('A'),
            Gap(1),
            Sd('B'),
            LineState(0x00, 0x80),
            Rd('C'),
            Idle(3),
            LineState(0x80, 0xC0),
            TimeStamp(true, 1, 2, 3),
            Sd('D'),
            LineState(0xC0, 0x50),
            Sd('E')};
}

std::string Expected(const std::string& name) { return ReadText(std::string(TEXTLIB_TEST_DATA) + "/" + name); }

struct GoldenCase {
    const char* expected;
    int data;  // print Data
    int line;
    int guideCut;
    bool lineStates;
};

class GoldenPrint : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenPrint, MatchesReviewedOutput) {
    const GoldenCase& c = GetParam();
    testing_util::TempDir dir;
    std::string buffer = dir.file("buffer"), out = dir.file("out");
    std::filesystem::create_directory(buffer);
    std::filesystem::create_directory(out);
    InfoBody body = AsyncBody();
    body[33] = c.lineStates ? 1 : 0;
    WriteBuffer(buffer, body, c.lineStates ? WithLineStates() : MixedAsync());

    ConvertOptions o = DefaultOptions(out);
    o.PrintData = c.data;
    o.Line = c.line;
    o.GuideCut = c.guideCut;
    Converted r = Convert(buffer, o);
    ASSERT_EQ(r.code, 0);
    EXPECT_EQ(ReadText(out + "/T_00000000.txt"), Expected(c.expected));
    EXPECT_FALSE(std::filesystem::exists(out + "/T_00000001.txt"));
}

INSTANTIATE_TEST_SUITE_P(Async, GoldenPrint,
                         ::testing::Values(GoldenCase{"async_charhex_sdrd.txt", 0, 0, 0, false},
                                           GoldenCase{"async_charhex_sdrd_guidecut.txt", 0, 0, 1, false},
                                           GoldenCase{"async_char_sdrd.txt", 1, 0, 0, false},
                                           GoldenCase{"async_hex_sdrd.txt", 2, 0, 0, false},
                                           GoldenCase{"async_charhex_sd.txt", 0, 1, 0, false},
                                           GoldenCase{"async_charhex_rd.txt", 0, 2, 0, false},
                                           GoldenCase{"async_char_sd.txt", 1, 1, 0, false},
                                           GoldenCase{"async_char_rd.txt", 1, 2, 0, false},
                                           GoldenCase{"async_hex_sd.txt", 2, 1, 0, false},
                                           GoldenCase{"async_hex_rd.txt", 2, 2, 0, false},
                                           GoldenCase{"async_linestates.txt", 0, 0, 0, true}),
                         [](const ::testing::TestParamInfo<GoldenCase>& info) {
                             std::string name = info.param.expected;
                             return name.substr(0, name.find('.'));
                         });

// Every character of every code, first table then second, one line of 28
// cells per block (Char, SD only, no guides).
TEST(GoldenCodeTables, EveryCodeTablePrintsAsReviewed) {
    const char* names[] = {"ascii", "ebcdic", "ebcdik", "jis7", "jis8", "hex", "ebcd", "transc", "ipars", "baudot"};
    const int highest[] = {127, 255, 255, 127, 255, 255, 63, 63, 63, 31};
    for (int code = 0; code < 10; ++code) {
        testing_util::TempDir dir;
        std::string buffer = dir.file("buffer");
        std::filesystem::create_directory(buffer);
        std::vector<std::uint32_t> words;
        for (int status = 0; status < 2; ++status)
            for (int ch = 0; ch <= highest[code]; ++ch) words.push_back(Sd(ch, status));
        WriteBuffer(buffer, AsyncBody(code), words);
        ConvertOptions o = DefaultOptions(dir.path());
        o.PrintData = PrintDataChar;
        o.Line = LineSd;
        o.GuideCut = 1;
        ASSERT_EQ(Convert(buffer, o).code, 0);
        EXPECT_EQ(ReadText(dir.file("T_00000000.txt")), Expected(std::string("code_") + names[code] + ".txt"))
            << names[code];
    }
}

}  // namespace
