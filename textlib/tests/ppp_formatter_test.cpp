// PPP translation lines: escaping, compressed address/control and protocol
// fields, protocol and code names, short frames and the data column.
#include <gtest/gtest.h>

#include "buffer_builder.h"
#include "frames/ppp_formatter.h"

using namespace textlib;

namespace {

std::string PppLine(const std::vector<int>& bytes, int direction = kFrameSd, std::uint32_t stamp = 0) {
    Frame f;
    f.direction = static_cast<std::int8_t>(direction);
    f.timeStamp = stamp & ~0x8000u;
    for (int b : bytes) f.cells[f.count++] = static_cast<std::uint16_t>(b << 8 | 0x10);
    return CreatePppFormatter()->FormatLine(f);
}

}  // namespace

TEST(PppLine, ControlProtocolFramesByName) {
    EXPECT_EQ(PppLine({0xFF, 0x03, 0xC0, 0x21, 0x01, 0x05, 0x00, 0x0A, 0x01, 0x04}, kFrameRd,
                      textlib_test::TimeStamp(true, 9, 5, 1)),
              "RD:090501 LCP      CONF-REQ   5 000A0104");
    EXPECT_EQ(PppLine({0x80, 0x21, 0x04, 0xFF, 0x00, 0x04}), "SD:       IPCP     CONF-REJ 255 0004");
    EXPECT_EQ(PppLine({0xFF, 0x03, 0xC0, 0x23, 0x10, 0x01}), "SD:       PAP      (10)       1");
    EXPECT_EQ(PppLine({0xFF, 0x03, 0x80, 0x57, 0x01, 0x01}), "SD:       (8057)   CONF-REQ   1");
    EXPECT_EQ(PppLine({0xC0, 0x25}), "SD:       LQR");
    // A one-byte protocol without a name shows its 16-bit value.
    EXPECT_EQ(PppLine({0x7D, 0x5D, 0x01}, kFrameUndecided), "??:       (007D)   CONF-REQ");
}

TEST(PppLine, CompressedProtocolAndNetworkData) {
    // One protocol byte (bit 0 set): the datagram's first two bytes read as code and identifier.
    EXPECT_EQ(PppLine({0x21, 0x45, 0x00, 0x00, 0x54}), "SD:       IP       (45)       0 0054");
    // Only the first byte of a two-byte protocol.
    EXPECT_EQ(PppLine({0x80}), "SD:       (80)");
    EXPECT_EQ(PppLine({0xFF, 0x03}), "SD:");
    EXPECT_EQ(PppLine({}), "SD:");
    Frame lost;
    lost.direction = kFrameLost;
    EXPECT_EQ(CreatePppFormatter()->FormatLine(lost), "Lost");
}

TEST(PppLine, EscapesAreRemovedBeforeDecoding) {
    // 7D 23 is the control byte 03, 7D 5E a 7E and 7D 5D a 7D in the data.
    EXPECT_EQ(PppLine({0xFF, 0x7D, 0x23, 0xC0, 0x21, 0x7D, 0x29, 0x7D, 0x21, 0x7D, 0x5E, 0x7D, 0x5D, 0x41}),
              "SD:       LCP      ECHO-REQ   1 7E7D41");
    // An escape in the last cell has nothing to escape.
    EXPECT_EQ(PppLine({0xC0, 0x21, 0x02, 0x07, 0x55, 0x7D}), "SD:       LCP      CONF-ACK   7 55");
}

TEST(PppLine, DataStartsAtColumn32AndStopsAtTheLineWidth) {
    std::vector<int> bytes{0xFF, 0x03, 0x00, 0x21, 0x45, 0x00};
    for (int k = 0; k < 80; ++k) bytes.push_back(0x80 + k);
    std::string line = PppLine(bytes);
    EXPECT_EQ(line.find("8081"), 32u);
    EXPECT_EQ(line.size(), 132u);  // 50 bytes
    EXPECT_EQ(line.substr(128), "B0B1");
}
