// Scripted packet-mode exchanges with the analyzer: the connect query,
// sequence numbers and repeats, subscriptions, data-set gets answered with
// "D" pieces and "E", puts, and the notifications of a measurement.
#include <gtest/gtest.h>

#include "pc_side.h"
#include "sets/data_store.h"

namespace simulator::test {
namespace {

constexpr std::uint8_t kKindA = 'A', kKindB = 'B', kKindD = 'D', kKindE = 'E';

// The data a get delivered, checked piece by piece (offsets, flags, item).
Bytes collect(const std::vector<Bytes>& packets, std::uint8_t id, std::uint16_t item, int* pieces = nullptr) {
    Bytes data;
    int n = 0;
    for (const Bytes& p : packets) {
        if (p[0] != kKindD) continue;
        EXPECT_EQ(p[2], id);
        EXPECT_EQ(p[4] | p[5] << 8, item);
        const std::uint32_t offset = p[6] | p[7] << 8 | p[8] << 16 | static_cast<std::uint32_t>(p[9]) << 24;
        EXPECT_EQ(offset, data.size());
        data.insert(data.end(), p.begin() + 10, p.end());
        ++n;
        const bool last = &p == &packets.back();
        EXPECT_EQ(p[3], last ? 1 : 0);
    }
    if (pieces) *pieces = n;
    return data;
}

TEST(PacketMode, ConnectQueryAnswersModelNameVersionAndStatus) {
    AnalyzerOptions o;
    o.model = Model::Rv7010;
    o.version_major = 1;
    o.version_minor = 0x23;
    Analyzer a(o);
    PcSide pc(a);
    EXPECT_EQ(text(pc.send("###")), "*");
    EXPECT_EQ(text(pc.send("%@X\r\n")), "*");
    // The reset and the connect query exactly as the PC puts them on the line.
    EXPECT_TRUE(pc.send(Bytes{0x16, 0x30, 0x00, 0xE5, 0xB9, 0x16}).empty());
    const auto answer = packets_in(
        pc.send(Bytes{0x16, 0x40, 0x00, 0x02, 0x34, 0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x01, 0x02, 0x56, 0xCE, 0x16}));
    ASSERT_EQ(answer.size(), 1u);
    const Bytes expected{'A', 0,   2,   '4', 0x01, 0x00, 1, 4,    0x02, 0x00, 8,    'R', 'V',  '-', '7',
                         '0', '1', '0', 0,   0x03, 0x00, 2, 0x23, 0x01, 0x01, 0x02, 2,   0x00, 0x00};
    EXPECT_EQ(answer[0], expected);
}

TEST(PacketMode, AlreadyMeasuringShowsInTheStatusWord) {
    AnalyzerOptions o;
    o.faults.measuring_at_connect = true;
    Analyzer a(o);
    PcSide pc(a);
    pc.enter_packet_mode();
    const auto answer = pc.packet(request(2, '4', {0x01, 0x02}));
    ASSERT_EQ(answer.size(), 1u);
    EXPECT_EQ(answer[0], (Bytes{'A', 0, 2, '4', 0x01, 0x02, 2, 0x00, 0x01}));
}

TEST(PacketMode, WrongSequenceNumberIsAnsweredWithRepeatRequest) {
    Analyzer a(AnalyzerOptions{});
    PcSide pc(a);
    pc.enter_packet_mode();
    const auto answer = packets_in(pc.send(commlib::SynFrame(Bytes{'@', 1, 2, '4', 0x01, 0x00})));
    ASSERT_EQ(answer.size(), 1u);
    EXPECT_EQ(answer[0], (Bytes{'?', 0}));
    // The expected number still works afterwards.
    EXPECT_EQ(pc.packet(request(2, '4', {0x01, 0x00}))[0][0], kKindA);
}

TEST(PacketMode, RepeatRequestResendsWhatThePcMissed) {
    Analyzer a(AnalyzerOptions{});
    PcSide pc(a);
    pc.enter_packet_mode();
    const auto first = pc.packet(request(2, '4', {0x01, 0x00}));
    const auto second = pc.packet(request(2, '4', {0x03, 0x00}));
    ASSERT_EQ(first.size(), 1u);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(first[0][1], 0);
    EXPECT_EQ(second[0][1], 1);
    const auto again = pc.packet({'?', 0});
    ASSERT_EQ(again.size(), 2u);
    EXPECT_EQ(again[0], first[0]);
    EXPECT_EQ(again[1], second[0]);
    EXPECT_TRUE(pc.packet({'?', 2}).empty());  // nothing missing
}

TEST(PacketMode, SubscriptionIsEchoedAsApplied) {
    Analyzer a(AnalyzerOptions{});
    PcSide pc(a);
    pc.enter_packet_mode();
    const Bytes entries{0x01, 0x02, 1, 0x01, 0x0B, 1, 0x20, 0x0C, 1, 0x00, 0x80, 0, 0x00, 0xE0, 0};
    const auto answer = pc.packet(request(3, '3', entries));
    ASSERT_EQ(answer.size(), 1u);
    Bytes expected{'A', 0, 3, '3'};
    expected.insert(expected.end(), entries.begin(), entries.end());
    EXPECT_EQ(answer[0], expected);
}

TEST(PacketMode, SetupGetIsOneLastPiece) {
    AnalyzerOptions o;
    Analyzer a(o);
    PcSide pc(a);
    pc.enter_packet_mode();
    const auto answer = pc.packet(request(4, '6', le16(0x2000)));
    ASSERT_EQ(answer.size(), 2u);
    EXPECT_EQ(answer[0], (Bytes{kKindA, 0, 4, '6', 0x00, 0x20}));
    int pieces = 0;
    EXPECT_EQ(collect(answer, 4, 0x2000, &pieces), default_setup(o.model, LineMode::Hdlc));
    EXPECT_EQ(pieces, 1);
    // The PC's "E" closes the transfer without an answer.
    EXPECT_TRUE(pc.packet({kKindE, 0, 4, 1, 0x00, 0x20}).empty());
}

TEST(PacketMode, ScreenGetComesInPiecesOf1008) {
    Analyzer a(AnalyzerOptions{});
    PcSide pc(a);
    pc.enter_packet_mode();
    const auto answer = pc.packet(request(17, '6', le16(0xF000)));
    ASSERT_EQ(answer.size(), 3u);
    EXPECT_EQ(answer[1].size(), 10u + 1008u);
    int pieces = 0;
    const Bytes screen = collect(answer, 17, 0xF000, &pieces);
    EXPECT_EQ(pieces, 2);
    const auto shown = a.screen();
    EXPECT_EQ(screen, Bytes(shown.begin(), shown.end()));
}

TEST(PacketMode, MissingDataSetIsRefusedAsUnavailable) {
    AnalyzerOptions o;
    o.model = Model::Rv7020;
    Analyzer a(o);
    PcSide pc(a);
    pc.enter_packet_mode();
    EXPECT_EQ(pc.packet(request(6, '6', le16(0x7000)))[0], (Bytes{kKindB, 0, 6, '6', 2, 0}));
    EXPECT_EQ(pc.packet(request(99, '9', {}))[0], (Bytes{kKindB, 1, 99, '9', 2, 0}));
}

TEST(PacketMode, PutTableIsStoredAndComesBackOnTheNextGet) {
    Analyzer a(AnalyzerOptions{});
    PcSide pc(a);
    pc.enter_packet_mode();
    ASSERT_EQ(pc.packet(request(9, '7', le16(0x6000)))[0], (Bytes{kKindA, 0, 9, '7', 0x00, 0x60}));
    Bytes table(68 + 2 * 3, 0);
    table[4 * 1] = 3;  // table 0 holds three cells, the others none
    for (int k = 2; k <= 16; ++k) table[4 * k] = 3;
    table[68] = 0x41, table[70] = 0x42, table[72] = 0x43;
    Bytes piece{kKindD, 0, 9, 1, 0x00, 0x60, 0, 0, 0, 0};
    piece.insert(piece.end(), table.begin(), table.end());
    EXPECT_EQ(pc.packet(piece)[0], (Bytes{kKindE, 1, 9, 1, 0x00, 0x60}));
    EXPECT_EQ(collect(pc.packet(request(5, '6', le16(0x6000))), 5, 0x6000), table);
    EXPECT_EQ(a.data_set(0x6000), table);
    EXPECT_TRUE(a.data_set(0x7000).empty());  // no program on this model
}

TEST(PacketMode, MalformedPutIsRefusedAndUnexpectedPiecesAreTurnedAway) {
    Analyzer a(AnalyzerOptions{});
    PcSide pc(a);
    pc.enter_packet_mode();
    pc.packet(request(8, '7', le16(0x2000)));
    const Bytes short_setup{kKindD, 0, 8, 1, 0x00, 0x20, 0, 0, 0, 0, 1, 2, 3};
    EXPECT_EQ(pc.packet(short_setup)[0], (Bytes{kKindE, 1, 8, 0x81, 0x00, 0x20}));
    const Bytes stray{kKindD, 0, 8, 0, 0x00, 0x20, 0, 0, 0, 0, 1};
    EXPECT_EQ(pc.packet(stray)[0], (Bytes{kKindE, 2, 8, 0x80, 0x00, 0x20}));
}

TEST(PacketMode, SetupCannotBePutWhileMeasuring) {
    AnalyzerOptions o;
    o.faults.measuring_at_connect = true;
    Analyzer a(o);
    PcSide pc(a);
    pc.enter_packet_mode();
    EXPECT_EQ(pc.packet(request(8, '7', le16(0x2000)))[0], (Bytes{kKindB, 0, 8, '7', 3, 0}));
}

TEST(PacketMode, SessionEndReturnsToTextMode) {
    Analyzer a(AnalyzerOptions{});
    PcSide pc(a);
    pc.enter_packet_mode();
    EXPECT_EQ(pc.packet(request(0, '0', {}))[0], (Bytes{kKindA, 0, 0, '0'}));
    EXPECT_FALSE(a.packet_mode());
    EXPECT_EQ(text(pc.send("###")), "*");
}

TEST(PacketMode, AttentionInPacketModeRenumbersSilently) {
    Analyzer a(AnalyzerOptions{});
    PcSide pc(a);
    pc.enter_packet_mode();
    pc.packet(request(2, '4', {0x01, 0x00}));
    pc.packet(request(2, '4', {0x01, 0x00}));
    // A new PC program: "###" goes unanswered, then the exit with sequence 0 is taken.
    EXPECT_TRUE(pc.send("###").empty());
    pc.seq = 0;
    EXPECT_EQ(pc.packet(request(16, '0', {}))[0], (Bytes{kKindA, 0, 16, '0'}));
    EXPECT_FALSE(a.packet_mode());
}

TEST(PacketMode, KeysFromThePcMoveTheMenu) {
    Analyzer a(AnalyzerOptions{});
    PcSide pc(a);
    pc.enter_packet_mode();
    EXPECT_TRUE(pc.packet({'2', 0, 0x20, 0x0C, 19}).empty());        // down
    EXPECT_TRUE(pc.packet({'2', 0, 0x20, 0x0C, 19 + 128}).empty());  // shifted down is no arrow
    const auto before = pc.packet(request(17, '6', le16(0xF000)));
    EXPECT_TRUE(pc.packet({'2', 0, 0x20, 0x0C, 18}).empty());  // up
    const auto after = pc.packet(request(17, '6', le16(0xF000)));
    EXPECT_NE(collect(before, 17, 0xF000), collect(after, 17, 0xF000));
}

TEST(PacketMode, LocalKeyIsReportedToASubscribedPc) {
    Analyzer a(AnalyzerOptions{});
    PcSide pc(a);
    pc.enter_packet_mode();
    pc.packet(request(3, '3', {0x20, 0x0C, 1}));
    const auto report = packets_in(a.press_local_key(0x1A5, 0));
    ASSERT_EQ(report.size(), 1u);
    EXPECT_EQ(report[0], (Bytes{'2', 0, 0x20, 0x0C, 0xA5, 0x01}));
}

TEST(PacketMode, DroppedAndCorruptedFramesNeverReachThePc) {
    AnalyzerOptions o;
    o.faults.drop_frames = {1};
    o.faults.corrupt_frames = {2};
    Analyzer a(o);
    PcSide pc(a);
    pc.enter_packet_mode();
    EXPECT_TRUE(pc.packet(request(2, '4', {0x01, 0x00})).empty());
    const Bytes line = pc.send(commlib::SynFrame(Bytes{'@', pc.seq++, 2, '4', 0x01, 0x00}));
    EXPECT_FALSE(line.empty());
    EXPECT_TRUE(packets_in(line).empty());
    // The PC's repeat request brings both answers back.
    EXPECT_EQ(pc.packet({'?', 0}).size(), 2u);
}

TEST(PacketMode, DelayedFrameHoldsBackTheFramesBehindIt) {
    AnalyzerOptions o;
    o.faults.delay_frames = {1};
    o.faults.delay_ms = 500;
    Analyzer a(o);
    PcSide pc(a);
    pc.enter_packet_mode();
    EXPECT_TRUE(pc.packet(request(2, '4', {0x01, 0x00})).empty());
    EXPECT_TRUE(pc.packet(request(2, '4', {0x03, 0x00})).empty());
    EXPECT_TRUE(packets_in(pc.tick(400)).empty());
    const auto late = packets_in(pc.tick(100));
    ASSERT_EQ(late.size(), 2u);
    EXPECT_EQ(late[0][1], 0);
    EXPECT_EQ(late[1][1], 1);
}

TEST(PacketMode, GoesDeadAfterTheChosenFrame) {
    AnalyzerOptions o;
    o.faults.silent_after_frames = 1;
    Analyzer a(o);
    PcSide pc(a);
    pc.enter_packet_mode();
    EXPECT_EQ(pc.packet(request(2, '4', {0x01, 0x00})).size(), 1u);
    EXPECT_TRUE(pc.packet(request(2, '4', {0x01, 0x00})).empty());
}

}  // namespace
}  // namespace simulator::test

namespace simulator::test {
namespace {

TEST(PacketMode, LinkSupervisionSendsKeepAlivesUntilSwitchedOff) {
    Analyzer a(AnalyzerOptions{});
    PcSide pc(a);
    pc.enter_packet_mode();
    EXPECT_EQ(pc.packet(request(1, '1', {50})), (std::vector<Bytes>{{'A', 0, 1, '1', 50}}));
    // 50 asks for a keep-alive every 10 ticks of 200 ms.
    EXPECT_TRUE(packets_in(pc.tick(1999)).empty());
    EXPECT_EQ(packets_in(pc.tick(1)), (std::vector<Bytes>{{'1', 50}}));
    EXPECT_TRUE(packets_in(pc.tick(1999)).empty());
    EXPECT_EQ(packets_in(pc.tick(1)), (std::vector<Bytes>{{'1', 50}}));
    EXPECT_EQ(pc.packet(request(1, '1', {0})), (std::vector<Bytes>{{'A', 1, 1, '1', 0}}));
    EXPECT_TRUE(packets_in(pc.tick(10000)).empty());
    // The PC's full reset switches it off too.
    pc.packet(request(1, '1', {50}));
    pc.packet({'0', 0});
    EXPECT_TRUE(packets_in(pc.tick(10000)).empty());
}

TEST(PacketMode, AnAnalyzerThatGoesSilentSendsNoKeepAlives) {
    AnalyzerOptions o;
    o.faults.silent_after_frames = 0;  // dead from its first frame on
    Analyzer a(o);
    PcSide pc(a);
    pc.enter_packet_mode();
    EXPECT_TRUE(pc.packet(request(1, '1', {50})).empty());
    EXPECT_TRUE(packets_in(pc.tick(10000)).empty());
}

}  // namespace
}  // namespace simulator::test
