// Packet mode: sequence numbers, the analyzer's repeat requests and resets,
// minimum lengths, the reply-timer rules and failing pending operations, and
// ending the session.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine_harness.h"

namespace commlib::test {
namespace {

using ::testing::ElementsAre;

TEST(EnginePacket, PacketAheadOfTheSequenceIsDroppedAndRepeatRequested) {
    Harness h;
    h.ConnectPacket();
    EXPECT_EQ(h.ExpectedSequence(), 2);  // the two answers of the handshake
    h.Request(ReqGetStopReason);
    h.TakeSent();
    h.analyzerSeq = 3;
    h.Answer(15, '4', Record(0x0202, {7}));
    EXPECT_THAT(h.TakePackets(), ElementsAre(Bytes{'?', 2}));
    EXPECT_TRUE(h.TakeNotes().empty());
    EXPECT_EQ(h.ExpectedSequence(), 2);
    // The repeat with the right number is taken.
    h.analyzerSeq = 2;
    h.Answer(15, '4', Record(0x0202, {7}));
    const auto notes = h.TakeNotes();
    ASSERT_THAT(notes, ElementsAre(Note{ReqGetStopReason, StatusDone, nullptr}));
    EXPECT_EQ(*static_cast<int*>(notes[0].data), 7);
    EXPECT_EQ(h.ExpectedSequence(), 3);
}

TEST(EnginePacket, RepeatRequestForOurLastPacketIsIgnored) {
    Harness h;
    h.ConnectPacket();
    h.Request(ReqGetSetup);
    h.TakeSent();
    h.Packet({'?', 2});  // the get went out with 2
    EXPECT_TRUE(h.TakeSent().empty());
    EXPECT_TRUE(h.TakeNotes().empty());
    EXPECT_TRUE(h.Waiting());
}

TEST(EnginePacket, RepeatRequestRepeatsTheHandshakeStepWhileRetriesLast) {
    Harness h;
    h.Request(ReqConnect);
    h.Ack();
    h.Ack();
    h.TakeSent();
    h.Packet({'?', 5});
    EXPECT_THAT(h.TakePackets(), ElementsAre(Bytes{'0', 0}, Bytes{'@', 0, 2, '4', 1, 0, 2, 0, 3, 0, 1, 2}));
    h.Packet({'?', 5});
    EXPECT_EQ(h.TakePackets().size(), 2u);
    h.Packet({'?', 5});  // two repeats were all: the third fails the connection
    EXPECT_THAT(h.TakePackets(), ElementsAre(Bytes{'0', 0}));
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqConnect, StatusLostPacket, nullptr}));
    EXPECT_FALSE(h.Waiting());
    // The subscription is repeated the same way.
    Harness s;
    s.Request(ReqConnect);
    s.Ack();
    s.Ack();
    s.Answer(2, '4', {});
    s.TakeSent();
    s.Packet({'?', 9});
    auto packets = s.TakePackets();
    ASSERT_EQ(packets.size(), 2u);
    EXPECT_EQ(packets[1][2], 3);
}

TEST(EnginePacket, RepeatRequestWithNothingToRepeatFailsPendingWithLostPacket) {
    Harness h;
    h.ConnectPacket();
    h.Request(ReqGetStopReason);
    h.Request(ReqGetTable);
    h.TakeSent();
    h.Packet({'?', 0x33});
    EXPECT_THAT(h.TakePackets(), ElementsAre(Bytes{'0', 0}));
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqGetStopReason, StatusLostPacket, nullptr},
                                           Note{ReqGetTable, StatusLostPacket, nullptr}));
    // The reset it sent numbers both ways from 0 again.
    EXPECT_EQ(h.ExpectedSequence(), 0);
    h.Request(ReqGetSetup);
    EXPECT_THAT(h.TakePackets(), ElementsAre(Bytes{'@', 0, 4, '6', 0x00, 0x20}));
}

TEST(EnginePacket, AnalyzerResetsApplyToTheirParts) {
    Harness h;
    h.ConnectPacket();
    h.Request(ReqGetSetup);
    h.TakeSent();
    h.Ticks(1);
    h.Packet({'0', 1});  // the numbering only: the get still times out on time
    EXPECT_EQ(h.ExpectedSequence(), 0);
    EXPECT_EQ(h.Expire(), 4);
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqGetSetup, StatusNoAnswer, nullptr}));
    h.Request(ReqGetTable);
    EXPECT_THAT(h.TakePackets(), ElementsAre(Bytes{'@', 0, 5, '6', 0x00, 0x60}));
    h.analyzerSeq = 0;
    h.Packet({'0', 2});  // the reply timer only
    EXPECT_EQ(h.Expire(), 0);
    h.Request(ReqGetStopReason);
    h.Packet({'0', 0});  // both
    EXPECT_EQ(h.Expire(), 0);
    h.Request(ReqGetScreen);
    EXPECT_EQ(h.TakePackets().back().at(1), 0);
}

TEST(EnginePacket, ShortAndUnhandledPacketsAreIgnoredButCounted) {
    Harness h;
    h.ConnectPacket();
    h.Request(ReqGetSetup);
    h.Answer(4, '6', {0x00, 0x20});
    h.TakeSent();
    h.Packet({'D', 0, 4, 1, 0x00, 0x20, 0, 0, 0});  // 9 bytes: too short
    h.Packet({'@', 0, 1, '0'});
    h.Packet({'E', 0, 4, 1, 0x00});
    h.Packet({'1', 9});
    h.Packet({'2', 0, 0x01});
    h.Packet({'Z'});
    EXPECT_TRUE(h.TakeSent().empty());
    EXPECT_TRUE(h.TakeNotes().empty());
    EXPECT_EQ(h.ExpectedSequence(), h.analyzerSeq);  // the "D", "@" and "E" counted
    EXPECT_TRUE(h.Waiting());
}

TEST(EnginePacket, TimeoutFailsPendingInOrderWithNoAnswer) {
    Harness h;
    h.ConnectPacket();
    // Applications ask one at a time; several at once show the order of failing.
    h.Request(ReqPutSetup);  // no complete setup: refused at once, nothing pending
    h.Request(ReqGetScreen);
    h.Request(ReqMeasure, 1);
    h.Request(ReqGetSetup);
    h.Request(ReqGetStopReason);
    h.TakeNotes();
    h.Expire();
    EXPECT_THAT(h.TakeNotes(),
                ElementsAre(Note{ReqMeasure, StatusNoAnswer, nullptr}, Note{ReqGetStopReason, StatusNoAnswer, nullptr},
                            Note{ReqGetSetup, StatusNoAnswer, nullptr}, Note{ReqGetScreen, StatusNoAnswer, nullptr}));
    EXPECT_FALSE(h.Waiting());
    EXPECT_EQ(h.engine->Current(), State::PacketSession);
}

TEST(EnginePacket, SessionEndAnsweredResetsTheEngine) {
    Harness h;
    h.ConnectPacket();
    h.Request(ReqDisconnect);
    EXPECT_THAT(h.TakePackets(), ElementsAre(Bytes{'@', 2, 0, '0'}));
    h.Answer(0, '0');
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqDisconnect, StatusDone, nullptr}));
    EXPECT_EQ(h.engine->Current(), State::Idle);
    EXPECT_EQ(h.engine->ScreenBits(), nullptr);
    EXPECT_STREQ(h.engine->ModelName(), "");
    EXPECT_EQ(h.out.discards, 1);
    EXPECT_THAT(h.capture->calls, ElementsAre("reset"));
}

TEST(EnginePacket, SessionEndRefusedKeepsTheSession) {
    Harness h;
    h.ConnectPacket();
    h.Request(ReqDisconnect);
    h.Refuse(0, '0', 1);
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqDisconnect, StatusRefused, nullptr}));
    EXPECT_EQ(h.engine->Current(), State::PacketSession);
    EXPECT_FALSE(h.Waiting());
}

TEST(EnginePacket, SessionEndRetriedWithTheSameSequenceNumber) {
    Harness h;
    h.ConnectPacket();
    h.Request(ReqDisconnect);
    h.TakeSent();
    EXPECT_EQ(h.Expire(), 5);
    EXPECT_THAT(h.TakePackets(), ElementsAre(Bytes{'@', 2, 0, '0'}));
    h.Expire();
    EXPECT_THAT(h.TakePackets(), ElementsAre(Bytes{'@', 2, 0, '0'}));
    h.Expire();
    EXPECT_THAT(h.TakePackets(), ElementsAre(Bytes{'0', 0}));
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqDisconnect, StatusNoAnswer, nullptr}));
}

TEST(EnginePacket, AnyAcceptedSubZeroOtherThanTheExitEndsTheSession) {
    Harness h;
    h.ConnectPacket();
    h.Answer(7, '0');
    EXPECT_EQ(h.engine->Current(), State::Idle);
    EXPECT_TRUE(h.TakeNotes().empty());
}

TEST(EnginePacket, AnswersNobodyWaitsForAreIgnored) {
    Harness h;
    h.ConnectPacket();
    h.Answer(2, '4', Record(1, {1}));
    h.Answer(13, '5', Record(0x0C21, {1}));
    h.Answer(4, '6', {0x00, 0x20});
    h.Refuse(9, '7', 2);
    h.Answer(16, '0');
    EXPECT_TRUE(h.TakeNotes().empty());
    EXPECT_TRUE(h.TakeSent().empty());
    EXPECT_EQ(h.engine->Current(), State::PacketSession);
    EXPECT_EQ(h.DataSetModel(), 4);
}

TEST(EnginePacket, TextEventsAreIgnoredInPacketMode) {
    Harness h;
    h.ConnectPacket();
    h.Ack();
    h.Nak();
    h.Cancel();
    h.End();
    h.Line("RV-7010 1.0");
    EXPECT_TRUE(h.TakeSent().empty());
    EXPECT_TRUE(h.TakeNotes().empty());
    EXPECT_EQ(h.engine->Current(), State::PacketSession);
}

TEST(EnginePacket, IdleAndTextSessionIgnoreEveryEvent) {
    Harness idle;
    idle.Ack();
    idle.Packet({'A', 0, 2, '4'});
    idle.Ticks(100);
    EXPECT_TRUE(idle.TakeSent().empty());
    EXPECT_TRUE(idle.TakeNotes().empty());
    EXPECT_EQ(idle.engine->LinkMode(), 0);

    Harness text;
    text.ConnectText();
    text.Ack();
    text.Nak();
    text.Packet({'2', 0, 0x01, 0x02, 0x00, 0x01});
    text.Ticks(100);
    EXPECT_TRUE(text.TakeSent().empty());
    EXPECT_TRUE(text.TakeNotes().empty());
    EXPECT_EQ(text.engine->Current(), State::TextSession);
}

}  // namespace
}  // namespace commlib::test
