// Frame and packet translation lines: control-field decoding of every
// variant, the LAPD address, end statuses, the 132-character cut, X.25/DDX
// packet headers and Q.931 messages, each checked as the exact line text.
#include <gtest/gtest.h>

#include "buffer_builder.h"
#include "frames/frame_formatter.h"

using namespace textlib;

namespace {

std::unique_ptr<Frame> MakeFrame(int direction, const std::vector<int>& bytes, int end = kEndNone,
                                 std::uint32_t stamp = 0) {
    auto f = std::make_unique<Frame>();
    f->direction = static_cast<std::int8_t>(direction);
    f->endStatus = static_cast<std::int8_t>(end);
    f->timeStamp = stamp & ~0x8000u;
    for (int b : bytes) f->cells[f->count++] = static_cast<std::uint16_t>(b << 8 | 0x10);
    return f;
}

std::string Line(int variant, int packets, int direction, const std::vector<int>& bytes, int end = kEndNone,
                 std::uint32_t stamp = 0) {
    auto formatter = CreateFrameFormatter(variant, packets);
    if (formatter == nullptr) return "<no formatter>";
    return formatter->FormatLine(*MakeFrame(direction, bytes, end, stamp));
}

std::string FrameLine(int variant, int direction, const std::vector<int>& bytes, int end = kEndNone) {
    return Line(variant, kPacketOff, direction, bytes, end);
}

const std::uint32_t kStamp = textlib_test::TimeStamp(true, 12, 34, 56);

}  // namespace

TEST(FrameLine, UnnumberedFramesByVariantAndDirection) {
    // SNRM with P: name, five blanks, P/F, four blanks, then the FCS column.
    EXPECT_EQ(FrameLine(kSdlc, kFrameSd, {0xC1, 0x93}, kEndGood), "SD:       C1 SNRM      1      G");
    EXPECT_EQ(FrameLine(kSdlc, kFrameRd, {0xC1, 0x73}, kEndGood), "RD:       C1 UA        1      G");
    // UA is a response only: in SD the control byte stands in hex.
    EXPECT_EQ(FrameLine(kSdlc, kFrameSd, {0xC1, 0x73}, kEndGood), "SD:       C1 (73)             G");
    EXPECT_EQ(FrameLine(kX25, kFrameSd, {0x03, 0x3F}), "SD:       03 SABM      1");
    EXPECT_EQ(FrameLine(kX25ua, kFrameSd, {0x03, 0x0F}), "SD:       03 DM        0");
    EXPECT_EQ(FrameLine(kX25ua, kFrameRd, {0x03, 0x0F}), "RD:       03 SARM      0");
    EXPECT_EQ(FrameLine(kSdlc, kFrameRd, {0x01, 0xEF, 0x41}), "RD:       01 BCN       0         41");
    EXPECT_EQ(FrameLine(kX25, kFrameRd, {0x01, 0x87, 0x00, 0x00, 0x01}, kEndGood),
              "RD:       01 FRMR      0      G  000001");
    // An undecided direction reads the SD column.
    EXPECT_EQ(FrameLine(kSdlc, kFrameUndecided, {0xC1, 0x03}), "??:       C1 UI        0");
}

TEST(FrameLine, InformationAndSupervisoryFrames) {
    EXPECT_EQ(Line(kX25, kPacketOff, kFrameSd, {0x01, 0xB2, 0x10}, kEndNg, kStamp),
              "SD:123456 01 INFO    1 1   5  E  10");
    EXPECT_EQ(FrameLine(kX25, kFrameRd, {0x01, 0xB1}), "RD:       01 RR        1   5");
    EXPECT_EQ(FrameLine(kX25, kFrameRd, {0x01, 0x0D}), "RD:       01 (0D)");
    EXPECT_EQ(FrameLine(kX25ua, kFrameRd, {0x01, 0x0D}), "RD:       01 SREJ      0   0");
    // Modulo 128: 04 03 is N(S) 2, P/F 1, N(R) 1.
    EXPECT_EQ(FrameLine(kX25x, kFrameSd, {0x01, 0x04, 0x03, 0x10}), "SD:       01 INFO    2 1   1     10");
    EXPECT_EQ(FrameLine(kX25x, kFrameRd, {0x01, 0x09, 0xFF}), "RD:       01 REJ       1 127");
    // A two-byte S control with bits 4-7 of its first byte set is no S frame we know.
    EXPECT_EQ(FrameLine(kX25x, kFrameRd, {0x01, 0x21, 0x0A}), "RD:       01 (0A21)");
    // The second control byte never came.
    EXPECT_EQ(FrameLine(kX25x, kFrameSd, {0x01, 0x00}, kEndShort), "SD:       01 (00)            SF");
    // U frames keep one control byte in modulo 128 as well.
    EXPECT_EQ(FrameLine(kX25x, kFrameSd, {0x01, 0x6F, 0x99}), "SD:       01 SABME     0         99");
}

TEST(FrameLine, ShortFramesPrintWhatTheyHave) {
    EXPECT_EQ(FrameLine(kSdlc, kFrameSd, {0xC1}, kEndAbort), "SD:       C1   A");
    EXPECT_EQ(FrameLine(kSdlc, kFrameSd, {}, kEndBreak), "SD:            B");
    EXPECT_EQ(FrameLine(kLapd, kFrameSd, {}, kEndShort), "SD:                 SF");
    EXPECT_EQ(FrameLine(kSdlc, kFrameLost, {}), "Lost");
}

TEST(FrameLine, LapdAddressIsSapiTeiAndCr) {
    EXPECT_EQ(FrameLine(kLapd, kFrameSd, {0x02, 0x01, 0x7F}), "SD:        0   0 1 SABME     1");
    EXPECT_EQ(FrameLine(kLapd, kFrameRd, {0xFE, 0xFF, 0x03, 0x0F}), "RD:       63 127 1 (03)                0F");
    EXPECT_EQ(FrameLine(kLapd, kFrameSd, {0xFC, 0xFF, 0x03, 0x0F}), "SD:       63 127 0 UI        0         0F");
    EXPECT_EQ(FrameLine(kLapd, kFrameSd, {0x00, 0x81, 0x02, 0x06, 0x08}, kEndGood),
              "SD:        0  64 0 INFO    1 0   3  G  08");
    EXPECT_EQ(FrameLine(kLapd, kFrameRd, {0x00, 0x81, 0x01, 0x03}), "RD:        0  64 0 RR        1   1");
    EXPECT_EQ(FrameLine(kLapd, kFrameSd, {0x08}), "SD:        2     0");
}

TEST(FrameLine, DataStartsAtItsColumnAndStopsAtTheLineWidth) {
    std::vector<int> bytes{0x01, 0x00};
    for (int k = 0; k < 100; ++k) bytes.push_back(k);
    std::string line = FrameLine(kSdlc, kFrameSd, bytes, kEndGood);
    EXPECT_EQ(line.find("0001"), 33u);
    EXPECT_EQ(line.size(), 131u);  // 49 bytes fit into 132 characters
    EXPECT_EQ(line.substr(line.size() - 4), "2F30");

    bytes.insert(bytes.begin(), 0x00);  // LAPD: two address bytes
    bytes[2] = 0x00;
    bytes.insert(bytes.begin() + 3, 0x00);
    line = FrameLine(kLapd, kFrameSd, bytes, kEndGood);
    EXPECT_EQ(line.find("0001"), 39u);
    EXPECT_EQ(line.size(), 131u);
}

TEST(PacketLine, X25HeadersByPacketType) {
    // Data packet modulo 8: P(S) 5, M 1, P(R) 2.
    EXPECT_EQ(Line(kX25, kPacketX25, kFrameSd, {0x01, 0x22, 0x10, 0x01, 0x5A, 0x48, 0x49}),
              "SD:        0   1 DT      5   2 1 0 0 4849");
    EXPECT_EQ(Line(kX25, kPacketX25, kFrameRd, {0x03, 0x00, 0x1A, 0x07, 0x41}, kEndGood, kStamp),
              "RD:123456 10   7 RR          2   0 0");
    EXPECT_EQ(Line(kX25, kPacketX25, kFrameSd, {0x01, 0x00, 0x10, 0x01, 0x0B, 0x55}),
              "SD:        0   1 CR              0 0 55");
    EXPECT_EQ(Line(kX25, kPacketX25, kFrameRd, {0x01, 0x00, 0x10, 0x01, 0x0B, 0x55}),
              "RD:        0   1 IC              0 0 55");
    EXPECT_EQ(Line(kX25, kPacketX25, kFrameSd, {0x01, 0x00, 0x10, 0x00, 0xF1, 0x30}),
              "SD:        0   0 DIAG            0 0 30");
    // Q and D bits of the GFI.
    EXPECT_EQ(Line(kX25, kPacketX25, kFrameSd, {0x01, 0x00, 0xD0, 0x01, 0x00}), "SD:        0   1 DT      0   0 0 1 1");
    // A type without a name in this table.
    EXPECT_EQ(Line(kX25, kPacketX25, kFrameSd, {0x01, 0x00, 0x10, 0x01, 0x43}), "SD:        0   1 (43)            0 0");
    // Frames that are no I frames, and I frames too short for a header.
    EXPECT_EQ(Line(kX25, kPacketX25, kFrameRd, {0x01, 0x21, 0x99}), "RD:              (Not INFO)          99");
    EXPECT_EQ(Line(kX25, kPacketX25, kFrameSd, {0x01, 0x00, 0x10}), "SD:        0                     0 0");
    EXPECT_EQ(Line(kX25, kPacketX25, kFrameSd, {0x01, 0x00, 0x10, 0x01}), "SD:        0   1                 0 0");
}

TEST(PacketLine, X25Modulo128) {
    // GFI 2: P(S) from the type byte, P(R) and M from the fourth byte.
    EXPECT_EQ(Line(kX25x, kPacketX25, kFrameSd, {0x01, 0x00, 0x00, 0x21, 0x05, 0x0A, 0x05, 0x77}),
              "SD:        1   5 DT      5   2 1 0 0 77");
    EXPECT_EQ(Line(kX25x, kPacketX25, kFrameSd, {0x01, 0x00, 0x00, 0x20, 0x05, 0x01, 0xFE}),
              "SD:        0   5 RR        127   0 0");
    EXPECT_EQ(Line(kX25x, kPacketX25, kFrameSd, {0x01, 0x00, 0x00, 0x20, 0x05, 0x11, 0x04}),
              "SD:        0   5 (0411)          0 0");
    // Cut before the fourth byte: no P(R), no M, the columns stay in place.
    EXPECT_EQ(Line(kX25x, kPacketX25, kFrameSd, {0x01, 0x00, 0x00, 0x20, 0x05, 0x0A}),
              "SD:        0   5 DT      5       0 0");
}

TEST(PacketLine, DdxNamesDifferFromX25) {
    EXPECT_EQ(Line(kX25, kPacketDdx, kFrameSd, {0x01, 0x00, 0x10, 0x01, 0x43}), "SD:        0   1 FQ              0 0");
    EXPECT_EQ(Line(kX25, kPacketDdx, kFrameRd, {0x01, 0x00, 0x10, 0x01, 0x67}), "RD:        0   1 EF              0 0");
    EXPECT_EQ(Line(kX25, kPacketDdx, kFrameSd, {0x01, 0x00, 0x10, 0x01, 0x09}), "SD:        0   1 (09)            0 0");
    // 0xF1 is RR with P(R) 7 in DDX.
    EXPECT_EQ(Line(kX25, kPacketDdx, kFrameSd, {0x01, 0x00, 0x10, 0x01, 0xF1}), "SD:        0   1 RR          7   0 0");
}

TEST(PacketLine, Q931Messages) {
    EXPECT_EQ(Line(kLapd, kPacketQ931, kFrameSd, {0x00, 0x81, 0x00, 0x00, 0x08, 0x01, 0x01, 0x05, 0x04, 0x03}, kEndGood,
                   kStamp),
              "SD:123456 08 SETUP     0 01    G  0403");
    EXPECT_EQ(Line(kLapd, kPacketQ931, kFrameRd, {0x02, 0x81, 0x00, 0x02, 0x08, 0x01, 0x81, 0x0D}),
              "RD:       08 SETUP ACK 1 01");
    EXPECT_EQ(Line(kLapd, kPacketQ931, kFrameRd, {0x02, 0x81, 0x00, 0x02, 0x08, 0x02, 0x80, 0x01, 0x7E}, kEndNg),
              "RD:       08 (7E)      1 0001  E");
    // A dummy call reference, and call-reference bytes past the second.
    EXPECT_EQ(Line(kLapd, kPacketQ931, kFrameSd, {0x00, 0x81, 0x00, 0x00, 0x08, 0x00, 0x7B, 0x1C}),
              "SD:       08 INFO                 1C");
    EXPECT_EQ(Line(kLapd, kPacketQ931, kFrameSd, {0x00, 0x81, 0x00, 0x00, 0x08, 0x03, 0x12, 0x34, 0x56, 0x7D, 0xAA}),
              "SD:       08 STATUS    0 1234     AA");
    EXPECT_EQ(Line(kLapd, kPacketQ931, kFrameSd, {0x00, 0x81, 0x01, 0x02}, kEndGood),
              "SD:          (Not INFO)        G");
    std::string line = Line(kLapd, kPacketQ931, kFrameSd, {0x00, 0x81, 0x00, 0x00, 0x08, 0x01, 0x01, 0x05, 0xEE});
    EXPECT_EQ(line.find("EE"), 34u);
}

TEST(FrameFormatterFactory, RejectsValuesOutsideTheLists) {
    EXPECT_EQ(CreateFrameFormatter(5), nullptr);
    EXPECT_EQ(CreateFrameFormatter(-1), nullptr);
    EXPECT_EQ(CreateFrameFormatter(kX25, 4), nullptr);
    EXPECT_NE(CreateFrameFormatter(kLapd, kPacketQ931), nullptr);
}
