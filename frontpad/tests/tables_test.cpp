// The stored-settings rules, the key tables, the notification callback and
// the screen image as the screen area draws it.
#include <gtest/gtest.h>

#include <QtCore/qnamespace.h>

#include <set>

#include "fakes.h"
#include "frontpad/key_table.h"
#include "frontpad/screen_image.h"
#include "frontpad/stored_port.h"

namespace frontpad {
namespace {

TEST(StoredPortRules, OnlyTheEightPortNamesAreTaken) {
    for (const char* bad : {"COM9", "com1", "COM0", "COM10", "COM1 ", "/dev/ttyS0", ""})
        EXPECT_EQ(readRules({bad, {}, {}}).name, "COM1") << bad;
    EXPECT_EQ(readRules({"COM8", {}, {}}).name, "COM8");
    EXPECT_EQ(readRules({"COM3", {}, {}}).name, "COM3");
    EXPECT_EQ(readRules({}).name, "COM1");
}

TEST(StoredPortRules, ParityAndFlowControl) {
    EXPECT_EQ(readRules({{}, "Even", {}}).parity, 2);
    EXPECT_EQ(readRules({{}, "Odd", {}}).parity, 1);
    for (const char* other : {"None", "even", "ODD", "", "Mark"}) EXPECT_EQ(readRules({{}, other, {}}).parity, 0);
    EXPECT_EQ(readRules({}).parity, 0);
    EXPECT_EQ(readRules({{}, {}, 1}).xcontrol, 1);
    for (long long other : {0LL, 2LL, -1LL, 0x100000001LL}) EXPECT_EQ(readRules({{}, {}, other}).xcontrol, 0);
    EXPECT_EQ(parityText(0), "None");
    EXPECT_EQ(parityText(1), "Odd");
    EXPECT_EQ(parityText(2), "Even");
    EXPECT_EQ(parityText(7), "None");
}

TEST(KeyTable, EveryButtonSitsOnTheGridWithItsOwnCode) {
    std::set<int> codes;
    for (const auto& key : kKeyButtons) {
        if (key.code != kShiftCode) {
            EXPECT_TRUE(codes.insert(key.code).second) << key.id;
        }
        EXPECT_EQ(keyById(key.id), &key);
    }
    // All 35 codes once, SHIFT the 36th key.
    EXPECT_EQ(codes.size(), 35u);
    EXPECT_EQ(*codes.begin(), 0);
    EXPECT_EQ(*codes.rbegin(), 34);
    EXPECT_EQ(keyById(40005), nullptr);
    EXPECT_EQ(keyById(40022)->code, kShiftCode);
    EXPECT_EQ(keyById(40041)->code, 33);
    // Geometry: the gap after the fourth column, and the face sheet.
    EXPECT_EQ(keyX(0), 20);
    EXPECT_EQ(keyX(3), 212);
    EXPECT_EQ(keyX(4), 314);
    EXPECT_EQ(keyX(8), 570);
    EXPECT_EQ(keyY(3), 334);
    EXPECT_EQ(faceX(13), 4 * 48);
    EXPECT_EQ(faceY(13, false), 32);
    EXPECT_EQ(faceY(13, true), 160);
    EXPECT_EQ(KeyName(16), "\xE2\x86\x90");
    EXPECT_EQ(KeyName(30), "LOADSAVE");
    EXPECT_EQ(KeyName(35), "");
}

TEST(KeyTable, PcKeyboardMap) {
    // Both Enter keys, the digit and letter runs at their ends, and the keys
    // that are not mapped.
    EXPECT_EQ(pcKeyCode(Qt::Key_Return), 20);
    EXPECT_EQ(pcKeyCode(Qt::Key_Enter), 20);
    EXPECT_EQ(pcKeyCode(Qt::Key_0), 0);
    EXPECT_EQ(pcKeyCode(Qt::Key_9), 9);
    EXPECT_EQ(pcKeyCode(Qt::Key_A), 10);
    EXPECT_EQ(pcKeyCode(Qt::Key_F), 15);
    EXPECT_EQ(pcKeyCode(Qt::Key_Y), 24);
    EXPECT_EQ(pcKeyCode(Qt::Key_PageDown), 22);
    for (int other : {Qt::Key_I, Qt::Key_Z, Qt::Key_Space, Qt::Key_Escape, Qt::Key_Shift, Qt::Key_F1})
        EXPECT_FALSE(pcKeyCode(other).has_value()) << other;
}

TEST(NotifyForward, PostsForTheWindowAndAnswersPanelKeys) {
    testing_fp::Poster poster;
    setNotifyTarget(&poster);
    const unsigned before = inlineNotifications();
    int value = 0x1234;
    EXPECT_EQ(forwardNotification(NtfyKey, 5, nullptr), 1);
    EXPECT_EQ(forwardNotification(ReqGetScreen, StatusNotAvailable, &value), 0);
    int reason = 5;
    forwardNotification(ReqGetStopReason, StatusDone, &reason);
    forwardNotification(ReqGetStopReason, StatusNoAnswer, nullptr);
    forwardNotification(NtfyRate, -1, nullptr);
    setNotifyTarget(nullptr);
    forwardNotification(ReqKey, 0, nullptr);  // no window: dropped
    EXPECT_EQ(inlineNotifications(), before + 6);

    const auto posts = poster.take();
    ASSERT_EQ(posts.size(), 4u);
    EXPECT_EQ(std::get<0>(posts[0]), NotifyMessage);
    EXPECT_EQ(std::get<1>(posts[0]), (258u << 16) | 9u);
    EXPECT_EQ(std::get<2>(posts[0]), reinterpret_cast<std::intptr_t>(&value));
    EXPECT_EQ(NotificationCode(std::get<1>(posts[0])), 9);
    EXPECT_EQ(NotificationStatus(std::get<1>(posts[0])), 258);
    EXPECT_EQ(std::get<1>(posts[1]), 14u);
    EXPECT_EQ(std::get<2>(posts[1]), 5);
    EXPECT_EQ(std::get<2>(posts[2]), -1);
    EXPECT_EQ(NotificationCode(std::get<1>(posts[3])), NtfyRate);
    EXPECT_EQ(NotificationStatus(std::get<1>(posts[3])), -1);
}

BitmapInfo screenHeader(int width, int height) {
    BitmapInfo info{};
    info.bmiHeader = {40, width, height, 1, 1, 0, 0, 2834, 2834, 2, 0};
    info.bmiColors[1] = {255, 255, 255, 0};
    return info;
}

TEST(ScreenImage, WhiteShowsTheFillAndBlackStaysBlackUpright) {
    std::uint8_t bits[2560];
    std::fill(std::begin(bits), std::end(bits), 0xFF);
    // Bottom-up rows: the last stored row is the top of the image.
    bits[79 * 32 + 0] = 0x7F;  // top-left pixel black
    bits[0 * 32 + 31] = 0xFE;  // bottom-right pixel black
    const ScreenPixels p = renderScreen(screenHeader(256, 80), bits);
    ASSERT_EQ(p.width, 256);
    ASSERT_EQ(p.height, 80);
    EXPECT_EQ(p.argb[0], 0xFF000000u);
    EXPECT_EQ(p.argb[1], kScreenFill);
    EXPECT_EQ(p.argb[79 * 256 + 255], 0xFF000000u);
    EXPECT_EQ(p.argb[79 * 256 + 254], kScreenFill);
    EXPECT_EQ(kScreenFill, 0xFFB4FF32u);

    // A top-down image and a swapped palette follow the header.
    BitmapInfo swapped = screenHeader(256, -80);
    std::swap(swapped.bmiColors[0], swapped.bmiColors[1]);
    const ScreenPixels q = renderScreen(swapped, bits);
    // Row 0 is now the top; set bits use entry 1, black in this palette.
    EXPECT_EQ(q.argb[0], 0xFF000000u);
    EXPECT_EQ(q.argb[255], kScreenFill);
}

TEST(ScreenImage, AHeaderThatDoesNotFitIsNotDrawn) {
    std::uint8_t bits[2560] = {};
    EXPECT_TRUE(renderScreen(screenHeader(256, 81), bits).argb.empty());
    EXPECT_TRUE(renderScreen(screenHeader(0, 80), bits).argb.empty());
    EXPECT_TRUE(renderScreen(screenHeader(-256, 80), bits).argb.empty());
    EXPECT_TRUE(renderScreen(screenHeader(256, 80), nullptr).argb.empty());
    BitmapInfo eightBit = screenHeader(16, 16);
    eightBit.bmiHeader.biBitCount = 8;
    EXPECT_TRUE(renderScreen(eightBit, bits).argb.empty());
    EXPECT_EQ(renderScreen(screenHeader(20, 10), bits).width, 20);
}

}  // namespace
}  // namespace frontpad
