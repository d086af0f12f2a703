// Our small bitmap font for the analyzer's screen: 5 x 7 glyphs in 6 x 8
// cells, so the 240 x 64 screen holds 8 lines of 40 characters.
#pragma once
#include <array>
#include <cstdint>

namespace simulator {

inline constexpr int kGlyphWidth = 5;
inline constexpr int kCellWidth = 6;
inline constexpr int kCellHeight = 8;

// The glyph of a character as 5 columns, bit 0 = top row. Lower case is shown
// in upper case; characters without a glyph show as "?".
const std::array<std::uint8_t, kGlyphWidth>& glyph(char c);

}  // namespace simulator
