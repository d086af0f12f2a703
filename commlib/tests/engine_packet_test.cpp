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
    h.connectPacket();
    const std::uint8_t expected = h.engine->RxSequence();
    EXPECT_EQ(expected, 2);   // the two answers of the handshake
    h.request(ReqGetStopReason);
    h.takeSent();
    h.analyzerSeq = static_cast<std::uint8_t>(expected + 1);
    h.answer(15, '4', record(0x0202, {7}));
    EXPECT_THAT(h.takePackets(), ElementsAre(Bytes{'?', expected}));
    EXPECT_TRUE(h.takeNotes().empty());
    EXPECT_EQ(h.engine->RxSequence(), expected);
    // The repeat with the right number is taken.
    h.analyzerSeq = expected;
    h.answer(15, '4', record(0x0202, {7}));
    EXPECT_EQ(h.takeNotes().at(0).code, ReqGetStopReason);
    EXPECT_EQ(h.engine->StopReason(), 7);
    EXPECT_EQ(h.engine->RxSequence(), expected + 1);
}

TEST(EnginePacket, RepeatRequestForOurLastPacketIsIgnored) {
    Harness h;
    h.connectPacket();
    h.request(ReqGetSetup);
    h.takeSent();
    const auto last = static_cast<std::uint8_t>(h.engine->TxSequence() - 1);
    h.packet({'?', last});
    EXPECT_TRUE(h.takeSent().empty());
    EXPECT_NE(h.engine->Pending(), 0u);
}

TEST(EnginePacket, RepeatRequestRepeatsTheHandshakeStepWhileRetriesLast) {
    Harness h;
    h.request(ReqConnect);
    h.ack();
    h.ack();
    h.takeSent();
    h.packet({'?', 5});
    EXPECT_THAT(h.takePackets(), ElementsAre(Bytes{'0', 0}, Bytes{'@', 0, 2, '4', 1, 0, 2, 0, 3, 0, 1, 2}));
    EXPECT_EQ(h.engine->Retries(), 1);
    h.packet({'?', 5});
    h.packet({'?', 5});
    EXPECT_EQ(h.engine->Retries(), 0);
    EXPECT_THAT(h.takeNotes(), ElementsAre(Note{ReqConnect, StatusLostPacket, nullptr}));
    EXPECT_EQ(h.engine->Pending(), 0u);
    // The subscription is repeated the same way.
    Harness s;
    s.request(ReqConnect);
    s.ack();
    s.ack();
    s.answer(2, '4', {});
    s.takeSent();
    s.packet({'?', 9});
    auto packets = s.takePackets();
    ASSERT_EQ(packets.size(), 2u);
    EXPECT_EQ(packets[1][2], 3);
}

TEST(EnginePacket, RepeatRequestWithNothingToRepeatFailsPendingWithLostPacket) {
    Harness h;
    h.connectPacket();
    h.request(ReqGetStopReason);
    h.request(ReqGetTable);
    h.takeSent();
    h.packet({'?', 0x33});
    EXPECT_THAT(h.takePackets(), ElementsAre(Bytes{'0', 0}));
    EXPECT_THAT(h.takeNotes(), ElementsAre(Note{ReqGetStopReason, StatusLostPacket, nullptr},
                                           Note{ReqGetTable, StatusLostPacket, nullptr}));
    EXPECT_EQ(h.engine->TxSequence(), 0);
    EXPECT_EQ(h.engine->RxSequence(), 0);
}

TEST(EnginePacket, AnalyzerResetsApplyToTheirParts) {
    Harness h;
    h.connectPacket();
    h.request(ReqGetSetup);
    EXPECT_EQ(h.engine->ReplyTimer(), 5);
    h.packet({'0', 1});
    EXPECT_EQ(h.engine->TxSequence(), 0);
    EXPECT_EQ(h.engine->RxSequence(), 0);
    EXPECT_EQ(h.engine->ReplyTimer(), 5);
    h.analyzerSeq = 0;
    h.packet({'0', 2});
    EXPECT_EQ(h.engine->ReplyTimer(), 0);
    h.request(ReqGetStopReason);
    h.packet({'0', 0});
    EXPECT_EQ(h.engine->ReplyTimer(), 0);
    EXPECT_EQ(h.engine->TxSequence(), 0);
}

TEST(EnginePacket, ShortAndUnhandledPacketsAreIgnoredButCounted) {
    Harness h;
    h.connectPacket();
    h.request(ReqGetSetup);
    h.answer(4, '6', {0x00, 0x20});
    h.takeSent();
    const std::uint8_t rx = h.engine->RxSequence();
    h.packet({'D', 0, 4, 1, 0x00, 0x20, 0, 0, 0});   // 9 bytes: too short
    h.packet({'@', 0, 1, '0'});
    h.packet({'E', 0, 4, 1, 0x00});
    h.packet({'1', 9});
    h.packet({'2', 0, 0x01});
    h.packet({'Z'});
    EXPECT_EQ(h.engine->RxSequence(), rx + 3);
    EXPECT_TRUE(h.takeSent().empty());
    EXPECT_TRUE(h.takeNotes().empty());
    EXPECT_NE(h.engine->Pending(), 0u);
}

TEST(EnginePacket, TimeoutFailsPendingInOrderWithNoAnswer) {
    Harness h;
    h.connectPacket();
    // Applications ask one at a time; several at once show the order of failing.
    h.request(ReqPutSetup);   // no complete setup: refused at once, nothing pending
    h.request(ReqGetScreen);
    h.request(ReqMeasure, 1);
    h.request(ReqGetSetup);
    h.request(ReqGetStopReason);
    h.takeNotes();
    h.expire();
    EXPECT_THAT(h.takeNotes(), ElementsAre(Note{ReqMeasure, StatusNoAnswer, nullptr},
                                           Note{ReqGetStopReason, StatusNoAnswer, nullptr},
                                           Note{ReqGetSetup, StatusNoAnswer, nullptr},
                                           Note{ReqGetScreen, StatusNoAnswer, nullptr}));
    EXPECT_EQ(h.engine->Pending(), 0u);
    EXPECT_EQ(h.engine->Current(), State::PacketSession);
}

TEST(EnginePacket, SessionEndAnsweredResetsTheEngine) {
    Harness h;
    h.connectPacket();
    h.request(ReqDisconnect);
    EXPECT_THAT(h.takePackets(), ElementsAre(Bytes{'@', 2, 0, '0'}));
    EXPECT_EQ(h.engine->ReplyTimer(), 5);
    h.answer(0, '0');
    EXPECT_THAT(h.takeNotes(), ElementsAre(Note{ReqDisconnect, StatusDone, nullptr}));
    EXPECT_EQ(h.engine->Current(), State::Idle);
    EXPECT_EQ(h.engine->DataSetOf(engine::Set::Setup), nullptr);
    EXPECT_STREQ(h.engine->ModelName(), "");
    EXPECT_EQ(h.out.discards, 1);
    EXPECT_THAT(h.capture->calls, ElementsAre("reset"));
}

TEST(EnginePacket, SessionEndRefusedKeepsTheSession) {
    Harness h;
    h.connectPacket();
    h.request(ReqDisconnect);
    h.refuse(0, '0', 1);
    EXPECT_THAT(h.takeNotes(), ElementsAre(Note{ReqDisconnect, StatusRefused, nullptr}));
    EXPECT_EQ(h.engine->Current(), State::PacketSession);
    EXPECT_EQ(h.engine->Pending(), 0u);
}

TEST(EnginePacket, SessionEndRetriedWithTheSameSequenceNumber) {
    Harness h;
    h.connectPacket();
    h.request(ReqDisconnect);
    h.takeSent();
    h.expire();
    EXPECT_THAT(h.takePackets(), ElementsAre(Bytes{'@', 2, 0, '0'}));
    h.expire();
    EXPECT_THAT(h.takePackets(), ElementsAre(Bytes{'@', 2, 0, '0'}));
    h.expire();
    EXPECT_THAT(h.takePackets(), ElementsAre(Bytes{'0', 0}));
    EXPECT_THAT(h.takeNotes(), ElementsAre(Note{ReqDisconnect, StatusNoAnswer, nullptr}));
}

TEST(EnginePacket, AnyAcceptedSubZeroOtherThanTheExitEndsTheSession) {
    Harness h;
    h.connectPacket();
    h.answer(7, '0');
    EXPECT_EQ(h.engine->Current(), State::Idle);
    EXPECT_TRUE(h.takeNotes().empty());
}

TEST(EnginePacket, AnswersNobodyWaitsForAreIgnored) {
    Harness h;
    h.connectPacket();
    h.answer(2, '4', record(1, {1}));
    h.answer(13, '5', record(0x0C21, {1}));
    h.answer(4, '6', {0x00, 0x20});
    h.refuse(9, '7', 2);
    h.answer(16, '0');
    EXPECT_TRUE(h.takeNotes().empty());
    EXPECT_TRUE(h.takeSent().empty());
    EXPECT_EQ(h.engine->Current(), State::PacketSession);
    EXPECT_EQ(h.engine->ModelCode(), 4);
}

TEST(EnginePacket, TextEventsAreIgnoredInPacketMode) {
    Harness h;
    h.connectPacket();
    h.ack();
    h.nak();
    h.cancel();
    h.end();
    h.line("RV-7010 1.0");
    EXPECT_TRUE(h.takeSent().empty());
    EXPECT_TRUE(h.takeNotes().empty());
    EXPECT_EQ(h.engine->Current(), State::PacketSession);
}

TEST(EnginePacket, IdleAndTextSessionIgnoreEveryEvent) {
    Harness idle;
    idle.ack();
    idle.packet({'A', 0, 2, '4'});
    idle.ticks(100);
    EXPECT_TRUE(idle.takeSent().empty());
    EXPECT_TRUE(idle.takeNotes().empty());
    EXPECT_EQ(idle.engine->LinkMode(), 0);

    Harness text;
    text.connectText();
    text.ack();
    text.nak();
    text.packet({'2', 0, 0x01, 0x02, 0x00, 0x01});
    text.ticks(100);
    EXPECT_TRUE(text.takeSent().empty());
    EXPECT_TRUE(text.takeNotes().empty());
    EXPECT_EQ(text.engine->Current(), State::TextSession);
}

} // namespace
} // namespace commlib::test
