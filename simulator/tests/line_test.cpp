// The analyzer's line input and output: blocks and frames cut from the PC's
// bytes, damaged ones dropped, and the record units of captured data.
#include <gtest/gtest.h>

#include "line/receiver.h"
#include "link/framing.h"
#include "measure/item_packer.h"
#include "simulator/records.h"

namespace simulator {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::vector<Incoming> feed(Receiver& r, const Bytes& bytes) {
    std::vector<Incoming> events;
    for (std::uint8_t b : bytes) r.feed(b, events);
    return events;
}

Bytes bytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

TEST(Receiver, TextModeEvents) {
    Receiver r;
    const auto events = feed(r, bytes("##x###%T1\r\n*!/?"));
    ASSERT_EQ(events.size(), 6u);
    EXPECT_EQ(events[0].kind, Incoming::Kind::Attention);
    EXPECT_EQ(events[1].kind, Incoming::Kind::Command);
    EXPECT_EQ(events[1].text, "T1");
    EXPECT_EQ(events[2].ch, '*');
    EXPECT_EQ(events[5].ch, '?');
}

TEST(Receiver, HexAndBinaryBlocksAreCheckedAndDecoded) {
    Receiver r;
    auto events = feed(r, bytes("$0102FD\r$0102FE\r$01G2FD\r$010\r"));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].data, (Bytes{0x01, 0x02}));
    events = feed(r, Bytes{'&', 2, 0, 0x10, 0x20, static_cast<std::uint8_t>(-(2 + 0x10 + 0x20)), '&', 1, 0, 5, 0});
    ASSERT_EQ(events.size(), 1u);  // the second block's check byte is wrong
    EXPECT_EQ(events[0].data, (Bytes{0x10, 0x20}));
}

TEST(Receiver, FramesWithBadCrcAreDroppedWithoutLosingTheNext) {
    Receiver r;
    r.set_packet_mode(true);
    Bytes line = frame_packet({'@', 0, 2, '4'}, true);
    const Bytes good = frame_packet({'@', 0, 2, '4'});
    line.insert(line.end(), good.begin(), good.end());
    const auto events = feed(r, line);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].data, (Bytes{'@', 0, 2, '4'}));
}

TEST(Receiver, FramesSharingOneSynAreBothTaken) {
    Receiver r;
    r.set_packet_mode(true);
    Bytes line = frame_packet({'0', 0});
    const Bytes second = frame_packet({'?', 3});
    line.insert(line.end(), second.begin() + 1, second.end());
    EXPECT_EQ(feed(r, line).size(), 2u);
}

TEST(Receiver, AttentionBetweenFramesInPacketMode) {
    Receiver r;
    r.set_packet_mode(true);
    Bytes line = frame_packet({'0', 0});
    for (char c : std::string("###")) line.push_back(static_cast<std::uint8_t>(c));
    const auto events = feed(r, line);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[1].kind, Incoming::Kind::Attention);
}

TEST(Framing, StuffingAndCrcAsOnTheLine) {
    EXPECT_EQ(frame_packet({0x30, 0x00}), (Bytes{0x16, 0x30, 0x00, 0xE5, 0xB9, 0x16}));
    const Bytes f = frame_packet({0x16, 0x10, 0x11, 0x13});
    EXPECT_EQ(Bytes(f.begin() + 1, f.begin() + 9), (Bytes{0x10, 0x56, 0x10, 0x50, 0x10, 0x51, 0x10, 0x53}));
    Bytes p;
    EXPECT_TRUE(unframe(Bytes(f.begin() + 1, f.end() - 1), p));
    EXPECT_EQ(p, (Bytes{0x16, 0x10, 0x11, 0x13}));
    EXPECT_FALSE(unframe({0x30, 0x00, 0x10}, p));
}

TEST(Units, OneDirectionWordsTravelInTwoBytes) {
    Bytes u;
    ASSERT_TRUE(append_unit(u, 0x002F4131));  // SD 'A' ...
    EXPECT_EQ(u, (Bytes{0x11, 0x41}));
    EXPECT_EQ(expand_units(u), (std::vector<std::uint32_t>{0x002F4131}));
    EXPECT_EQ(expand_units(Bytes{0x23, 0x42}), (std::vector<std::uint32_t>{0x422300BF}));
    u.clear();
    ASSERT_TRUE(append_unit(u, 0x422300BF));
    EXPECT_EQ(u, (Bytes{0x23, 0x42}));
    // A word with only one marker bit outside the one-direction form cannot travel.
    u.clear();
    EXPECT_FALSE(append_unit(u, 0x12345611));
    EXPECT_FALSE(append_unit(u, 0));
    EXPECT_TRUE(u.empty());
}

TEST(Units, RecordWordBuilders) {
    EXPECT_EQ(sd_word(kCheckGood, 0x7E), 0x002F7E32u);
    EXPECT_EQ(rd_word(kCloseFlag, 0x7E), 0x7E2B00BFu);
    EXPECT_EQ(both_word(kChar, 'A', kChar, 'B'), 0x42204130u);
    EXPECT_EQ(time_stamp_word(Direction::Rd, 23, 59, 7), 0x0759A303u);
    EXPECT_EQ(idle_word(0x1234), 0x12003402u);
    EXPECT_EQ(line_state_word(0x38, 0xF8), 0xF8003801u);
}

TEST(ItemPacker, CountersAdvanceByUnitsAndItemsStayBounded) {
    std::vector<std::uint32_t> words(700, sd_word(kChar, 'x'));
    words[3] = both_word(kChar, 'a', kChar, 'b');
    const auto items = pack_items(words, 0xFFF0, 1000);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].value[0] | items[0].value[1] << 8, 0xFFF0);
    EXPECT_LE(items[0].value.size() - 2, 1000u);
    const std::uint16_t second = static_cast<std::uint16_t>(0xFFF0 + items[0].units);
    EXPECT_EQ(items[1].value[0] | items[1].value[1] << 8, second);
    EXPECT_EQ(items[0].units + items[1].units, 700u);
}

}  // namespace
}  // namespace simulator
