// CRC-16/X-25 and the transmit framings, checked against published and
// documented byte vectors.
#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "link/crc16.h"
#include "link/framing.h"

namespace commlib {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes BytesOf(std::string_view s) { return Bytes(s.begin(), s.end()); }

TEST(Crc16, CheckValueAndResidue) {
    const Bytes digits = BytesOf("123456789");
    const std::uint16_t reg = Crc16x25(Crc16Preset, digits);
    EXPECT_EQ(static_cast<std::uint16_t>(~reg), 0x906E);
    // The data followed by its transmitted check bytes leaves the residue.
    Bytes withCrc = digits;
    withCrc.push_back(0x6E);
    withCrc.push_back(0x90);
    EXPECT_EQ(Crc16x25(Crc16Preset, withCrc), Crc16Residue);
}

TEST(Crc16, RunsOfAnyLengthMatchOneStepPerByte) {
    Bytes data(300);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 131 + 7);
    for (std::size_t len : {0u, 1u, 7u, 8u, 9u, 15u, 16u, 17u, 63u, 299u}) {
        std::uint16_t reg = 0x1234;
        for (std::size_t i = 0; i < len; ++i) reg = Crc16x25Step(reg, data[i]);
        EXPECT_EQ(Crc16x25(0x1234, std::span(data).first(len)), reg) << "length " << len;
    }
}

TEST(SynFrame, ResetPacketOnTheLine) {
    EXPECT_EQ(SynFrame(Bytes{0x30, 0x00}), (Bytes{0x16, 0x30, 0x00, 0xE5, 0xB9, 0x16}));
}

TEST(SynFrame, ConnectQueryOnTheLine) {
    const Bytes query{0x40, 0x00, 0x02, 0x34, 0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x01, 0x02};
    const Bytes line{0x16, 0x40, 0x00, 0x02, 0x34, 0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x01, 0x02, 0x56, 0xCE, 0x16};
    EXPECT_EQ(SynFrame(query), line);
}

TEST(SynFrame, StuffsSpecialBytesInDataAndCrc) {
    // Data byte 0x16 goes out as DLE 0x56; likewise DLE, XON and XOFF.
    const Bytes framed = SynFrame(Bytes{0x16, 0x10, 0x11, 0x13});
    ASSERT_GE(framed.size(), 10u);
    EXPECT_EQ(Bytes(framed.begin(), framed.begin() + 9), (Bytes{0x16, 0x10, 0x56, 0x10, 0x50, 0x10, 0x51, 0x10, 0x53}));
    // No bare special byte between the two SYNs.
    for (std::size_t i = 1; i + 1 < framed.size(); ++i) {
        if (framed[i] == 0x10) {
            ++i;
            continue;
        }
        EXPECT_FALSE(NeedsStuffing(framed[i])) << "bare byte at " << i;
    }
    EXPECT_EQ(framed.back(), 0x16);
}

TEST(SynFrame, RefusesWhatDoesNotFit) {
    Bytes data(1200, 0x16);  // every byte doubles: 2400 + 6 > 2052
    std::uint8_t out[LinkMessage::Capacity];
    EXPECT_EQ(FrameSyn(data, out), 0u);
    EXPECT_GT(SynFrame(data).size(), sizeof out);
    data.resize(1000);
    const std::size_t n = FrameSyn(data, out);
    ASSERT_GT(n, 2002u);
    EXPECT_EQ(Bytes(out, out + n), SynFrame(data));
}

TEST(BinaryBlock, LengthDataAndCheckByte) {
    auto msg = MakeBinaryBlock(Bytes{0x01, 0x02, 0x03});
    EXPECT_EQ(msg->framing, FramingBinary);
    EXPECT_EQ(Bytes(msg->Bytes().begin(), msg->Bytes().end()), (Bytes{'&', 0x03, 0x00, 0x01, 0x02, 0x03, 0xF7}));
}

TEST(BinaryBlock, CutsAt2048Bytes) {
    const Bytes data(3000, 0xAB);
    auto msg = MakeBinaryBlock(data);
    ASSERT_EQ(msg->length, 2052);
    EXPECT_EQ(msg->data[1], 0x00);
    EXPECT_EQ(msg->data[2], 0x08);
    unsigned sum = 0;
    for (int i = 1; i < msg->length; ++i) sum += msg->data[i];
    EXPECT_EQ(sum % 256, 0u);
}

}  // namespace
}  // namespace commlib
