// Table data text: header lines, 30 codes a line, "EN" placement, both code forms,
// and the reader's refusals.
#include <gtest/gtest.h>

#include "messages.h"
#include "names.h"
#include "table_codes.h"
#include "table_text.h"
#include "test_util.h"

using namespace setxfer;
using namespace setxfer_test;

namespace {

// Tables of the given lengths, cell values counting up from first.
std::vector<std::uint8_t> tables(const std::vector<int>& lengths, int first = 0) {
    std::vector<std::uint8_t> t(TableCapacity, 0);
    int offset = 0, value = first;
    for (std::size_t k = 0; k <= 16; ++k) {
        set_u16(t, 4 * k, static_cast<std::uint32_t>(offset));
        if (k < lengths.size()) {
            for (int i = 0; i < lengths[k]; ++i)
                set_u16(t, 68 + 2 * static_cast<std::size_t>(offset + i), (value++) & 0xFF);
            offset += lengths[k];
        }
    }
    return t;
}

std::string written(const std::vector<std::uint8_t>& t, TableForm form = TableForm::Hex) {
    std::string out;
    write_tables(out, t, form);
    return out;
}

std::optional<Failure> read_back(const std::string& text, std::vector<std::uint8_t>& t,
                                 TableForm form = TableForm::Hex) {
    TokenReader in(bytes(text));
    return read_tables(in, t, form);
}

std::string empty_headers(int from) {
    std::string s;
    for (int k = from; k < 16; ++k) s += std::string("TBL.No:") + "0123456789ABCDEF"[k] + "(0)\r\n";
    return s;
}

}  // namespace

TEST(TableText, SixteenEmptyTables) {
    auto t = tables({});
    EXPECT_EQ(written(t), empty_headers(0) + "EN\r\n");
    auto back = tables({5, 5, 5}, 7);
    EXPECT_FALSE(read_back(written(t), back));
    EXPECT_EQ(back, t);  // all offsets 0 and every cell cleared
}

TEST(TableText, ThirtyCodesALineAndWhereEnGoes) {
    std::vector<int> lengths(16, 0);
    lengths[15] = 30;
    auto t = tables(lengths);
    std::string line;
    for (int v = 0; v < 30; ++v) line += std::string(hex_code(static_cast<std::uint8_t>(v)));
    EXPECT_EQ(written(t), empty_headers(0).substr(0, 15 * 13) + "TBL.No:F(30)\r\n" + line + "\r\nEN\r\n");
    lengths[15] = 31;
    lengths[0] = 2;
    t = tables(lengths);
    std::string text = written(t);
    EXPECT_EQ(text.substr(0, 19), "TBL.No:0(2)\r\n0001\r\n");
    EXPECT_EQ(text.substr(text.size() - 8), "\r\n20EN\r\n");
    auto back = tables({});
    EXPECT_FALSE(read_back(text, back));
    EXPECT_EQ(back, t);
}

TEST(TableText, CharacterFormCodes) {
    auto t = tables({6});
    for (auto [i, v] : {std::pair{0, 0x41}, {1, 0x20}, {2, 0x22}, {3, 0x5C}, {4, 0x0D}, {5, 0x9A}})
        set_u16(t, 68 + 2 * static_cast<std::size_t>(i), static_cast<std::uint32_t>(v));
    std::string text = written(t, TableForm::Character);
    // "A", then the double-byte Δ, ”, ￥, then CR and the hexadecimal 9a.
    EXPECT_EQ(text.substr(0, 27),
              "TBL.No:0(6)\r\nA \x83\xA2\x81\x68\x81\x8F"
              "CR9a\r\n");
    auto back = tables({});
    EXPECT_FALSE(read_back(text, back, TableForm::Character));
    EXPECT_EQ(back, t);
}

TEST(TableText, ReaderRefusals) {
    auto t = tables({3});
    std::string text = written(t);
    auto back = tables({});
    std::string upper = text;
    upper.replace(upper.find("0102"), 4, "010A");
    auto f = read_back(upper, back);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->message, text::kTableData);
    EXPECT_EQ(f->caption, text::kCaptionError);
    // The program marker or the end of the file before "EN".
    f = read_back(text.substr(0, text.size() - 4) + "P:PROG_DATA\r\n", back);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->message, text::kTableData);
    EXPECT_TRUE(read_back(text.substr(0, text.size() - 4), back));
    // "EN" before table F, tables out of order.
    EXPECT_TRUE(read_back("TBL.No:0(0)\r\nEN\r\n", back));
    std::string swapped = text;
    swapped.replace(swapped.find("No:2"), 4, "No:3");
    EXPECT_TRUE(read_back(swapped, back));
}

TEST(TableText, MoreCellsThanTheDataSetHolds) {
    std::string text = "TBL.No:0(8193)\r\n";
    for (int i = 0; i < 8193; ++i) text += "ab";
    text += "\r\n" + empty_headers(1) + "EN\r\n";
    auto back = tables({});
    auto f = read_back(text, back);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->message, text::kTableCount);
    text.erase(16, 2);  // exactly 8192 cells
    EXPECT_FALSE(read_back(text, back));
    EXPECT_EQ(get_u16(back, 64), 8192);
}

TEST(TableText, DamagedOffsetsAreWrittenWithinTheCells) {
    auto t = tables({2, 2});
    set_u16(t, 8, 9000);  // offset 2 past the cells
    set_u16(t, 12, 1);    // offset 3 going backwards
    std::string text = written(t);
    auto back = tables({});
    EXPECT_FALSE(read_back(text, back));
    EXPECT_EQ(get_u16(back, 64), 8192u);
}
