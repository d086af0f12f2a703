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
void StartSupervised(Harness& h, std::uint8_t value) {
    h.ConnectPacket();
    h.Request(ReqMeasure, 1);
    h.Answer(13, '5', Record(0x0C21, {1}));
    EXPECT_THAT(h.TakePackets(), ElementsAre(Bytes{'@', 2, 13, '5', 0x21, 0x0C, 1, 1}, Bytes{'@', 3, 1, '1', 50}));
    h.Answer(1, '1', {value});
    h.TakeNotes();
}

// Neither keep-alives nor a lost link in twice the time the link may be silent.
bool Unsupervised(Harness& h) {
    h.Ticks(2 * engine::LinkLossTicks(50));
    return h.TakeSent().empty() && h.TakeNotes().empty();
}

TEST(EngineSupervision, KeepAlivesGoOutWhileWeAreQuietAndTheAnalyzerIsHeard) {
    Harness h;
    StartSupervised(h, 50);
    // 50 gives a keep-alive every 10 ticks and gives up after 37 silent ones.
    for (int round = 0; round < 5; ++round) {
        h.Ticks(9);
        EXPECT_TRUE(h.TakeSent().empty()) << round;
        h.Ticks(1);
        EXPECT_THAT(h.TakePackets(), ElementsAre(Bytes{'1', 50})) << round;
        h.Event(EvWriteDone);
        h.Packet({'1', 50});  // the analyzer's own keep-alive
    }
    // Our writes put the next keep-alive off.
    h.Ticks(9);
    h.Event(EvWriteDone);
    h.Ticks(9);
    EXPECT_TRUE(h.TakeSent().empty());
    EXPECT_TRUE(h.TakeNotes().empty());
    EXPECT_NE(h.engine->Current(), State::Idle);
}

TEST(EngineSupervision, ASilentAnalyzerEndsTheSessionWithLinkLost) {
    Harness h;
    StartSupervised(h, 50);
    h.capture->calls.clear();
    h.Ticks(36);
    EXPECT_TRUE(h.TakeNotes().empty());
    h.Packet({'1', 50});  // anything heard starts the count again
    h.Ticks(36);
    EXPECT_TRUE(h.TakeNotes().empty());
    h.Ticks(1);
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{NtfyLinkLost, LinkLostSilent, nullptr}));
    EXPECT_EQ(h.engine->Current(), State::Idle);
    EXPECT_THAT(h.capture->calls, ElementsAre("reset"));  // the block file is closed with what it holds
    h.TakeSent();
    EXPECT_TRUE(Unsupervised(h));
}

TEST(EngineSupervision, OffWhenRefusedWhenTheMeasurementStopsAndOnEveryReset) {
    Harness refused;
    refused.ConnectPacket();
    refused.Request(ReqMeasure, 1);
    refused.Answer(13, '5', Record(0x0C21, {1}));
    refused.Refuse(1, '1', 2);
    EXPECT_THAT(refused.TakeNotes(), ElementsAre(Note{ReqMeasure, StatusDone, nullptr}));
    refused.TakeSent();
    EXPECT_TRUE(Unsupervised(refused));

    // A refused start asks for no supervision at all.
    Harness notStarted;
    notStarted.ConnectPacket();
    notStarted.Request(ReqMeasure, 1);
    notStarted.Answer(13, '5', Record(0x0C21, {0}));
    EXPECT_THAT(notStarted.TakePackets(), ElementsAre(Bytes{'@', 2, 13, '5', 0x21, 0x0C, 1, 1}));

    Harness stopped;
    StartSupervised(stopped, 50);
    stopped.Notification(0x0201, {0x00, 0x01});
    stopped.Notification(0x0201, {0x00, 0x00});
    EXPECT_THAT(stopped.TakePackets(), ElementsAre(Bytes{'@', 4, 1, '1', 0}));
    stopped.TakeNotes();
    EXPECT_TRUE(Unsupervised(stopped));  // off at once, before the analyzer answers
    stopped.Answer(1, '1', {0});
    EXPECT_TRUE(Unsupervised(stopped));
    EXPECT_NE(stopped.engine->Current(), State::Idle);

    Harness analyzerReset;
    StartSupervised(analyzerReset, 50);
    analyzerReset.Packet({'0', 0});  // the analyzer's full reset ends supervision too
    EXPECT_TRUE(Unsupervised(analyzerReset));
    Harness engineReset;
    StartSupervised(engineReset, 50);
    engineReset.engine->Reset();
    EXPECT_TRUE(Unsupervised(engineReset));
}

TEST(EngineSupervision, ThePortGoingAwayEndsAnySessionAtOnce) {
    for (bool packetMode : {true, false}) {
        Harness h;
        if (packetMode) StartSupervised(h, 50);
        else h.ConnectText();
        h.capture->calls.clear();
        h.Event(EvLineGone);
        EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{NtfyLinkLost, LinkLostPortGone, nullptr})) << packetMode;
        EXPECT_EQ(h.engine->Current(), State::Idle);
        EXPECT_THAT(h.capture->calls, ElementsAre("reset"));
        EXPECT_TRUE(h.TakeSent().empty());
    }
}

}  // namespace
}  // namespace commlib::test
