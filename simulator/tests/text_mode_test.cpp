// Scripted text-command exchanges with the analyzer: attention, packet-mode
// switch, identification, data sets out as blocks and in as blocks, keys.
#include <gtest/gtest.h>

#include "pc_side.h"
#include "sets/data_store.h"

namespace simulator::test {
namespace {

struct Blocks {
    Bytes data;
    int blocks = 0;
    bool ended = false;
};

// Plays the PC's part of a "%T" get: acknowledges each block until "!".
Blocks fetch(PcSide& pc, const std::string& command, bool hex) {
    Blocks got;
    Bytes answer = pc.send(command);
    EXPECT_FALSE(answer.empty());
    if (answer.empty() || answer[0] != '*') return got;
    answer.erase(answer.begin());
    for (int guard = 0; guard < 1000 && !got.ended; ++guard) {
        if (answer == Bytes{'!'}) {
            got.ended = true;
            break;
        }
        Receiver r;  // our own block decoder checks length/sum and hex pairs
        std::vector<Incoming> events;
        for (std::uint8_t b : answer) r.feed(b, events);
        EXPECT_EQ(events.size(), 1u);
        if (events.size() != 1 || events[0].kind != Incoming::Kind::Block) break;
        EXPECT_EQ(answer[0], hex ? '$' : '&');
        got.data.insert(got.data.end(), events[0].data.begin(), events[0].data.end());
        ++got.blocks;
        answer = pc.send("*");
    }
    return got;
}

TEST(TextMode, AttentionIdentificationAndPacketSwitch) {
    AnalyzerOptions o;
    o.model = Model::Rv7030;
    o.version_major = 2;
    o.version_minor = 0x1A;
    Analyzer a(o);
    PcSide pc(a);
    EXPECT_EQ(text(pc.send("###")), "*");
    EXPECT_EQ(text(pc.send("%T0\r\n")), "*RV-7030 2.1A\r\n");
    EXPECT_EQ(text(pc.send("*")), "");  // the PC's acknowledgement of the line needs no answer
    EXPECT_EQ(text(pc.send("%Z9\r\n")), "?");
    EXPECT_FALSE(a.packet_mode());
    EXPECT_EQ(text(pc.send("%@X\r\n")), "*");
    EXPECT_TRUE(a.packet_mode());
    // In packet mode text commands go unanswered.
    EXPECT_EQ(text(pc.send("%T0\r\n")), "");
}

TEST(TextMode, TextOnlyFirmwareRefusesPacketMode) {
    AnalyzerOptions o;
    o.text_only = true;
    o.model = Model::Rv7010;
    o.version_major = 1;
    o.version_minor = 0;
    Analyzer a(o);
    PcSide pc(a);
    EXPECT_EQ(text(pc.send("%@X\r\n")), "?");
    EXPECT_EQ(text(pc.send("%@X\r\n")), "?");
    EXPECT_FALSE(a.packet_mode());
    EXPECT_EQ(text(pc.send("%T0\r\n")), "*RV-7010 1.00\r\n");
}

TEST(TextMode, SetupGoesOutAsBinaryBlocksAckedOneByOne) {
    AnalyzerOptions o;
    Analyzer a(o);
    PcSide pc(a);
    const Blocks got = fetch(pc, "%T1\r\n", false);
    EXPECT_TRUE(got.ended);
    EXPECT_EQ(got.blocks, 8);  // 7 x 128 + 14
    EXPECT_EQ(got.data, default_setup(o.model, LineMode::Hdlc));
}

TEST(TextMode, HexBlocksCarryTheSameTable) {
    AnalyzerOptions o;
    o.hex_blocks = true;
    Analyzer a(o);
    PcSide pc(a);
    const Blocks got = fetch(pc, "%T2\r\n", true);
    EXPECT_TRUE(got.ended);
    ASSERT_GE(got.data.size(), 68u);
    const unsigned n = got.data[64] | got.data[65] << 8;
    EXPECT_EQ(got.data.size(), 68 + 2 * n);
}

TEST(TextMode, NoAckMeansNoNextBlockAndSlashCancels) {
    Analyzer a(AnalyzerOptions{});
    PcSide pc(a);
    const Bytes first = pc.send("%T1\r\n");
    ASSERT_GT(first.size(), 1u);
    EXPECT_EQ(text(pc.send("/")), "");
    EXPECT_EQ(text(pc.send("*")), "");  // nothing more after the cancel
}

TEST(TextMode, ModelWithoutProgramRefusesItsTransfer) {
    AnalyzerOptions o;
    o.model = Model::Rv7010;
    Analyzer a(o);
    PcSide pc(a);
    EXPECT_EQ(text(pc.send("%T5\r\n")), "?");
    EXPECT_EQ(text(pc.send("%T3\r\n")), "?");
    EXPECT_EQ(text(pc.send("%R5\r\n")), "?");
}

TEST(TextMode, ReceivedSetupIsStoredAndSentBack) {
    AnalyzerOptions o;
    Analyzer a(o);
    PcSide pc(a);
    Bytes setup = default_setup(o.model, LineMode::Hdlc);
    setup[1] = 4;     // PPP
    setup[880] = 36;  // 115200
    EXPECT_EQ(text(pc.send("%R1\r\n")), "*");
    for (std::size_t at = 0; at < setup.size(); at += 128) {
        const std::size_t n = std::min<std::size_t>(128, setup.size() - at);
        Bytes block(n + 4);
        block.resize(commlib::FrameBinaryBlock(std::span(setup.data() + at, n), block));
        EXPECT_EQ(text(pc.send(block)), "*");
    }
    EXPECT_EQ(text(pc.send("!")), "");
    EXPECT_EQ(fetch(pc, "%T1\r\n", false).data, setup);
}

TEST(TextMode, ShortOrDamagedUploadLeavesTheSetupAlone) {
    AnalyzerOptions o;
    Analyzer a(o);
    PcSide pc(a);
    const Bytes before = fetch(pc, "%T1\r\n", false).data;
    EXPECT_EQ(text(pc.send("%R1\r\n")), "*");
    Bytes bad{'&', 3, 0, 1, 2, 3, 0x00};  // wrong check byte: dropped, not acknowledged
    EXPECT_EQ(text(pc.send(bad)), "");
    Bytes good{'&', 2, 0, 7, 8};
    good.push_back(static_cast<std::uint8_t>(-(2 + 7 + 8) & 0xFF));
    EXPECT_EQ(text(pc.send(good)), "*");
    pc.send("!");  // 2 bytes are no setup
    EXPECT_EQ(fetch(pc, "%T1\r\n", false).data, before);
}

TEST(TextMode, EndlessUploadIsRefused) {
    Analyzer a(AnalyzerOptions{});
    PcSide pc(a);
    EXPECT_EQ(text(pc.send("%R3\r\n")), "*");
    const Bytes data(2048, 0x01);
    Bytes block(2052);
    block.resize(commlib::FrameBinaryBlock(data, block));
    std::string answer;
    for (int i = 0; i < 40 && answer != "?"; ++i) answer = text(pc.send(block));
    EXPECT_EQ(answer, "?");
    EXPECT_EQ(text(pc.send(block)), "");  // no longer receiving
}

TEST(TextMode, KeysStartAndStopTheMeasurement) {
    Analyzer a(AnalyzerOptions{});
    PcSide pc(a);
    EXPECT_EQ(text(pc.send("%K21\r\n")), "*");
    EXPECT_TRUE(a.measuring());
    EXPECT_EQ(a.status_word(), 0x0100);
    EXPECT_EQ(text(pc.send("%K22\r\n")), "*");
    EXPECT_FALSE(a.measuring());
    EXPECT_EQ(text(pc.send("%K01A5\r\n")), "*");
    EXPECT_EQ(text(pc.send("%KXY\r\n")), "?");
    EXPECT_EQ(text(pc.send("%Q\r\n")), "*");
}

TEST(TextMode, RefusedStartAnswersSlash) {
    AnalyzerOptions o;
    o.faults.refuse_start = 7;
    Analyzer a(o);
    PcSide pc(a);
    EXPECT_EQ(text(pc.send("%K21\r\n")), "/");
    EXPECT_FALSE(a.measuring());
}

TEST(TextMode, MuteAnalyzerNeverAnswers) {
    AnalyzerOptions o;
    o.faults.mute = true;
    Analyzer a(o);
    PcSide pc(a);
    EXPECT_TRUE(pc.send("###").empty());
    EXPECT_TRUE(pc.send("%T0\r\n").empty());
}

TEST(TextMode, GoesDeadInTheMiddleOfATransfer) {
    AnalyzerOptions o;
    o.faults.silent_after_blocks = 2;
    Analyzer a(o);
    PcSide pc(a);
    EXPECT_GT(pc.send("%T1\r\n").size(), 1u);
    EXPECT_GT(pc.send("*").size(), 0u);
    EXPECT_TRUE(pc.send("*").empty());
    EXPECT_TRUE(pc.send("###").empty());
}

}  // namespace
}  // namespace simulator::test
