// The pcapng blocks byte for byte, the packet bytes and flags of frames, and
// the packet times made from the analyzer's stamps.
#include <gtest/gtest.h>

#include "buffer_builder.h"
#include "capture_clock.h"
#include "frame_packets.h"
#include "pcapfile/upper_pdu.h"
#include "pcapng_blocks.h"
#include "textlib/buffer_format.h"

using namespace pcapng;

namespace {

textlib::Frame MakeFrame(int direction, int end, std::initializer_list<int> bytes) {
    textlib::Frame f;
    f.direction = static_cast<std::int8_t>(direction);
    f.endStatus = static_cast<std::int8_t>(end);
    for (int b : bytes) f.cells[f.count++] = textlib_test::CellOf(b, 0, direction == textlib::kFrameRd);
    return f;
}

}  // namespace

TEST(PcapngBlocks, SectionHeaderWithApplication) {
    Bytes b = SectionHeaderBlock("zx");
    Bytes want{0x0A, 0x0D, 0x0D, 0x0A, 36, 0, 0, 0, 0x4D, 0x3C, 0x2B, 0x1A, 1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF,
               0xFF, 0xFF, 0xFF, 0xFF, 4,  0, 2, 0, 'z',  'x',  0,    0,    0, 0, 0, 0, 36,   0,    0,    0};
    want[4] = want[want.size() - 4] = static_cast<std::uint8_t>(want.size());
    EXPECT_EQ(b, want);
}

TEST(PcapngBlocks, InterfaceWithoutOptionsHasNoEndMark) {
    EXPECT_EQ(InterfaceBlock(203, "", ""), (Bytes{1, 0, 0, 0, 20, 0, 0, 0, 203, 0, 0, 0, 0, 0, 0, 0, 20, 0, 0, 0}));
}

TEST(PcapngBlocks, EnhancedPacketPadsDataAndCarriesFlagsAndComment) {
    const std::uint8_t data[] = {0xAA, 0xBB, 0xCC};
    Packet p;
    p.interfaceId = 0;
    p.timeUs = 0x0000000500000007ull;
    p.data = data;
    p.flags = kFlagOutbound | kFlagCrcError;
    p.comment = "lost";
    Bytes b{1, 2, 3};  // a reused buffer: its old contents go
    EnhancedPacketBlock(p, b);
    Bytes want{6,    0,    0,    0, 0,   0,   0,   0,                // type, length (set below)
               0,    0,    0,    0, 5,   0,   0,   0,   7, 0, 0, 0,  // interface, time high, time low
               3,    0,    0,    0, 3,   0,   0,   0,                // captured, original length
               0xAA, 0xBB, 0xCC, 0,                                  // data, padded
               1,    0,    4,    0, 'l', 'o', 's', 't',              // opt_comment
               2,    0,    4,    0, 2,   0,   0,   1,                // epb_flags
               0,    0,    0,    0,                                  // end of options
               0,    0,    0,    0};
    want[4] = want[want.size() - 4] = static_cast<std::uint8_t>(want.size());
    EXPECT_EQ(b, want);
    EXPECT_EQ(b.size() % 4, 0u);
}

TEST(FramePackets, LinkTypeByModeAndProtocol) {
    EXPECT_EQ(LinkFor(textlib::kHdlc, kFrameLapd).type, kLinkLapd);
    EXPECT_EQ(LinkFor(textlib::kNrzi, kFrameLapd).type, kLinkLapd);
    for (FrameProtocol p : {kFrameSdlc, kFrameX25, kFrameX25x, kFrameX25ua})
        EXPECT_EQ(LinkFor(textlib::kHdlc, p).type, kLinkWiresharkPdu) << p;
    EXPECT_EQ(LinkFor(textlib::kHdlc, static_cast<FrameProtocol>(9)).type, kLinkWiresharkPdu);
    EXPECT_EQ(LinkFor(textlib::kNrzi, kFrameX25, kHdlcUser0).type, kLinkUser0);
    EXPECT_EQ(LinkFor(textlib::kHdlc, kFrameLapd, kHdlcUser0).type, kLinkLapd);
    EXPECT_EQ(LinkFor(textlib::kHdlc, kFrameLapd, kHdlcCisco).type, kLinkCiscoHdlc);
    EXPECT_EQ(LinkFor(textlib::kNrzi, kFrameSdlc, kHdlcFrameRelay).type, kLinkFrameRelay);
    EXPECT_EQ(LinkFor(textlib::kPpp, kFrameSdlc, kHdlcCisco).type, kLinkPppWithDir);
    EXPECT_EQ(LinkFor(textlib::kPpp, kFrameLapd).type, kLinkPppWithDir);
    EXPECT_EQ(LinkFor(textlib::kAsync, kFrameLapd).type, kLinkUser1);
    EXPECT_EQ(LinkFor(textlib::kSync, kFrameX25).type, kLinkUser1);
}

// The packet bytes of a frame, through a buffer that held another packet before.
Bytes Data(std::uint16_t link, const textlib::Frame& frame) {
    Bytes data{9, 9, 9, 9, 9, 9, 9, 9, 9, 9};
    PacketData(link, frame, data);
    return data;
}

TEST(FramePackets, PppEscapesRemovedAndDirectionByteInFront) {
    auto sd = MakeFrame(textlib::kFrameSd, 0, {0xFF, 0x7D, 0x23, 0xC0, 0x21, 0x7D, 0x5E, 0x7D});
    EXPECT_EQ(Data(kLinkPppWithDir, sd), (Bytes{1, 0xFF, 0x03, 0xC0, 0x21, 0x7E}));
    auto rd = MakeFrame(textlib::kFrameRd, 0, {0x7D, 0x5D});
    EXPECT_EQ(Data(kLinkPppWithDir, rd), (Bytes{0, 0x7D}));
    auto none = MakeFrame(textlib::kFrameUndecided, 0, {0x21});
    EXPECT_EQ(Data(kLinkPppWithDir, none), (Bytes{0, 0x21}));
}

TEST(FramePackets, HdlcFramesAreTheirCharacters) {
    auto f = MakeFrame(textlib::kFrameRd, textlib::kEndGood, {0x02, 0x81, 0x7D, 0x00});
    EXPECT_EQ(Data(kLinkLapd, f), (Bytes{0x02, 0x81, 0x7D, 0x00}));
    EXPECT_EQ(Data(kLinkUser0, f), (Bytes{0x02, 0x81, 0x7D, 0x00}));
    Bytes tagged = pcapfile::UpperPduHeader("lapb");
    tagged.insert(tagged.end(), {0x02, 0x81, 0x7D, 0x00});
    EXPECT_EQ(Data(kLinkWiresharkPdu, f), tagged);
}

TEST(FramePackets, FlagsForDirectionAndEnd) {
    EXPECT_EQ(PacketFlags(MakeFrame(textlib::kFrameSd, textlib::kEndGood, {})), kFlagOutbound);
    EXPECT_EQ(PacketFlags(MakeFrame(textlib::kFrameRd, textlib::kEndNg, {})), kFlagInbound | kFlagCrcError);
    EXPECT_EQ(PacketFlags(MakeFrame(textlib::kFrameUndecided, textlib::kEndShort, {})), kFlagTooShort);
    EXPECT_EQ(PacketFlags(MakeFrame(textlib::kFrameSd, textlib::kEndAbort, {})), kFlagOutbound | kFlagSymbolError);
    EXPECT_EQ(PacketFlags(MakeFrame(textlib::kFrameRd, textlib::kEndBreak, {})), kFlagInbound | kFlagSymbolError);
    EXPECT_EQ(PacketFlags(MakeFrame(textlib::kFrameUndecided, textlib::kEndNone, {})), 0u);
}

TEST(CaptureClock, StampsDecodedFromBcd) {
    using textlib_test::TimeStamp;
    EXPECT_EQ(SecondsOfDay(TimeStamp(false, 14, 20, 9)), 14 * 3600 + 20 * 60 + 9);
    EXPECT_EQ(SecondsOfDay(TimeStamp(true, 23, 59, 59)), 86399);  // the RD bit is not an hour
    EXPECT_EQ(SecondsOfDay(0x5A000003u), std::nullopt);           // not BCD
    EXPECT_EQ(SecondsOfDay(0x00002403u), std::nullopt);           // hour 24
}

TEST(CaptureClock, OnTheMeasurementDateAcrossMidnight) {
    using textlib_test::TimeStamp;
    CaptureClock clock(std::int64_t{1'000'000});
    EXPECT_EQ(clock.TimeUs(TimeStamp(false, 23, 59, 58)), (1'000'000ull + 86398) * 1'000'000);
    EXPECT_EQ(clock.TimeUs(0), (1'000'000ull + 86398) * 1'000'000);  // no stamp: the time before
    EXPECT_EQ(clock.TimeUs(0x5A000003u), (1'000'000ull + 86398) * 1'000'000);
    EXPECT_EQ(clock.TimeUs(TimeStamp(true, 0, 0, 1)), (1'000'000ull + 86401) * 1'000'000);
}

TEST(CaptureClock, RelativeToTheFirstStampWithoutDate) {
    using textlib_test::TimeStamp;
    CaptureClock clock(std::nullopt);
    EXPECT_EQ(clock.TimeUs(0), 0u);
    EXPECT_EQ(clock.TimeUs(TimeStamp(false, 10, 0, 5)), 0u);
    EXPECT_EQ(clock.TimeUs(TimeStamp(true, 10, 0, 4)), 0u);  // a stamp before the first
    EXPECT_EQ(clock.TimeUs(TimeStamp(false, 10, 1, 5)), 60'000'000u);
}
