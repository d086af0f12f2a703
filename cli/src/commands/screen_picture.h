// The analyzer's 1-bit screen image (a device-independent bitmap header, a
// two-colour palette and padded pixel rows) as a PNG file or as text art.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "commlib/remote.h"

namespace cli {

// Pixels top row first, one byte per pixel: its grey level (0 black .. 255 white).
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> grey;
};

// nullopt-like empty picture when the header is not a 1-bit image of sane size.
Picture picture_from_bitmap(const BitmapInfo& info, const void* bits);

// A complete PNG file (8-bit greyscale, stored deflate blocks).
std::string png_file(const Picture& p);

// Two pixel rows per text line with the half-block characters (UTF-8); dark
// pixels are drawn, as the analyzer's display shows its text dark on light.
// Wider than `columns` (0: no limit), k x k pixel squares make one half cell,
// with k = text_scale(width, columns), so that the picture fits.
std::string text_art(const Picture& p, int columns = 0);
int text_scale(int width, int columns);

}  // namespace cli
