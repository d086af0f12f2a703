// The front panel: key names, shifted keys, the menu and what the screen shows.
#include <gtest/gtest.h>

#include "screen/font.h"
#include "screen/panel.h"

namespace simulator {
namespace {

bool dark(const std::vector<std::uint8_t>& s, int x, int y) { return s[y * 30 + x / 8] & (0x80 >> (x % 8)); }

// Whether the text cell at (line, column) shows character c.
bool shows(const std::vector<std::uint8_t>& s, int line, int column, char c, bool inverted = false) {
    const auto& g = glyph(c);
    for (int cx = 0; cx < kGlyphWidth; ++cx)
        for (int cy = 0; cy < 7; ++cy) {
            const bool want = (g[cx] >> cy & 1) != inverted;
            if (dark(s, column * kCellWidth + cx, line * kCellHeight + cy) != want) return false;
        }
    return true;
}

bool shows_text(const std::vector<std::uint8_t>& s, int line, int column, const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!shows(s, line, column + static_cast<int>(i), text[i])) return false;
    return true;
}

TEST(Panel, KeyNamesIncludingShiftAndUnknownCodes) {
    EXPECT_EQ(key_name(0), "0");
    EXPECT_EQ(key_name(15), "F");
    EXPECT_EQ(key_name(20), "ENTER");
    EXPECT_EQ(key_name(34), "STOP");
    EXPECT_EQ(key_name(128), "SHIFT+0");
    EXPECT_EQ(key_name(128 + 18), "SHIFT+UP");
    EXPECT_EQ(key_name(35), "KEY 23");
    EXPECT_EQ(key_name(0x1A5), "KEY 1A5");
}

TEST(Panel, KeysTypedByName) {
    EXPECT_EQ(key_from_name("RUN"), 33);
    EXPECT_EQ(key_from_name("enter"), 20);
    EXPECT_EQ(key_from_name("Shift+Up"), 128 + 18);
    EXPECT_EQ(key_from_name("A"), 10);
    EXPECT_EQ(key_from_name("33"), 33);
    EXPECT_EQ(key_from_name("0x1A5"), 0x1A5);
    EXPECT_EQ(key_from_name("SHIFT+33"), std::nullopt);
    EXPECT_EQ(key_from_name("JUMP"), std::nullopt);
    EXPECT_EQ(key_from_name("0x"), std::nullopt);
    EXPECT_EQ(key_from_name("99999"), std::nullopt);
    for (int code : {0, 15, 16, 34, 128, 128 + 34}) EXPECT_EQ(key_from_name(key_name(code)), code);
}

TEST(Panel, ArrowsMoveTheMenuAroundAndRunStopAreActions) {
    Panel p;
    EXPECT_EQ(p.press(kKeyUp), Panel::Action::None);
    EXPECT_EQ(p.menu_index(), 5);  // wraps to the last entry
    p.press(kKeyDown);
    p.press(kKeyDown);
    EXPECT_EQ(p.menu_index(), 1);
    p.press(kKeyDown + kShift);  // a shifted arrow is another key
    EXPECT_EQ(p.menu_index(), 1);
    EXPECT_EQ(p.last_key(), "SHIFT+DOWN");
    p.press(kKeyMenu);
    EXPECT_EQ(p.menu_index(), 0);
    EXPECT_EQ(p.press(kKeyRun), Panel::Action::Run);
    EXPECT_EQ(p.press(kKeyStop), Panel::Action::Stop);
}

TEST(Panel, ScreenShowsModelStateMenuAndLastKey) {
    Panel p;
    p.press(kKeyDown);
    p.press(kKeyEnter);
    const auto s = p.render({"RV-7030", "1.05", true, 0x0100, 42});
    ASSERT_EQ(s.size(), 1920u);
    EXPECT_TRUE(shows(s, 0, 0, 'R', true));  // the title bar is inverted
    EXPECT_TRUE(shows(s, 0, 5, '3', true));
    EXPECT_TRUE(shows_text(s, 1, 0, "STATE: MEASURING"));
    EXPECT_TRUE(shows_text(s, 2, 0, "RECORDS: 42"));
    EXPECT_TRUE(shows_text(s, 3, 0, "  1 SETUP"));
    EXPECT_TRUE(shows_text(s, 4, 0, "> 2 TRIGGER  *"));
    EXPECT_TRUE(shows_text(s, 7, 0, "KEY: ENTER"));
    const auto stopped = p.render({"RV-7030", "1.05", true, 0, 42});
    EXPECT_TRUE(shows_text(stopped, 1, 0, "STATE: STOPPED"));
}

TEST(Panel, MenuScrollsToKeepTheCursorVisible) {
    Panel p;
    for (int i = 0; i < 5; ++i) p.press(kKeyDown);
    const auto s = p.render({"RV-7020", "1.05", false, 0, 0});
    EXPECT_TRUE(shows_text(s, 6, 0, "> 6 TABLE"));
    EXPECT_TRUE(shows_text(s, 3, 0, "  3 MEASURE"));
}

TEST(Font, LowerCaseAndUnknownCharacters) {
    EXPECT_EQ(glyph('a'), glyph('A'));
    EXPECT_EQ(glyph('\x01'), glyph('?'));
    EXPECT_EQ(glyph('~'), glyph('?'));
    EXPECT_NE(glyph('O'), glyph('0'));
    EXPECT_NE(glyph('B'), glyph('8'));
}

}  // namespace
}  // namespace simulator
