// Table input: the typed text becomes one table, later tables move, and a text that
// would not fit changes nothing.
#include <gtest/gtest.h>

#include "messages.h"
#include "names.h"
#include "setxfer/table_input.h"
#include "test_util.h"

using namespace setxfer;
using namespace setxfer_test;

namespace {

std::vector<std::uint8_t> table_set(const std::vector<int>& lengths) {
    std::vector<std::uint8_t> t(TableCapacity, 0);
    int offset = 0;
    for (std::size_t k = 0; k <= 16; ++k) {
        set_u16(t, 4 * k, static_cast<std::uint32_t>(offset));
        if (k < lengths.size())
            for (int i = 0; i < lengths[k]; ++i, ++offset)
                set_u16(t, 68 + 2 * static_cast<std::size_t>(offset), k * 16 + i);
    }
    return t;
}

std::vector<std::uint8_t> cells_of(const std::vector<std::uint8_t>& t, int k) {
    std::vector<std::uint8_t> v;
    for (std::size_t c = get_u16(t, 4 * k); c < get_u16(t, 4 * k + 4); ++c) v.push_back(t[68 + 2 * c]);
    return v;
}

}  // namespace

TEST(TableInput, ShrinkingTableThreeMovesTheLaterTablesDown) {
    std::vector<int> lengths = {2, 3, 1, 6, 4, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0, 3};
    auto t = table_set(lengths);
    auto before = t;
    std::string text = "AB\r\n";
    ASSERT_FALSE(put_table_text(t, 3, bytes(text)));
    EXPECT_EQ(cells_of(t, 3), (std::vector<std::uint8_t>{'A', 'B', '\r', '\n'}));
    for (int k = 0; k < 16; ++k) {
        if (k != 3) {
            EXPECT_EQ(cells_of(t, k), cells_of(before, k)) << k;
        }
        EXPECT_EQ(get_u16(t, 4 * k), get_u16(before, 4 * k) - (k > 3 ? 2 : 0)) << k;
    }
    EXPECT_EQ(get_u16(t, 64), 22);
    EXPECT_EQ(table_free_cells(t), 8192u - 22);
    // Growing table 0 moves everything up again.
    std::string longer(9, 'x');
    ASSERT_FALSE(put_table_text(t, 0, bytes(longer)));
    EXPECT_EQ(cells_of(t, 0), std::vector<std::uint8_t>(9, 'x'));
    EXPECT_EQ(cells_of(t, 15), cells_of(before, 15));
    EXPECT_EQ(get_u16(t, 64), 29);
}

TEST(TableInput, ExactCapacityAcceptedOneMoreRefused) {
    auto t = table_set({10, 20});
    std::size_t free_cells = table_free_cells(t);
    ASSERT_EQ(free_cells, 8192u - 30);
    std::string fits(20 + free_cells, 'z');  // replaces table 1's 20 cells
    auto before = t;
    std::string too_long = fits + "z";
    auto f = put_table_text(t, 1, bytes(too_long));
    ASSERT_TRUE(f);
    EXPECT_EQ(f->message, text::kTableTooLong);
    EXPECT_EQ(f->caption, text::kCaptionError);
    EXPECT_EQ(t, before);
    EXPECT_FALSE(put_table_text(t, 1, bytes(fits)));
    EXPECT_EQ(get_u16(t, 64), 8192);
    EXPECT_EQ(table_free_cells(t), 0u);
    EXPECT_EQ(cells_of(t, 0), cells_of(before, 0));
}

TEST(TableInput, DamagedOffsetsAndBadArgumentsChangeNothing) {
    auto t = table_set({4, 4});
    set_u16(t, 8, 1);  // offset 2 below offset 1
    auto before = t;
    std::string text = "abc";
    EXPECT_TRUE(put_table_text(t, 0, bytes(text)));
    EXPECT_TRUE(put_table_text(t, 16, bytes(text)));
    std::vector<std::uint8_t> small(100, 0);
    EXPECT_TRUE(put_table_text(small, 0, bytes(text)));
    EXPECT_EQ(t, before);
    EXPECT_EQ(table_free_cells(t), 0u);
}
