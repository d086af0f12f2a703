// Exports of whole buffers without tshark: the file's layout, the summary,
// block ranges, one direction, times, and the mistakes a user can make.
#include <gtest/gtest.h>

#include <filesystem>

#include "export_harness.h"
#include "frame_packets.h"
#include "frame_words.h"
#include "sample_buffers.h"
#include "sample_conversations.h"
#include "testing/temp_dir.h"

using namespace textlib_test;
using namespace pcapng_test;

namespace {

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

struct Block {
    std::uint32_t type;
    std::size_t at, length;
};

// Walks the file's blocks, checking that each one's two lengths agree.
std::vector<Block> Blocks(const std::vector<std::uint8_t>& file) {
    std::vector<Block> blocks;
    for (std::size_t at = 0; at + 12 <= file.size();) {
        std::uint32_t length = U32(file, at + 4);
        if (length < 12 || at + length > file.size() || U32(file, at + length - 4) != length) {
            ADD_FAILURE() << "bad block at " << at;
            break;
        }
        blocks.push_back({U32(file, at), at, length});
        at += length;
    }
    return blocks;
}

// Packet times in microseconds, in file order.
std::vector<std::uint64_t> Times(const std::vector<std::uint8_t>& file) {
    std::vector<std::uint64_t> t;
    for (const Block& b : Blocks(file))
        if (b.type == 6) t.push_back(std::uint64_t{U32(file, b.at + 12)} << 32 | U32(file, b.at + 16));
    return t;
}

}  // namespace

TEST(Export, HeaderInterfaceAndOnePacketPerFrame) {
    testing_util::TempDir dir;
    ExportOptions o;
    o.frameProtocol = pcapng::kFrameLapd;
    WriteSample(dir, HdlcBody(), Q931Call(), o);
    ExportSummary s;
    ASSERT_EQ(pcapng::ExportPcapng(o, s).message(), "");
    auto file = testing_util::read_file(o.output);
    std::vector<Block> blocks = Blocks(file);
    ASSERT_EQ(blocks.size(), 2u + 19u);
    EXPECT_EQ(blocks[0].type, 0x0A0D0D0Au);
    EXPECT_EQ(blocks[1].type, 1u);
    EXPECT_EQ(file[blocks[1].at + 8] | file[blocks[1].at + 9] << 8, pcapng::kLinkLapd);
    EXPECT_EQ(blocks.back().at + blocks.back().length, file.size());
    EXPECT_EQ(s.frames, 19);
    EXPECT_EQ(s.sd, 9);
    EXPECT_EQ(s.rd, 10);
    EXPECT_EQ(s.fcsErrors, 1);
    EXPECT_EQ(s.linkType, pcapng::kLinkLapd);
    EXPECT_TRUE(s.onMeasurementDate);  // the day "datainfo.mkw" was written
}

TEST(Export, SyncFramesGoOutAsTheirCharacters) {
    testing_util::TempDir dir;
    ExportOptions o;
    WriteSample(dir, BscBody(kBscAscii), BscConversation(kBscAscii), o);
    ExportSummary s;
    ASSERT_EQ(pcapng::ExportPcapng(o, s).message(), "");
    EXPECT_EQ(s.linkType, pcapng::kLinkUser1);
    auto file = testing_util::read_file(o.output);
    std::vector<Block> blocks = Blocks(file);
    ASSERT_GT(blocks.size(), 2u);
    const Block& first = blocks[2];
    ASSERT_EQ(first.type, 6u);
    // The first frame is the poll: the two sync characters, then EOT.
    ASSERT_GE(U32(file, first.at + 20), 3u);
    EXPECT_EQ(file[first.at + 28], 0x16);
    EXPECT_EQ(file[first.at + 29], 0x16);
    EXPECT_EQ(file[first.at + 30], 0x04);
}

TEST(Export, SummaryCountsErrorsAndLostData) {
    testing_util::TempDir dir;
    ExportOptions o;
    WriteSample(dir, HdlcBody(), X25Conversation(), o);
    ExportSummary s;
    ASSERT_EQ(pcapng::ExportPcapng(o, s).message(), "");
    EXPECT_EQ(s.frames, 17);
    EXPECT_EQ(s.sd + s.rd, 17);
    EXPECT_EQ(s.fcsErrors, 1);
    EXPECT_EQ(s.aborts, 1);
    EXPECT_EQ(s.shortFrames, 1);
    EXPECT_EQ(s.lostMarks, 1);
    EXPECT_EQ(s.linkType, pcapng::kLinkWiresharkPdu);
}

TEST(Export, TimesOnTheGivenDateOrFromTheFirstStamp) {
    testing_util::TempDir dir;
    ExportOptions o;
    o.frameProtocol = pcapng::kFrameLapd;
    o.midnight = pcapng::MidnightOf("2026-03-14");
    ASSERT_TRUE(o.midnight);
    WriteSample(dir, HdlcBody(), Q931Call(), o);
    ExportSummary s;
    ASSERT_EQ(pcapng::ExportPcapng(o, s).message(), "");
    std::vector<std::uint64_t> t = Times(testing_util::read_file(o.output));
    ASSERT_EQ(t.size(), 19u);
    const std::uint64_t first = (static_cast<std::uint64_t>(*o.midnight) + 14 * 3600 + 20 * 60) * 1'000'000;
    EXPECT_EQ(t.front(), first);
    EXPECT_EQ(t.back(), first + 152'000'000u);  // 14:22:32

    // A single data file has no date of its own.
    WriteSingleFile(dir.file("single.mkw"), HdlcBody(), Q931Call());
    o.buffer = dir.file("single.mkw");
    o.midnight.reset();
    ASSERT_EQ(pcapng::ExportPcapng(o, s).message(), "");
    EXPECT_FALSE(s.onMeasurementDate);
    t = Times(testing_util::read_file(o.output));
    ASSERT_EQ(t.size(), 19u);
    EXPECT_EQ(t.front(), 0u);
    EXPECT_EQ(t.back(), 152'000'000u);
}

TEST(Export, OneDirectionOnly) {
    testing_util::TempDir dir;
    ExportOptions o;
    o.frameProtocol = pcapng::kFrameLapd;
    o.line = 2;
    WriteSample(dir, HdlcBody(), Q931Call(), o);
    ExportSummary s;
    ASSERT_EQ(pcapng::ExportPcapng(o, s).message(), "");
    EXPECT_EQ(s.frames, 10);
    EXPECT_EQ(s.rd, 10);
    EXPECT_EQ(s.fcsErrors, 0);  // the bad frame was sent by SD
}

TEST(Export, BlockRangeStartsAtItsBlock) {
    testing_util::TempDir dir;
    // One SD frame in block 1, filled up with idle times, one RD frame in block 2.
    std::vector<std::uint32_t> w{TimeStamp(false, 9, 0, 0)};
    Append(w, HdlcFrame(false, {0x01, 0x3F}));
    w.resize(kBlockWords, Idle(3));
    w.push_back(TimeStamp(true, 9, 0, 1));
    Append(w, HdlcFrame(true, {0x01, 0x73}));
    ExportOptions o;
    WriteSample(dir, HdlcBody(), w, o);
    ExportSummary s;
    int lastDone = 0, total = 0;
    ASSERT_EQ(pcapng::ExportPcapng(o, s, [&](int done, int all) { lastDone = done, total = all; }).message(), "");
    EXPECT_EQ(s.frames, 2);
    EXPECT_EQ(total, 2);
    EXPECT_EQ(lastDone, 2);
    o.start = 2;
    ASSERT_EQ(pcapng::ExportPcapng(o, s).message(), "");
    EXPECT_EQ(s.frames, 1);
    EXPECT_EQ(s.rd, 1);
}

TEST(Export, FramesLongerThanTheDelimiterKeepsAreMarkedCutShort) {
    testing_util::TempDir dir;
    std::vector<int> bytes(1100, 0x55);
    std::vector<std::uint32_t> w{TimeStamp(false, 9, 0, 0)};
    Append(w, HdlcFrame(false, bytes));
    w.push_back(TimeStamp(true, 9, 0, 1));
    Append(w, HdlcFrame(true, {0x01, 0x73}));
    ExportOptions o;
    WriteSample(dir, HdlcBody(), w, o);
    ExportSummary s;
    ASSERT_EQ(pcapng::ExportPcapng(o, s).message(), "");
    EXPECT_EQ(s.cutFrames, 1);
    const auto file = testing_util::read_file(o.output);
    std::vector<std::pair<std::uint32_t, std::uint32_t>> lengths;  // captured, original
    for (const Block& b : Blocks(file))
        if (b.type == 6) lengths.emplace_back(U32(file, b.at + 20), U32(file, b.at + 24));
    const std::uint32_t tags = 12;  // the tags in front of LAPB
    EXPECT_EQ(lengths,
              (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{tags + 1024, tags + 1100}, {tags + 2, tags + 2}}));
}

TEST(Export, MistakesAreReportedAndLeaveNoFile) {
    testing_util::TempDir dir;
    ExportOptions o;
    WriteSample(dir, HdlcBody(), X25Conversation(), o);
    ExportSummary s;
    o.start = 2;  // the buffer has one block
    EXPECT_EQ(pcapng::ExportPcapng(o, s).message(), "--start 2 is outside the buffer's 1 blocks");
    EXPECT_FALSE(std::filesystem::exists(o.output));
    o.start = 1;
    o.blocks = 0;
    EXPECT_EQ(pcapng::ExportPcapng(o, s).message(), "--blocks must be at least 1");
    o.blocks = 1;
    ExportOptions missing = o;
    missing.buffer = dir.file("nowhere");
    EXPECT_EQ(pcapng::ExportPcapng(missing, s).message(), "cannot open the buffer '" + missing.buffer + "'");
    EXPECT_FALSE(std::filesystem::exists(o.output));
    ExportOptions badOut = o;
    badOut.output = dir.file("no/such/folder/out.pcapng");
    EXPECT_NE(pcapng::ExportPcapng(badOut, s).message().find("cannot create"), std::string::npos);
}

TEST(Export, DatesAreCheckedAsDates) {
    EXPECT_TRUE(pcapng::MidnightOf("2026-02-28"));
    EXPECT_FALSE(pcapng::MidnightOf("2026-02-30"));
    EXPECT_FALSE(pcapng::MidnightOf("2026-13-01"));
    EXPECT_FALSE(pcapng::MidnightOf("14.03.2026"));
    EXPECT_FALSE(pcapng::MidnightOf("2026-03-14x"));
    EXPECT_EQ(*pcapng::MidnightOf("2026-03-15") - *pcapng::MidnightOf("2026-03-14"), 86400);
}
