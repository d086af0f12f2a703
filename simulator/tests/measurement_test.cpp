// A measurement seen from the PC: the start answer, the status word, the
// measurement information, captured-data items whose words are exactly the
// generator's for the seed, the stop and its reason, and data loss.
#include <gtest/gtest.h>

#include "capture_builder.h"
#include "measure/item_packer.h"
#include "pc_side.h"
#include "sets/data_store.h"
#include "simulator/records.h"
#include "simulator/traffic.h"
#include "testing/temp_dir.h"

namespace simulator::test {
namespace {

const Bytes kStart{0x21, 0x0C, 1, 1};
const Bytes kSubscribeAll{0x01, 0x02, 1, 0x20, 0x0C, 1, 0x00, 0x80, 1, 0x00, 0xE0, 1};

std::uint16_t item_of(const Bytes& p) { return static_cast<std::uint16_t>(p[2] | p[3] << 8); }

// The "2" notifications of one item among packets.
std::vector<Bytes> values(const std::vector<Bytes>& packets, std::uint16_t item) {
    std::vector<Bytes> out;
    for (const Bytes& p : packets) {
        if (p.size() < 4 || p[0] != '2' || item_of(p) != item) continue;
        Bytes value;
        value.reserve(p.size() - 4);
        for (std::size_t i = 4; i < p.size(); ++i) value.push_back(p[i]);
        out.push_back(std::move(value));
    }
    return out;
}

struct Session {
    explicit Session(const AnalyzerOptions& o) : a(o), pc(a) {
        pc.enter_packet_mode();
        pc.packet(request(3, '3', kSubscribeAll));
    }
    Analyzer a;
    PcSide pc;
};

TEST(Measurement, StartAnswersThenReportsStatusAndInformation) {
    AnalyzerOptions o;
    Session s(o);
    const auto packets = s.pc.packet(request(13, '5', kStart));
    ASSERT_GE(packets.size(), 4u);
    EXPECT_EQ(packets[0], (Bytes{'A', 1, 13, '5', 0x21, 0x0C, 1, 1}));
    EXPECT_EQ(packets[1], (Bytes{'2', 0, 0x01, 0x02, 0x00, 0x01}));
    EXPECT_EQ(item_of(packets[2]), 0x8100);
    const Bytes info = values({packets[2]}, 0x8100).at(0);
    ASSERT_EQ(info.size(), 388u);
    // The default setup's HDLC conditions as the conversion reads them.
    EXPECT_EQ(info[1], 2);   // HDLC
    EXPECT_EQ(info[2], 33);  // 64000
    EXPECT_EQ(info[3], 33);
    EXPECT_EQ(info[4], 5);   // HEX
    EXPECT_EQ(info[5], 3);   // 8 bits
    EXPECT_EQ(info[7], 0);   // ST1
    EXPECT_EQ(info[17], 1);  // FCS on
    EXPECT_EQ(info[30], 1);  // idle values in 100 ms
    EXPECT_EQ(info[33], 1);  // line states recorded
    EXPECT_EQ(item_of(packets[3]), 0xE000);
    EXPECT_EQ((packets[3].size() - 4) % 6, 0u);
    EXPECT_TRUE(s.a.measuring());
}

TEST(Measurement, InformationFollowsTheSetupThePcPut) {
    AnalyzerOptions o;
    Session s(o);
    Bytes setup = default_setup(o.model, LineMode::Hdlc);
    setup[1] = 1;  // SYNC
    setup[38] = 0x32, setup[39] = 0x32, setup[40] = 0x55, setup[41] = 2, setup[45] = 1;
    s.pc.packet(request(8, '7', le16(0x2000)));
    Bytes piece{'D', 0, 8, 1, 0x00, 0x20, 0, 0, 0, 0};
    piece.insert(piece.end(), setup.begin(), setup.end());
    ASSERT_EQ(s.pc.packet(piece)[0][3], 1);
    const auto info = values(s.pc.packet(request(13, '5', kStart)), 0x8100);
    ASSERT_EQ(info.size(), 1u);
    EXPECT_EQ(info[0][1], 1);
    EXPECT_EQ(info[0][9], 2);
    EXPECT_EQ(info[0][10], 0x32);
    EXPECT_EQ(info[0][11], 0x32);
    EXPECT_EQ(info[0][12], 0x55);
    EXPECT_EQ(info[0][13], 2);
    EXPECT_EQ(info[0][17], 1);
}

TEST(Measurement, CapturedItemsCarryExactlyTheSeedsRecords) {
    AnalyzerOptions o;
    o.seed = 42;
    o.records_per_second = 3000;
    Session s(o);
    s.pc.packet(request(13, '5', kStart));
    std::vector<Bytes> items;
    for (int t = 0; t < 10; ++t)
        for (Bytes& v : values(packets_in(s.pc.tick(100)), 0x8000)) items.push_back(std::move(v));
    std::vector<std::uint32_t> words;
    std::uint16_t expected_counter = 0;
    for (const Bytes& v : items) {
        ASSERT_GE(v.size(), 2u);
        EXPECT_EQ(v[0] | v[1] << 8, expected_counter);
        const auto w = expand_units(std::span(v).subspan(2));
        expected_counter = static_cast<std::uint16_t>(expected_counter + w.size());
        words.insert(words.end(), w.begin(), w.end());
    }
    EXPECT_EQ(words.size(), 3000u);
    const auto conditions = LineConditions::from_setup(default_setup(o.model, LineMode::Hdlc), o.protocol);
    EXPECT_EQ(words, generate_records(conditions, 42, 3000));
}

TEST(Measurement, FirstItemOfSeedOneOnAnAsyncLine) {
    AnalyzerOptions o;
    o.seed = 1;
    o.line_mode = LineMode::Async;
    o.records_per_second = 8;
    Session s(o);
    s.pc.packet(request(13, '5', kStart));
    const auto items = values(packets_in(s.pc.tick(1000)), 0x8000);
    ASSERT_EQ(items.size(), 1u);
    // Counter 0; line state (nothing on -> DR CD ER on); idle 7 x 100 ms; SD
    // time stamp 13:21:05 in BCD; ENQ as a 2-byte SD unit; the RD stamp (bit 7
    // set) after 20 ms, too short for an idle word; DLE "0" as RD units; the
    // stamp that opens the next SD block.
    const Bytes expected{0x00, 0x00, 0x01, 0x00, 0x00, 0x38, 0x02, 0x07, 0x00, 0x00, 0x03, 0x13, 0x21, 0x05,
                         0x10, 0x05, 0x03, 0x93, 0x21, 0x05, 0x20, 0x10, 0x20, 0x30, 0x03, 0x13, 0x21, 0x05};
    EXPECT_EQ(items[0], expected);
}

TEST(Measurement, StopKeyEndsWithCountersInformationAndStatus) {
    Session s(AnalyzerOptions{});
    s.pc.packet(request(13, '5', kStart));
    s.pc.tick(200);
    const auto packets = packets_in(s.pc.send(commlib::SynFrame(Bytes{'2', 0, 0x20, 0x0C, 0x22})));
    ASSERT_EQ(packets.size(), 3u);
    EXPECT_EQ(item_of(packets[0]), 0xE000);
    EXPECT_EQ(item_of(packets[1]), 0x8100);
    EXPECT_EQ(packets[2], (Bytes{'2', 0, 0x01, 0x02, 0x00, 0x00}));
    EXPECT_FALSE(s.a.measuring());
    EXPECT_TRUE(values(packets_in(s.pc.tick(500)), 0x8000).empty());
    const auto reason = s.pc.packet(request(15, '4', le16(0x0202)));
    EXPECT_EQ(reason[0], (Bytes{'A', 2, 15, '4', 0x02, 0x02, 1, 1}));
}

TEST(Measurement, ReplayEndsAfterTheFilesLastFrameAsTheAnalyzerStopped) {
    testing_util::TempDir dir;
    const std::string path = dir.file("x.pcap");
    std::vector<pcapfile_test::Record> frames;
    for (std::uint32_t k = 0; k < 300; ++k) frames.push_back({k / 100, 0, {0x01, static_cast<std::uint8_t>(k)}, 0});
    testing_util::write_file(path, pcapfile_test::PcapFile(false, false, 147, frames));
    AnalyzerOptions o;
    o.line_mode = LineMode::Ppp;  // the setup a PC may have put: the file's frames need HDLC
    o.replay = ReplayOptions{path, 0, false, 300, 0};
    Session s(o);
    const auto start = s.pc.packet(request(13, '5', kStart));
    EXPECT_EQ(values(start, 0x8100).at(0)[1], 2);  // HDLC
    std::vector<Bytes> packets;
    for (int k = 0; k < 50 && s.a.measuring(); ++k)
        for (Bytes& p : packets_in(s.pc.tick(10))) packets.push_back(std::move(p));
    ASSERT_FALSE(s.a.measuring());
    std::size_t opening_flags = 0, last_item = 0, stop = 0;
    for (std::size_t k = 0; k < packets.size(); ++k) {
        if (item_of(packets[k]) == 0x8000) {
            last_item = k;
            for (std::uint32_t w : expand_units(std::span(packets[k]).subspan(6)))
                opening_flags += (w & 0xFF0F) == 0x7E0A;
        }
        if (item_of(packets[k]) == 0x0201) stop = k;
    }
    EXPECT_EQ(opening_flags, 300u);
    EXPECT_GT(stop, last_item);  // the status word after every word of the file
    EXPECT_EQ(s.pc.packet(request(15, '4', le16(0x0202)))[0], (Bytes{'A', 2, 15, '4', 0x02, 0x02, 1, 1}));
    const auto report = s.a.take_replay_report();
    ASSERT_TRUE(report);
    EXPECT_TRUE(report->finished);
    EXPECT_EQ(report->sd, 300u);
    EXPECT_FALSE(s.a.take_replay_report());
}

TEST(Measurement, RefusedStartGivesValueZeroAndTheReason) {
    AnalyzerOptions o;
    o.faults.refuse_start = 9;
    Session s(o);
    const auto packets = s.pc.packet(request(13, '5', kStart));
    ASSERT_EQ(packets.size(), 1u);
    EXPECT_EQ(packets[0], (Bytes{'A', 1, 13, '5', 0x21, 0x0C, 1, 0}));
    EXPECT_EQ(s.pc.packet(request(15, '4', le16(0x0202)))[0], (Bytes{'A', 2, 15, '4', 0x02, 0x02, 1, 9}));
}

TEST(Measurement, LostItemsShowAsCounterJumps) {
    AnalyzerOptions o;
    o.records_per_second = 0;  // as fast as the line allows
    o.faults.lose_every_items = 3;
    Session s(o);
    s.pc.packet(request(13, '5', kStart));
    const auto items = values(packets_in(s.pc.tick(10)), 0x8000);
    ASSERT_GE(items.size(), 4u);
    std::uint16_t expected = 0;
    int jumps = 0;
    for (const Bytes& v : items) {
        const std::uint16_t counter = static_cast<std::uint16_t>(v[0] | v[1] << 8);
        if (counter != expected) ++jumps;
        EXPECT_GE(counter, expected);
        expected = static_cast<std::uint16_t>(counter + expand_units(std::span(v).subspan(2)).size());
    }
    EXPECT_GE(jumps, 1);
}

TEST(Measurement, TriggerChangesTheRunningState) {
    AnalyzerOptions o;
    o.records_per_second = 1000;
    o.trigger_after = 500;
    Session s(o);
    s.pc.packet(request(13, '5', kStart));
    EXPECT_TRUE(values(packets_in(s.pc.tick(400)), 0x0201).empty());
    EXPECT_EQ(values(packets_in(s.pc.tick(200)), 0x0201), (std::vector<Bytes>{{0x00, 0x03}}));
    EXPECT_EQ(s.a.status_word(), 0x0300);
}

TEST(Measurement, ARecordLimitEndsTheDataButNotTheMeasurement) {
    AnalyzerOptions o;
    o.records_per_second = 1000;
    o.record_limit = 300;
    Session s(o);
    s.pc.packet(request(13, '5', kStart));
    std::size_t words = 0;
    for (const Bytes& v : values(packets_in(s.pc.tick(1000)), 0x8000))
        words += expand_units(std::span(v).subspan(2)).size();
    EXPECT_EQ(words, 300u);
    EXPECT_EQ(s.a.status_word(), 0x0100);
}

TEST(Measurement, NoCapturedDataWithoutItsSubscription) {
    Analyzer a(AnalyzerOptions{});
    PcSide pc(a);
    pc.enter_packet_mode();
    pc.packet(request(3, '3', {0x01, 0x02, 1, 0x00, 0x80, 0, 0x00, 0xE0, 0}));
    const auto start = pc.packet(request(13, '5', kStart));
    EXPECT_EQ(start.size(), 2u);  // the answer and the status word only
    EXPECT_TRUE(values(packets_in(pc.tick(500)), 0x8000).empty());
    EXPECT_GT(a.records_sent(), 0u);  // the analyzer measures all the same
}

TEST(Measurement, InformationUpdatesFollowTheirSwitchesOnceASecond) {
    Analyzer a(AnalyzerOptions{});
    PcSide pc(a);
    pc.enter_packet_mode();
    pc.packet(request(3, '3', {0x01, 0x02, 1,    0x00, 0xE0, 1,    0x00, 0xE8, 1,    0x00, 0xE9,
                               1,    0x00, 0xEA, 0,    0x00, 0xEB, 1,    0x00, 0xEC, 1}));
    pc.packet(request(13, '5', kStart));
    constexpr std::pair<std::uint16_t, std::size_t> kMinimum[] = {{0xE800, 24}, {0xE900, 4}, {0xEB00, 4}, {0xEC00, 12}};
    int seconds = 0;
    for (int t = 0; t < 25; ++t) {
        const auto packets = packets_in(pc.tick(100));
        EXPECT_TRUE(values(packets, 0xEA00).empty());  // switched off
        const auto e0 = values(packets, 0xE000);
        if (e0.empty()) continue;
        ++seconds;
        for (const auto& [item, minimum] : kMinimum) {
            const auto v = values(packets, item);
            ASSERT_EQ(v.size(), 1u) << std::hex << item;
            EXPECT_GE(v[0].size(), minimum);
        }
    }
    EXPECT_EQ(seconds, 2);
}

TEST(Measurement, AlreadyRunningMeasurementKeepsItsPaceFromTheStart) {
    AnalyzerOptions o;
    o.records_per_second = 1000;
    o.faults.measuring_at_connect = true;
    o.faults.refuse_start = 3;  // refuses new starts, not the one already running
    Analyzer a(o, 5'000'000);
    EXPECT_TRUE(a.measuring());
    a.tick(5'000'250);
    EXPECT_EQ(a.records_sent(), 250u);
}

TEST(Measurement, ItemsStayWithinTheLinksMessageSize) {
    AnalyzerOptions o;
    o.records_per_second = 0;
    o.line_mode = LineMode::Ppp;
    Session s(o);
    s.pc.packet(request(13, '5', kStart));
    const Bytes line = s.pc.tick(10);
    // Between two SYNs the PC keeps at most 2052 bytes, stuffing included.
    std::size_t run = 0, longest = 0;
    for (std::uint8_t b : line) {
        run = b == 0x16 ? 0 : run + 1;
        longest = std::max(longest, run);
    }
    EXPECT_LE(longest, 2052u);
    EXPECT_GT(longest, 1000u);
}

}  // namespace
}  // namespace simulator::test
