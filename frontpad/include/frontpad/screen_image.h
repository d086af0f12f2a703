// Turns the library's 1-bit screen image into pixels for the screen area:
// each pixel's palette colour ANDed with the area's fill colour, so white shows
// the fill and black stays black.
//
// Errors: none; a missing image gives an all-fill area.
// Threads: any; pure.
#pragma once
#include <cstdint>
#include <vector>

#include "commlib/remote.h"

namespace frontpad {

// The screen area's fill: red 180, green 255, blue 50, as 0xAARRGGBB.
inline constexpr std::uint32_t kScreenFill = 0xFFB4FF32;
// The library hands out this many pixel bytes; a header asking for more is not drawn.
inline constexpr std::size_t kScreenBitsSize = 2560;

struct ScreenPixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;  // rows top to bottom, 0xAARRGGBB
};

// Empty pixels when the header is not a 1-bit image that fits in the
// library's pixel bytes (nothing is drawn over the fill then).
ScreenPixels renderScreen(const BitmapInfo& info, const void* bits, std::uint32_t fill = kScreenFill);

}  // namespace frontpad
