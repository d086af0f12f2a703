// The line-state lists of the print page: loading, moves both ways, up and
// down, and the enabling of the four arrow buttons.
#include <gtest/gtest.h>

#include <cstring>

#include "convert/line_state_lists.h"

namespace capstore {
namespace {

std::vector<int> indices(const std::vector<LineStateItem>& list) {
    std::vector<int> out;
    for (const auto& i : list) out.push_back(i.index);
    return out;
}

std::vector<int> selected(const std::vector<LineStateItem>& list) {
    std::vector<int> out;
    for (const auto& i : list)
        if (i.selected) out.push_back(i.index);
    return out;
}

TEST(LineStateListsTest, LoadSplitsByTheStoredOrderAndStoresBack) {
    LineStateLists lists;
    const signed char states[8] = {4, 0, 4, 9, 3, -1, 1, 2};
    lists.load(states);
    EXPECT_EQ(indices(lists.include()), (std::vector<int>{4, 0, 3}));
    EXPECT_EQ(indices(lists.exclude()), (std::vector<int>{1, 2, 5, 6, 7}));
    EXPECT_FALSE(lists.to_include_enabled() || lists.to_exclude_enabled() || lists.up_enabled() ||
                 lists.down_enabled());
    signed char back[8];
    lists.store(back);
    const signed char expect[8] = {4, 0, 3, -1, -1, -1, -1, -1};
    EXPECT_EQ(0, std::memcmp(back, expect, 8));
}

TEST(LineStateListsTest, MovesKeepIncludeOrderAndExcludeAscending) {
    LineStateLists lists;
    const signed char states[8] = {3, -1, -1, -1, -1, -1, -1, -1};
    lists.load(states);
    lists.select_exclude({4, 1});  // indices 5 and 1
    EXPECT_TRUE(lists.to_include_enabled());
    lists.move_to_include();
    EXPECT_EQ(indices(lists.include()), (std::vector<int>{3, 1, 5}));
    EXPECT_EQ(selected(lists.include()), (std::vector<int>{1, 5}));
    EXPECT_FALSE(lists.to_include_enabled());
    EXPECT_TRUE(lists.to_exclude_enabled());
    EXPECT_FALSE(lists.up_enabled());  // two selected: no up/down

    lists.select_include({0, 2});  // 3 and 5 go back
    lists.move_to_exclude();
    EXPECT_EQ(indices(lists.include()), (std::vector<int>{1}));
    EXPECT_EQ(indices(lists.exclude()), (std::vector<int>{0, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(selected(lists.exclude()), (std::vector<int>{3, 5}));
    EXPECT_TRUE(lists.to_include_enabled());
    EXPECT_FALSE(lists.to_exclude_enabled());
}

TEST(LineStateListsTest, UpAndDownFollowTheSingleSelection) {
    LineStateLists lists;
    const signed char states[8] = {0, 1, 3, 4, -1, -1, -1, -1};
    lists.load(states);
    lists.select_include({0});
    EXPECT_FALSE(lists.up_enabled());
    EXPECT_TRUE(lists.down_enabled());
    lists.move_down();
    lists.move_down();
    EXPECT_EQ(indices(lists.include()), (std::vector<int>{1, 3, 0, 4}));
    EXPECT_EQ(selected(lists.include()), (std::vector<int>{0}));
    lists.move_down();
    EXPECT_TRUE(lists.up_enabled());
    EXPECT_FALSE(lists.down_enabled());
    lists.move_down();  // already last: nothing
    EXPECT_EQ(indices(lists.include()), (std::vector<int>{1, 3, 4, 0}));
    lists.move_up();
    EXPECT_EQ(indices(lists.include()), (std::vector<int>{1, 3, 0, 4}));
    lists.clear_selections();
    EXPECT_FALSE(lists.to_exclude_enabled() || lists.up_enabled() || lists.down_enabled());
    EXPECT_TRUE(selected(lists.include()).empty());
}

}  // namespace
}  // namespace capstore
