// Expansion of the analyzer's compact record units into block words.
#include <gtest/gtest.h>

#include "capture/record_units.h"
#include "capture_test_util.h"

namespace commlib::test {
namespace {

using capture::ExpandUnits;

Bytes Cat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes Expand(const Bytes& units, std::size_t maxWords = 64) {
    Bytes out(maxWords * 4, 0xEE);
    const auto done = ExpandUnits(units, out.data(), maxWords);
    out.resize(done.units * 4);
    return out;
}

TEST(RecordUnits, OneDirectionUnitsGetAnEmptyCellForTheOther) {
    EXPECT_EQ(Expand({0x11, 0x41}), (Bytes{0x31, 0x41, 0x2F, 0x00}));
    EXPECT_EQ(Expand({0x23, 0x42}), (Bytes{0xBF, 0x00, 0x23, 0x42}));
    // Bit 6 of an RD-only unit goes to the empty SD cell; bit 7 is not carried.
    EXPECT_EQ(Expand({0x64, 0x43}), (Bytes{0xFF, 0x00, 0x24, 0x43}));
    EXPECT_EQ(Expand({0xA4, 0x43}), (Bytes{0xBF, 0x00, 0x24, 0x43}));
    // SD-only keeps its high bits and status.
    EXPECT_EQ(Expand({0xD7, 0x00}), (Bytes{0xF7, 0x00, 0x2F, 0x00}));
}

TEST(RecordUnits, MixedItemExpandsInOrderAndStopsAtABrokenTail) {
    const Bytes units{0x11, 0x41, 0x02, 0x10, 0x00, 0x00, 0x23, 0x42, 0x30, 0x41, 0x22};
    Bytes out(16 * 4);
    const auto done = ExpandUnits(units, out.data(), 16);
    // The last three bytes begin a 4-byte unit that never finished.
    EXPECT_EQ(done.units, 3u);
    EXPECT_EQ(done.consumed, 8u);
    out.resize(12);
    EXPECT_EQ(out, (Bytes{0x31, 0x41, 0x2F, 0x00, 0x02, 0x10, 0x00, 0x00, 0xBF, 0x00, 0x23, 0x42}));

    // A single byte is not a unit either.
    EXPECT_EQ(ExpandUnits(Bytes{0x11, 0x41, 0x11}, out.data(), 16).units, 1u);
}

TEST(RecordUnits, StopsWhenTheBufferIsFullAndCountsWithoutWriting) {
    const Bytes units = SdUnits(10);
    Bytes out(3 * 4);
    const auto part = ExpandUnits(units, out.data(), 3);
    EXPECT_EQ(part.units, 3u);
    EXPECT_EQ(part.consumed, 6u);
    EXPECT_EQ(ExpandUnits(units, nullptr, SIZE_MAX).units, 10u);
}

TEST(RecordUnits, EveryFirstByteExpandsTheSameInsideAnItemAndAtItsEnd) {
    // Inside an item the writer reads ahead a whole word; the last units take
    // the byte-by-byte way. Both must give the documented word for every first byte.
    for (unsigned b0 = 0; b0 < 256; ++b0) {
        const auto b = static_cast<std::uint8_t>(b0);
        Bytes word;
        switch (b0 & 0x30) {
        case 0x10: word = {static_cast<std::uint8_t>(b | 0x30), 0x5A, 0x2F, 0x00}; break;
        case 0x20:
            word = {static_cast<std::uint8_t>(0xBF + (b & 0x40)), 0x00, static_cast<std::uint8_t>(b & 0x3F), 0x5A};
            break;
        default: word = {b, 0x5A, 0xC3, 0x96}; break;
        }
        const bool oneWay = (b0 & 0x30) == 0x10 || (b0 & 0x30) == 0x20;
        const Bytes unit = oneWay ? Bytes{b, 0x5A} : Bytes{b, 0x5A, 0xC3, 0x96};
        Bytes item = unit;
        item.insert(item.end(), {0x30, 0x01, 0x21, 0x02});  // a two-way unit after it
        EXPECT_EQ(Expand(item), Cat(word, {0x30, 0x01, 0x21, 0x02})) << "first byte " << b0 << " inside";
        EXPECT_EQ(Expand(unit), word) << "first byte " << b0 << " at the end";
    }
}

TEST(RecordUnits, GapMarkCarriesTheLostCountLittleEndian) {
    EXPECT_EQ(capture::GapMark(5), (std::array<std::uint8_t, 4>{0x80, 0xFF, 0x05, 0x00}));
    EXPECT_EQ(capture::GapMark(0x1234), (std::array<std::uint8_t, 4>{0x80, 0xFF, 0x34, 0x12}));
}

}  // namespace
}  // namespace commlib::test
