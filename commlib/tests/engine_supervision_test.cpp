// Watching the line while a measurement runs: the supervision request after a
// confirmed start, keep-alives when we have been quiet, the session's end when
// the analyzer is silent too long, and the port that goes away for good.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine_harness.h"

namespace commlib::test {
namespace {

using ::testing::ElementsAre;

// Connected in packet mode with a confirmed measurement start and the
// supervision request answered with `value`.
void startSupervised(Harness& h, std::uint8_t value) {
    h.connectPacket();
    h.request(ReqMeasure, 1);
    h.answer(13, '5', record(0x0C21, {1}));
    EXPECT_THAT(h.takePackets(), ElementsAre(Bytes{'@', 2, 13, '5', 0x21, 0x0C, 1, 1}, Bytes{'@', 3, 1, '1', 50}));
    h.answer(1, '1', {value});
    h.takeNotes();
}

TEST(EngineSupervision, KeepAlivesGoOutWhileWeAreQuietAndTheAnalyzerIsHeard) {
    Harness h;
    startSupervised(h, 50);
    EXPECT_EQ(h.engine->Supervision(), 50);
    // 50 gives a keep-alive every 10 ticks and gives up after 37 silent ones.
    for (int round = 0; round < 5; ++round) {
        h.ticks(9);
        EXPECT_TRUE(h.takeSent().empty()) << round;
        h.ticks(1);
        EXPECT_THAT(h.takePackets(), ElementsAre(Bytes{'1', 50})) << round;
        h.event(EvWriteDone);
        h.packet({'1', 50});   // the analyzer's own keep-alive
    }
    // Our writes put the next keep-alive off.
    h.ticks(9);
    h.event(EvWriteDone);
    h.ticks(9);
    EXPECT_TRUE(h.takeSent().empty());
    EXPECT_TRUE(h.takeNotes().empty());
    EXPECT_NE(h.engine->Current(), State::Idle);
}

TEST(EngineSupervision, ASilentAnalyzerEndsTheSessionWithLinkLost) {
    Harness h;
    startSupervised(h, 50);
    h.capture->calls.clear();
    h.ticks(36);
    EXPECT_TRUE(h.takeNotes().empty());
    h.packet({'1', 50});   // anything heard starts the count again
    h.ticks(36);
    EXPECT_TRUE(h.takeNotes().empty());
    h.ticks(1);
    EXPECT_THAT(h.takeNotes(), ElementsAre(Note{NtfyLinkLost, LinkLostSilent, nullptr}));
    EXPECT_EQ(h.engine->Current(), State::Idle);
    EXPECT_EQ(h.engine->Supervision(), 0);
    EXPECT_THAT(h.capture->calls, ElementsAre("reset"));   // the block file is closed with what it holds
    h.ticks(100);
    EXPECT_TRUE(h.takeNotes().empty());
}

TEST(EngineSupervision, OffWhenRefusedWhenTheMeasurementStopsAndOnEveryReset) {
    Harness refused;
    refused.connectPacket();
    refused.request(ReqMeasure, 1);
    refused.answer(13, '5', record(0x0C21, {1}));
    refused.refuse(1, '1', 2);
    refused.ticks(200);
    EXPECT_EQ(refused.engine->Supervision(), 0);
    EXPECT_THAT(refused.takeNotes(), ElementsAre(Note{ReqMeasure, StatusDone, nullptr}));

    // A refused start asks for no supervision at all.
    Harness notStarted;
    notStarted.connectPacket();
    notStarted.request(ReqMeasure, 1);
    notStarted.answer(13, '5', record(0x0C21, {0}));
    EXPECT_THAT(notStarted.takePackets(), ElementsAre(Bytes{'@', 2, 13, '5', 0x21, 0x0C, 1, 1}));

    Harness stopped;
    startSupervised(stopped, 50);
    stopped.notification(0x0201, {0x00, 0x01});
    stopped.notification(0x0201, {0x00, 0x00});
    EXPECT_EQ(stopped.engine->Supervision(), 0);
    EXPECT_THAT(stopped.takePackets(), ElementsAre(Bytes{'@', 4, 1, '1', 0}));
    stopped.answer(1, '1', {0});
    stopped.ticks(200);
    EXPECT_TRUE(stopped.takePackets().empty());
    EXPECT_NE(stopped.engine->Current(), State::Idle);

    Harness analyzerReset;
    startSupervised(analyzerReset, 50);
    analyzerReset.packet({'0', 0});   // the analyzer's full reset ends supervision too
    EXPECT_EQ(analyzerReset.engine->Supervision(), 0);
    Harness engineReset;
    startSupervised(engineReset, 50);
    engineReset.engine->Reset();
    EXPECT_EQ(engineReset.engine->Supervision(), 0);
}

TEST(EngineSupervision, ThePortGoingAwayEndsAnySessionAtOnce) {
    for (bool packetMode : {true, false}) {
        Harness h;
        if (packetMode) startSupervised(h, 50);
        else h.connectText();
        h.capture->calls.clear();
        h.event(EvLineGone);
        EXPECT_THAT(h.takeNotes(), ElementsAre(Note{NtfyLinkLost, LinkLostPortGone, nullptr})) << packetMode;
        EXPECT_EQ(h.engine->Current(), State::Idle);
        EXPECT_THAT(h.capture->calls, ElementsAre("reset"));
        EXPECT_TRUE(h.takeSent().empty());
    }
}

} // namespace
} // namespace commlib::test
