// The screen set: a blank image before any fetch, the drawing of the
// analyzer's screen with its frame, and the BMP file byte for byte.
#include <gtest/gtest.h>

#include <array>

#include "data_set_test_util.h"
#include "datasets/screen_set.h"
#include "testing/temp_dir.h"

namespace commlib {
namespace {

using test::Bytes;
using testing_util::read_file;
using testing_util::write_file;

// The 62 bytes that open every saved screen.
const Bytes BmpHeader = {
    'B',  'M',  0x3E, 0x0A, 0x00, 0x00,              // file size 2622
    0x00, 0x00, 0x00, 0x00,                          // reserved
    0x3E, 0x00, 0x00, 0x00,                          // pixels at 62
    0x28, 0x00, 0x00, 0x00,                          // info header size 40
    0x00, 0x01, 0x00, 0x00,                          // width 256
    0x50, 0x00, 0x00, 0x00,                          // height 80, bottom-up
    0x01, 0x00, 0x01, 0x00,                          // 1 plane, 1 bit per pixel
    0x00, 0x00, 0x00, 0x00,                          // no compression
    0x00, 0x0A, 0x00, 0x00,                          // image size 2560
    0x12, 0x0B, 0x00, 0x00,                          // 2834 pixels per metre
    0x12, 0x0B, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,  // 2 colours used
    0x00, 0x00, 0x00, 0x00,                          // all important
    0x00, 0x00, 0x00, 0x00,                          // colour 0 black
    0xFF, 0xFF, 0xFF, 0x00,                          // colour 1 white
};

const std::uint8_t* Row(const ScreenSet& set, int fromBottom) {
    return static_cast<const std::uint8_t*>(set.GetScreenBits()) + 32 * fromBottom;
}

Bytes RowBytes(const ScreenSet& set, int fromBottom) { return Bytes(Row(set, fromBottom), Row(set, fromBottom) + 32); }

// A screen with a few landmarks: the top-left and bottom-right pixels dark,
// screen row 10 holding 0..29, everything else light.
Bytes Landmarks() {
    Bytes screen(ScreenReceiveSize, 0x00);
    screen[0] = 0x80;
    screen[63 * 30 + 29] = 0x01;
    for (int i = 0; i < 30; ++i) screen[static_cast<std::size_t>(10 * 30 + i)] = static_cast<std::uint8_t>(i);
    return screen;
}

TEST(ScreenSet, BlankWhiteWithoutFrameBeforeAnyFetch) {
    ScreenSet set(4);
    const Bytes bits(static_cast<const std::uint8_t*>(set.GetScreenBits()),
                     static_cast<const std::uint8_t*>(set.GetScreenBits()) + ScreenBitsSize);
    EXPECT_EQ(bits, Bytes(ScreenBitsSize, 0xFF));
    const BitmapInfo* info = set.GetScreenInfo();
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->bmiHeader.biWidth, 256);
    EXPECT_EQ(info->bmiHeader.biHeight, 80);
    EXPECT_EQ(info->bmiHeader.biBitCount, 1);
    EXPECT_EQ(info->bmiColors[0].rgbRed, 0);
    EXPECT_EQ(info->bmiColors[1].rgbRed, 255);
    EXPECT_EQ(set.GetBody(), nullptr);
    testing_util::TempDir dir;
    EXPECT_FALSE(set.Save(dir.file("s.bmp").c_str()));
}

TEST(ScreenSet, DrawsTheScreenUprightInsideItsFrame) {
    ScreenSet set(4);
    const Bytes screen = Landmarks();
    EXPECT_EQ(set.ReceiveAt(0, screen.data(), 1000), 920);
    EXPECT_EQ(RowBytes(set, 71), Bytes(32, 0xFF));  // nothing drawn before the last byte
    EXPECT_EQ(set.Append(screen.data() + 1000, 920), 0);
    ASSERT_TRUE(set.IsComplete());

    // Outside the frame: white.
    for (int row : {0, 5, 74, 79}) EXPECT_EQ(RowBytes(set, row), Bytes(32, 0xFF)) << row;
    // The frame's bottom and top edges.
    Bytes edge(32, 0x00);
    edge[0] = 0xFC;
    edge[31] = 0x3F;
    EXPECT_EQ(RowBytes(set, 6), edge);
    EXPECT_EQ(RowBytes(set, 73), edge);
    // Its sides, one white pixel away from the drawing.
    Bytes gap(32, 0xFF);
    gap[0] = 0xFD;
    gap[31] = 0xBF;
    EXPECT_EQ(RowBytes(set, 7), gap);
    EXPECT_EQ(RowBytes(set, 72), gap);
    for (int row = 8; row <= 71; ++row) {
        EXPECT_EQ(Row(set, row)[0], 0xFD) << row;
        EXPECT_EQ(Row(set, row)[31], 0xBF) << row;
    }
    // Screen row 0 is image row 71 (the top), dark pixels black.
    EXPECT_EQ(Row(set, 71)[1], 0x7F);
    EXPECT_EQ(Row(set, 71)[2], 0xFF);
    EXPECT_EQ(Row(set, 8)[30], 0xFE);
    EXPECT_EQ(Row(set, 8)[29], 0xFF);
    Bytes row10 = gap;
    for (int i = 0; i < 30; ++i) row10[static_cast<std::size_t>(1 + i)] = static_cast<std::uint8_t>(~i);
    EXPECT_EQ(RowBytes(set, 8 + 63 - 10), row10);
}

TEST(ScreenSet, SavesA2622ByteBmpAndLoadsItBack) {
    testing_util::TempDir dir;
    ScreenSet set(4);
    const Bytes screen = Landmarks();
    set.ReceiveAt(0, screen.data(), ScreenReceiveSize);
    ASSERT_TRUE(set.Save(dir.file("screen.bmp").c_str()));
    const Bytes file = read_file(dir.file("screen.bmp"));
    ASSERT_EQ(file.size(), 2622u);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 62), BmpHeader);
    EXPECT_TRUE(std::equal(file.begin() + 62, file.end(), Row(set, 0)));

    ScreenSet other(4);
    ASSERT_TRUE(other.Load(dir.file("screen.bmp").c_str()));
    EXPECT_EQ(RowBytes(other, 71), RowBytes(set, 71));
    const auto* body = static_cast<const std::uint8_t*>(other.GetBody());
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(Bytes(body, body + ScreenReceiveSize), screen);
}

TEST(ScreenSet, OnlyItsOwnBmpLoads) {
    testing_util::TempDir dir;
    ScreenSet drawn(4);
    const Bytes screen = Landmarks();
    drawn.ReceiveAt(0, screen.data(), ScreenReceiveSize);
    ASSERT_TRUE(drawn.Save(dir.file("good.bmp").c_str()));
    const Bytes good = read_file(dir.file("good.bmp"));

    ScreenSet set(4);
    Bytes wrongWidth = good;
    wrongWidth[18] = 0x20;
    Bytes truncated(good.begin(), good.end() - 1);
    Bytes longer = good;
    longer.push_back(0);
    for (const Bytes& bad : {wrongWidth, truncated, longer, test::DataSetFile("MIRLOKE BITMAP  ", 4, screen)}) {
        write_file(dir.file("bad.bmp"), bad);
        EXPECT_FALSE(set.Load(dir.file("bad.bmp").c_str()));
        EXPECT_FALSE(set.IsComplete());
        EXPECT_EQ(RowBytes(set, 6), Bytes(32, 0xFF));  // the image is left as it was
    }
}

}  // namespace
}  // namespace commlib
