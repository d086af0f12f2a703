// Program listing: heads, operands of each form, labels as low byte and page, and
// refusals.
#include <gtest/gtest.h>

#include <cstdio>

#include "messages.h"
#include "program_listing.h"
#include "test_util.h"

using namespace setxfer;
using namespace setxfer_test;

namespace {

std::string listing(const std::vector<std::uint8_t>& p) {
    std::string out;
    write_program(out, p);
    return out;
}

std::optional<Failure> read_listing(const std::string& text, std::vector<std::uint8_t>& p) {
    TokenReader in(bytes(text));
    return read_program(in, p);
}

std::string line(const std::string& text, int step) {
    char head[8];
    std::snprintf(head, sizeof head, "PR%03d:", step);
    auto at = text.find(head);
    return text.substr(at, text.find("\r\n", at) + 2 - at);
}

std::vector<std::uint8_t> step(std::vector<std::uint8_t> p, int n, std::initializer_list<int> values) {
    int i = 0;
    for (int v : values) p[16 * n + i++] = static_cast<std::uint8_t>(v);
    return p;
}

}  // namespace

TEST(Program, FiveHundredTwelveNops) {
    std::vector<std::uint8_t> p(ProgramSize, 0);
    std::string text = listing(p);
    EXPECT_EQ(text.substr(0, 22), "PR000:NOP  \r\nPR001:NOP");
    EXPECT_EQ(text.substr(text.size() - 16), "PR511:NOP  \r\nEN ");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 512);
    std::vector<std::uint8_t> back(ProgramSize, 0);
    EXPECT_FALSE(read_listing(text, back));
    EXPECT_EQ(back, p);
}

TEST(Program, OperandFormsAndTheirBytes) {
    std::vector<std::uint8_t> p(ProgramSize, 0);
    p = step(p, 0, {2, 3, 0xBC, 2});                                   // WAIT TM 700
    p = step(p, 1, {9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF});     // RETI L *
    p = step(p, 2, {4, 0, 2, 0x02, 0x41, 0, 0, 0, 0, 0, 0, 0, 5, 1});  // IF CHR 41 Fg : L261
    p = step(p, 3, {4, 5, 1, 3, 3, 0, 0, 0, 0, 0, 0, 0, 7, 0});        // IF REG B＞D L7
    p = step(p, 4, {7, 2, 1, 2});                                      // SET TM 1 STOP
    p = step(p, 5, {7, 0, 0, 0, 0x2C, 1});                             // SET REG A 300
    p = step(p, 6, {2, 5, 3, 1});                                      // WAIT LN SQ=1
    p = step(p, 7, {3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 12, 0});       // GOTO L12
    p = step(p, 8, {1, 0, 3, 0, 0x0d, 0x0a, 0x7e});                    // SEND CHR 0d0a7e
    std::string text = listing(p);
    EXPECT_EQ(line(text, 0), "PR000:WAIT TM   700 \r\n");
    EXPECT_EQ(line(text, 1), "PR001:RETI L * \r\n");
    EXPECT_EQ(line(text, 2), "PR002:IF   CHR  41Fg : L261 \r\n");
    EXPECT_EQ(line(text, 3),
              "PR003:IF   REG  B\x81\x84"
              "D L7 \r\n");
    EXPECT_EQ(line(text, 4), "PR004:SET  TM   1    STOP\r\n");
    EXPECT_EQ(line(text, 5), "PR005:SET  REG  A    300 \r\n");
    EXPECT_EQ(line(text, 6), "PR006:WAIT LN   SQ=1\r\n");
    EXPECT_EQ(line(text, 7), "PR007:GOTO L12  \r\n");
    EXPECT_EQ(line(text, 8), "PR008:SEND CHR  0d0a7e\r\n");
    std::vector<std::uint8_t> back(ProgramSize, 0);
    ASSERT_FALSE(read_listing(text, back));
    EXPECT_EQ(back[0 + 2], 0xBC);
    EXPECT_EQ(back[0 + 3], 2);
    EXPECT_EQ(back[16 + 13], 0xFF);
    EXPECT_EQ(back, p);
}

TEST(Program, Refusals) {
    std::vector<std::uint8_t> p(ProgramSize, 0);
    std::string text = listing(p);
    std::vector<std::uint8_t> back(ProgramSize, 0);
    std::string bad = text;
    bad.replace(bad.find("PR007:NOP"), 9, "PR007:NOOP");
    auto f = read_listing(bad, back);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->message, text::kProgramData);
    EXPECT_EQ(f->caption, text::kCaptionError);
    bad = text;
    bad.replace(bad.find("PR007:NOP "), 10, "PR007:SEND CHR  000102030405060708 ");  // nine characters
    EXPECT_TRUE(read_listing(bad, back));
    bad = text;
    bad.replace(bad.find("PR007:NOP "), 10, "PR007:SET  XYZ  ");  // no such operand kind
    EXPECT_TRUE(read_listing(bad, back));
    EXPECT_TRUE(read_listing(text.substr(0, text.size() / 2), back));  // the file ends early
    p[16 * 9] = 13;  // no such instruction: written so that it cannot be sent back
    EXPECT_TRUE(read_listing(listing(p), back));
}
