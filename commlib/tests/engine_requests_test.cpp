// Requests once connected, in text mode, in packet mode and in the other
// states: keys, measure start and stop, session end, stop reason, and the
// answers given at once when a request does not fit.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine_harness.h"

namespace commlib::test {
namespace {

using ::testing::ElementsAre;

TEST(EngineRequests, TextModeKeysAreHexadecimalCommands) {
    Harness h;
    h.connectText();
    h.request(ReqKey, 0x1A5);
    EXPECT_EQ(h.takeLine(), text("%K01A5\r\n"));
    EXPECT_EQ(h.engine->Current(), State::Key);
    h.ack();
    EXPECT_THAT(h.takeNotes(), ElementsAre(Note{ReqKey, StatusDone, nullptr}));
    h.request(ReqKey, 0x21);
    EXPECT_EQ(h.takeLine(), text("%K21\r\n"));
    h.nak();
    h.request(ReqKey, 0x0B);
    EXPECT_EQ(h.takeLine(), text("%K0B\r\n"));
    h.cancel();
    h.request(ReqKey, 0xFFFF);
    EXPECT_EQ(h.takeLine(), text("%KFFFF\r\n"));
    h.expire();
    EXPECT_THAT(h.takeNotes(), ElementsAre(Note{ReqKey, StatusNotAvailable, nullptr},
                                           Note{ReqKey, StatusNotAllowed, nullptr},
                                           Note{ReqKey, StatusNoAnswer, nullptr}));
    EXPECT_EQ(h.engine->Current(), State::TextSession);
}

TEST(EngineRequests, PacketModeKeyIsAnItemNotificationAnsweredAtOnce) {
    Harness h;
    h.connectPacket();
    h.request(ReqGetStopReason);
    h.answer(15, '4', {});
    h.takeSent();
    h.takeNotes();
    h.engine->Tick();
    const int timer = h.engine->ReplyTimer();
    h.request(ReqKey, 0x21);
    h.request(ReqKey, 0x1A5);
    EXPECT_THAT(h.takePackets(), ElementsAre(Bytes{'2', 0, 0x20, 0x0C, 0x21}, Bytes{'2', 0, 0x20, 0x0C, 0xA5, 0x01}));
    EXPECT_THAT(h.takeNotes(), ElementsAre(Note{ReqKey, StatusDone, nullptr}, Note{ReqKey, StatusDone, nullptr}));
    EXPECT_EQ(h.engine->ReplyTimer(), timer);   // keys leave the timer as it is
}

TEST(EngineRequests, TextModeMeasureStartAndStop) {
    Harness h;
    h.connectText();
    h.request(ReqMeasure, 1);
    EXPECT_EQ(h.takeLine(), text("%K21\r\n"));
    EXPECT_EQ(h.engine->Current(), State::MeasureStart);
    h.ack();
    h.request(ReqMeasure, 0);
    EXPECT_EQ(h.takeLine(), text("%K22\r\n"));
    EXPECT_EQ(h.engine->Current(), State::MeasureStop);
    h.expire();
    EXPECT_THAT(h.takeNotes(),
                ElementsAre(Note{ReqMeasure, StatusDone, nullptr}, Note{ReqMeasure, StatusNoAnswer, nullptr}));
    EXPECT_EQ(h.engine->Current(), State::TextSession);
}

TEST(EngineRequests, PacketModeMeasureStartIsASetAnsweredByItsRecord) {
    Harness h;
    h.connectPacket();
    h.request(ReqMeasure, 1);
    EXPECT_THAT(h.takePackets(), ElementsAre(Bytes{'@', 2, 13, '5', 0x21, 0x0C, 1, 1}));
    h.answer(13, '5', record(0x0C21, {1}));
    h.request(ReqMeasure, 1);
    h.answer(13, '5', record(0x0C21, {0}));
    h.request(ReqMeasure, 1);
    h.refuse(13, '5', 2);
    h.request(ReqMeasure, 1);
    h.refuse(13, '5', 3);
    EXPECT_THAT(h.takeNotes(), ElementsAre(Note{ReqMeasure, StatusDone, nullptr}, Note{ReqMeasure, StatusRefused, nullptr},
                                           Note{ReqMeasure, StatusNotAvailable, nullptr},
                                           Note{ReqMeasure, StatusRefused, nullptr}));
}

TEST(EngineRequests, PacketModeMeasureStopPressesTheStopKeyThreeTimes) {
    Harness h;
    h.connectPacket();
    h.request(ReqMeasure, 0);
    const Bytes key{'2', 0, 0x20, 0x0C, 0x22};
    EXPECT_THAT(h.takePackets(), ElementsAre(key, key, key));
    EXPECT_THAT(h.takeNotes(), ElementsAre(Note{ReqMeasure, StatusDone, nullptr}));
    EXPECT_EQ(h.engine->Pending(), 0u);
}

TEST(EngineRequests, TextModeQuit) {
    Harness accepted;
    accepted.connectText();
    accepted.request(ReqDisconnect);
    EXPECT_EQ(accepted.takeLine(), text("%Q\r\n"));
    EXPECT_EQ(accepted.engine->Current(), State::Quit);
    accepted.ack();
    EXPECT_THAT(accepted.takeNotes(), ElementsAre(Note{ReqDisconnect, StatusDone, nullptr}));
    EXPECT_EQ(accepted.engine->Current(), State::Idle);
    EXPECT_EQ(accepted.engine->DataSetOf(engine::Set::Setup), nullptr);

    for (int refusal : {EvNak, EvCancel}) {
        Harness refused;
        refused.connectText();
        refused.request(ReqDisconnect);
        refused.event(refusal);
        EXPECT_THAT(refused.takeNotes(), ElementsAre(Note{ReqDisconnect, StatusRefused, nullptr}));
        EXPECT_EQ(refused.engine->Current(), State::TextSession);
    }
    Harness silent;
    silent.connectText();
    silent.request(ReqDisconnect);
    silent.expire();
    EXPECT_THAT(silent.takeNotes(), ElementsAre(Note{ReqDisconnect, StatusNoAnswer, nullptr}));
    EXPECT_EQ(silent.engine->Current(), State::TextSession);
}

TEST(EngineRequests, StopReasonArrivesWithAPointerToIt) {
    Harness h;
    h.connectPacket();
    h.request(ReqGetStopReason);
    EXPECT_THAT(h.takePackets(), ElementsAre(Bytes{'@', 2, 15, '4', 0x02, 0x02}));
    h.answer(15, '4', record(0x0202, {5}));
    const auto notes = h.takeNotes();
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0], (Note{ReqGetStopReason, StatusDone, nullptr}));
    ASSERT_NE(notes[0].data, nullptr);
    EXPECT_EQ(*static_cast<int*>(notes[0].data), 5);
    // Two bytes, and an empty value meaning 0.
    h.request(ReqGetStopReason);
    h.answer(15, '4', record(0x0202, {0x01, 0x02}));
    EXPECT_EQ(h.engine->StopReason(), 0x0201);
    h.request(ReqGetStopReason);
    h.answer(15, '4', record(0x0202, {}));
    EXPECT_EQ(h.engine->StopReason(), 0);
}

TEST(EngineRequests, RefusedStopReasonIsLeftToTheReplyTimer) {
    Harness h;
    h.connectPacket();
    h.request(ReqGetStopReason);
    h.refuse(15, '4', 2);
    EXPECT_TRUE(h.takeNotes().empty());
    h.expire();
    EXPECT_THAT(h.takeNotes(), ElementsAre(Note{ReqGetStopReason, StatusNoAnswer, nullptr}));
}

TEST(EngineRequests, StopReasonOutsidePacketModeIsAnsweredAtOnce) {
    Harness idle;
    idle.request(ReqGetStopReason);
    EXPECT_THAT(idle.takeNotes(), ElementsAre(Note{ReqGetStopReason, StatusNotAllowed, nullptr}));
    Harness text;
    text.connectText();
    text.request(ReqGetStopReason);
    EXPECT_TRUE(text.takeSent().empty());
    EXPECT_THAT(text.takeNotes(), ElementsAre(Note{ReqGetStopReason, StatusNotAvailable, nullptr}));
}

TEST(EngineRequests, RequestsThatDoNotFitTheStateSendNothing) {
    Harness idle;
    for (int code : {ReqMeasure, ReqGetSetup, ReqGetScreen, ReqPutSetup, ReqPutTable3, ReqKey}) idle.request(code, 1);
    idle.request(ReqDisconnect);
    idle.request(77);
    EXPECT_TRUE(idle.takeSent().empty());
    EXPECT_THAT(idle.takeNotes(),
                ElementsAre(Note{ReqMeasure, StatusNotAllowed, nullptr}, Note{ReqGetSetup, StatusNotAllowed, nullptr},
                            Note{ReqGetScreen, StatusNotAllowed, nullptr}, Note{ReqPutSetup, StatusNotAllowed, nullptr},
                            Note{ReqPutTable3, StatusNotAllowed, nullptr}, Note{ReqKey, StatusNotAllowed, nullptr},
                            Note{ReqDisconnect, StatusDone, nullptr}, Note{77, StatusUnknownRequest, nullptr}));

    Harness busy;   // a handshake in progress
    busy.request(ReqConnect);
    busy.takeSent();
    busy.request(ReqDisconnect);
    busy.request(ReqGetTable);
    busy.request(ReqMeasure, 0);
    EXPECT_TRUE(busy.takeSent().empty());
    EXPECT_THAT(busy.takeNotes(), ElementsAre(Note{ReqDisconnect, StatusNotAllowed, nullptr},
                                              Note{ReqGetTable, StatusNotAllowed, nullptr},
                                              Note{ReqMeasure, StatusNotAllowed, nullptr}));
    EXPECT_EQ(busy.engine->Current(), State::Attention);
}

TEST(EngineRequests, ScreenOnlyInPacketMode) {
    Harness h;
    h.connectText();
    h.request(ReqGetScreen);
    EXPECT_TRUE(h.takeSent().empty());
    EXPECT_THAT(h.takeNotes(), ElementsAre(Note{ReqGetScreen, StatusNotAvailable, nullptr}));
}

TEST(EngineRequests, PutsNeedACompleteDataSet) {
    Harness text;
    text.connectText();
    text.request(ReqPutSetup);
    EXPECT_THAT(text.takeNotes(), ElementsAre(Note{ReqPutSetup, StatusNotAllowed, nullptr}));

    Harness noIdent;   // text mode without identification: no data sets at all
    noIdent.request(ReqConnect);
    noIdent.ack();
    noIdent.nak();
    noIdent.nak();
    noIdent.nak();
    noIdent.nak();
    noIdent.takeNotes();
    noIdent.request(ReqPutSetup);
    noIdent.request(ReqPutProgram);
    EXPECT_THAT(noIdent.takeNotes(), ElementsAre(Note{ReqPutSetup, StatusNotAvailable, nullptr},
                                                 Note{ReqPutProgram, StatusNotAvailable, nullptr}));

    Harness packet;
    packet.connectPacket();
    packet.request(ReqPutTable);
    EXPECT_TRUE(packet.takeSent().empty());
    EXPECT_THAT(packet.takeNotes(), ElementsAre(Note{ReqPutTable, StatusNotAllowed, nullptr}));
}

TEST(EngineRequests, GetsWithoutDataSetsAreNotAvailable) {
    Harness h;
    h.request(ReqConnect);
    h.ack();
    h.nak();
    h.nak();
    h.nak();
    h.cancel();
    h.takeNotes();
    h.takeSent();
    h.request(ReqGetSetup);
    EXPECT_TRUE(h.takeSent().empty());
    EXPECT_THAT(h.takeNotes(), ElementsAre(Note{ReqGetSetup, StatusNotAvailable, nullptr}));
}

TEST(EngineRequests, AutoConnectIsArmedInAnyState) {
    Harness h;
    h.connectPacket();
    h.request(ReqAutoConnect);
    EXPECT_THAT(h.takeNotes(), ElementsAre(Note{ReqAutoConnect, StatusDone, nullptr}));
    EXPECT_EQ(h.engine->AutoCountdown(), 3);
    // A manual connection switches it off.
    h.engine->Reset();
    h.request(ReqConnect);
    EXPECT_EQ(h.engine->AutoCountdown(), 0);
}

} // namespace
} // namespace commlib::test
