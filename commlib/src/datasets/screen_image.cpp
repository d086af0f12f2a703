// Header bytes and drawing of the framed screen image.
#include "datasets/screen_image.h"

#include <algorithm>

#include "platform/little_endian.h"

namespace commlib {

namespace {
constexpr int FileHeaderSize = 14;
constexpr int InfoHeaderSize = 40;
constexpr int PixelsPerMetre = 2834;  // 72 dpi
constexpr int ImageLeftByte = 1;      // the drawing starts at x = 8
constexpr int ImageBottomRow = 8;
constexpr int FrameBottomRow = 6;
constexpr int FrameTopRow = 73;

std::uint8_t* Row(std::span<std::uint8_t, ScreenBitsSize> bits, int fromBottom) {
    return bits.data() + fromBottom * ScreenImageRowBytes;
}
}  // namespace

BitmapInfo MakeScreenInfo() {
    BitmapInfo info{};
    info.bmiHeader.biSize = InfoHeaderSize;
    info.bmiHeader.biWidth = ScreenImageWidth;
    info.bmiHeader.biHeight = ScreenImageHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 1;
    info.bmiHeader.biCompression = 0;
    info.bmiHeader.biSizeImage = ScreenBitsSize;
    info.bmiHeader.biXPelsPerMeter = PixelsPerMetre;
    info.bmiHeader.biYPelsPerMeter = PixelsPerMetre;
    info.bmiHeader.biClrUsed = 2;
    info.bmiHeader.biClrImportant = 0;
    info.bmiColors[0] = RgbQuad{0, 0, 0, 0};
    info.bmiColors[1] = RgbQuad{255, 255, 255, 0};
    return info;
}

std::array<std::uint8_t, ScreenBmpHeaderSize> EncodeBmpHeader(const BitmapInfo& info) {
    std::array<std::uint8_t, ScreenBmpHeaderSize> out{};
    std::uint8_t* p = out.data();
    p[0] = 'B';
    p[1] = 'M';
    platform::writeUint32(p + 2, ScreenBmpFileSize);
    platform::writeUint32(p + 6, 0);
    platform::writeUint32(p + 10, ScreenBmpHeaderSize);
    const BitmapInfoHeader& h = info.bmiHeader;
    std::uint8_t* q = p + FileHeaderSize;
    platform::writeUint32(q + 0, h.biSize);
    platform::writeUint32(q + 4, static_cast<std::uint32_t>(h.biWidth));
    platform::writeUint32(q + 8, static_cast<std::uint32_t>(h.biHeight));
    platform::writeUint16(q + 12, h.biPlanes);
    platform::writeUint16(q + 14, h.biBitCount);
    platform::writeUint32(q + 16, h.biCompression);
    platform::writeUint32(q + 20, h.biSizeImage);
    platform::writeUint32(q + 24, static_cast<std::uint32_t>(h.biXPelsPerMeter));
    platform::writeUint32(q + 28, static_cast<std::uint32_t>(h.biYPelsPerMeter));
    platform::writeUint32(q + 32, h.biClrUsed);
    platform::writeUint32(q + 36, h.biClrImportant);
    for (int i = 0; i < 2; ++i) {
        const RgbQuad& c = info.bmiColors[i];
        std::uint8_t* e = q + InfoHeaderSize + 4 * i;
        e[0] = c.rgbBlue;
        e[1] = c.rgbGreen;
        e[2] = c.rgbRed;
        e[3] = c.rgbReserved;
    }
    return out;
}

void DrawScreen(std::span<const std::uint8_t, ScreenReceiveSize> screen, std::span<std::uint8_t, ScreenBitsSize> bits) {
    std::fill(bits.begin(), bits.end(), 0xFF);
    // Screen row 0 is the top; image rows count from the bottom.
    for (int r = ScreenRows - 1; r >= 0; --r) {
        std::uint8_t* out = Row(bits, ImageBottomRow + (ScreenRows - 1 - r)) + ImageLeftByte;
        const std::uint8_t* in = screen.data() + r * ScreenRowBytes;
        for (int i = 0; i < ScreenRowBytes; ++i) out[i] = static_cast<std::uint8_t>(~in[i]);
    }
    for (int row : {FrameBottomRow, FrameTopRow}) {
        std::uint8_t* out = Row(bits, row);
        std::fill(out + 1, out + ScreenImageRowBytes - 1, 0x00);
        out[0] = 0xFC;
        out[ScreenImageRowBytes - 1] = 0x3F;
    }
    for (int row = FrameBottomRow + 1; row < FrameTopRow; ++row) {
        std::uint8_t* out = Row(bits, row);
        out[0] = 0xFD;
        out[ScreenImageRowBytes - 1] = 0xBF;
    }
}

void ScreenFromImage(std::span<const std::uint8_t, ScreenBitsSize> bits,
                     std::span<std::uint8_t, ScreenReceiveSize> screen) {
    for (int r = 0; r < ScreenRows; ++r) {
        const int row = ImageBottomRow + (ScreenRows - 1 - r);
        const std::uint8_t* in = bits.data() + row * ScreenImageRowBytes + ImageLeftByte;
        std::uint8_t* out = screen.data() + r * ScreenRowBytes;
        for (int i = 0; i < ScreenRowBytes; ++i) out[i] = static_cast<std::uint8_t>(~in[i]);
    }
}

}  // namespace commlib
