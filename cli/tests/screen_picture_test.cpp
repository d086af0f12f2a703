// The analyzer's 1-bit screen image as pixels, PNG bytes and text art.
#include <gtest/gtest.h>

#include <cstring>

#include "commands/screen_picture.h"

namespace cli {
namespace {

BitmapInfo one_bit(int width, int height) {
    BitmapInfo info{};
    info.bmiHeader.biSize = 40;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 1;
    info.bmiColors[0] = RgbQuad{0, 0, 0, 0};
    info.bmiColors[1] = RgbQuad{255, 255, 255, 0};
    return info;
}

TEST(ScreenPicture, BottomUpRowsArePaddedToFourBytes) {
    // 33 pixels wide: 8 bytes a row. Row 0 in memory is the bottom row.
    std::uint8_t bits[16] = {};
    std::memset(bits, 0xFF, 8);  // bottom row white
    bits[8] = 0x80;              // top row: first pixel white, the rest black
    const Picture p = picture_from_bitmap(one_bit(33, 2), bits);
    ASSERT_EQ(p.width, 33);
    ASSERT_EQ(p.height, 2);
    EXPECT_EQ(p.grey[0], 255);
    EXPECT_EQ(p.grey[1], 0);
    EXPECT_EQ(p.grey[32], 0);
    EXPECT_EQ(p.grey[33], 255);
    EXPECT_EQ(p.grey[65], 255);
    // Top-down (negative height) takes the rows as they are.
    const Picture q = picture_from_bitmap(one_bit(33, -2), bits);
    EXPECT_EQ(q.grey[0], 255);
    EXPECT_EQ(q.grey[34], 0);
    EXPECT_EQ(picture_from_bitmap(one_bit(0, 2), bits).width, 0);
    EXPECT_EQ(picture_from_bitmap(one_bit(33, 2), nullptr).width, 0);
}

TEST(ScreenPicture, PngChunksAndTextArt) {
    Picture p{2, 3, {0, 255, 255, 0, 0, 0}};
    const std::string png = png_file(p);
    EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(png.substr(8, 8), std::string("\0\0\0\x0dIHDR", 8));
    EXPECT_EQ(png.substr(16, 13), std::string("\0\0\0\x02\0\0\0\x03\x08\0\0\0\0", 13));
    // A zlib stream of one stored block: 3 rows of a filter byte and 2 pixels.
    EXPECT_EQ(png.substr(37, 4), "IDAT");
    EXPECT_EQ(png.substr(41, 7), std::string("\x78\x01\x01\x09\x00\xF6\xFF", 7));
    EXPECT_EQ(png.substr(48, 9), std::string("\0\0\xFF\0\xFF\0\0\0\0", 9));
    // The IEND chunk and its well-known CRC close the file.
    EXPECT_EQ(png.substr(png.size() - 12), std::string("\0\0\0\0IEND\xAE\x42\x60\x82", 12));
    // Dark pixels are ink: ▀ for the top one of a pair, ▄ for the bottom; a last odd row has no bottom.
    EXPECT_EQ(text_art(p), "\xE2\x96\x80\xE2\x96\x84\n\xE2\x96\x80\xE2\x96\x80\n");
}

}  // namespace
}  // namespace cli
