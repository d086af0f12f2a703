// The screen image as pure data: the 1-bit bitmap header, its 62 bytes in a
// BMP file, and the drawing of the analyzer's 240 x 64 screen into the framed
// 256 x 80 image (and back again, for a BMP file that is loaded).
#pragma once
#include <array>
#include <cstdint>
#include <span>

#include "commlib/remote.h"
#include "datasets/screen_set.h"

namespace commlib {

// Header and palette: 256 x 80, bottom-up, 1 bit, colour 0 black, 1 white.
BitmapInfo MakeScreenInfo();

// "BM", file size, pixel offset, then the info header and both colours.
std::array<std::uint8_t, ScreenBmpHeaderSize> EncodeBmpHeader(const BitmapInfo& info);

// The analyzer draws dark pixels as 1 bits, the image uses them as black (0),
// so rows are inverted; the drawing sits upright at x 8..247, rows 8..71 from
// the bottom, inside a one-pixel frame one white pixel away.
void DrawScreen(std::span<const std::uint8_t, ScreenReceiveSize> screen, std::span<std::uint8_t, ScreenBitsSize> bits);

// The analyzer's rows back out of an image drawn as above.
void ScreenFromImage(std::span<const std::uint8_t, ScreenBitsSize> bits,
                     std::span<std::uint8_t, ScreenReceiveSize> screen);

}  // namespace commlib
