// The screen image is a bottom-up (or top-down for a negative height) 1-bit
// bitmap with a two-entry palette; rows are padded to four bytes.
#include "frontpad/screen_image.h"

#include <cstdlib>

namespace frontpad {
namespace {

std::uint32_t paletteColour(const RgbQuad& q) {
    return 0xFF000000u | (std::uint32_t{q.rgbRed} << 16) | (std::uint32_t{q.rgbGreen} << 8) | q.rgbBlue;
}

bool drawable(const BitmapInfoHeader& h) {
    if (h.biBitCount != 1 || h.biPlanes != 1 || h.biCompression != 0) return false;
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biWidth > 4096 || std::abs(h.biHeight) > 4096) return false;
    const std::size_t stride = ((static_cast<std::size_t>(h.biWidth) + 31) / 32) * 4;
    return stride * static_cast<std::size_t>(std::abs(h.biHeight)) <= kScreenBitsSize;
}

}  // namespace

ScreenPixels renderScreen(const BitmapInfo& info, const void* bits, std::uint32_t fill) {
    ScreenPixels out;
    const BitmapInfoHeader& h = info.bmiHeader;
    if (!bits || !drawable(h)) return out;
    out.width = h.biWidth;
    out.height = std::abs(h.biHeight);
    const std::size_t stride = ((static_cast<std::size_t>(out.width) + 31) / 32) * 4;
    const std::uint32_t colours[2] = {paletteColour(info.bmiColors[0]) & fill, paletteColour(info.bmiColors[1]) & fill};
    const auto* bytes = static_cast<const std::uint8_t*>(bits);
    out.argb.resize(static_cast<std::size_t>(out.width) * out.height);
    for (int y = 0; y < out.height; ++y) {
        const int sourceRow = h.biHeight > 0 ? out.height - 1 - y : y;
        const std::uint8_t* row = bytes + stride * sourceRow;
        for (int x = 0; x < out.width; ++x) {
            const int bit = (row[x / 8] >> (7 - x % 8)) & 1;
            out.argb[static_cast<std::size_t>(y) * out.width + x] = colours[bit];
        }
    }
    return out;
}

}  // namespace frontpad
