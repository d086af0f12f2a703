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
    h.ConnectText();
    h.Request(ReqKey, 0x1A5);
    EXPECT_EQ(h.TakeLine(), Text("%K01A5\r\n"));
    EXPECT_EQ(h.engine->Current(), State::Key);
    h.Ack();
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqKey, StatusDone, nullptr}));
    h.Request(ReqKey, 0x21);
    EXPECT_EQ(h.TakeLine(), Text("%K21\r\n"));
    h.Nak();
    h.Request(ReqKey, 0x0B);
    EXPECT_EQ(h.TakeLine(), Text("%K0B\r\n"));
    h.Cancel();
    h.Request(ReqKey, 0xFFFF);
    EXPECT_EQ(h.TakeLine(), Text("%KFFFF\r\n"));
    h.Expire();
    EXPECT_THAT(h.TakeNotes(),
                ElementsAre(Note{ReqKey, StatusNotAvailable, nullptr}, Note{ReqKey, StatusNotAllowed, nullptr},
                            Note{ReqKey, StatusNoAnswer, nullptr}));
    EXPECT_EQ(h.engine->Current(), State::TextSession);
}

TEST(EngineRequests, PacketModeKeyIsAnItemNotificationAnsweredAtOnce) {
    Harness h;
    h.ConnectPacket();
    h.Request(ReqGetStopReason);
    h.TakeSent();
    h.Ticks(2);
    h.Request(ReqKey, 0x21);
    h.Request(ReqKey, 0x1A5);
    EXPECT_THAT(h.TakePackets(), ElementsAre(Bytes{'2', 0, 0x20, 0x0C, 0x21}, Bytes{'2', 0, 0x20, 0x0C, 0xA5, 0x01}));
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqKey, StatusDone, nullptr}, Note{ReqKey, StatusDone, nullptr}));
    EXPECT_EQ(h.Expire(), 3);  // keys leave the reply timer of the query as it is
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqGetStopReason, StatusNoAnswer, nullptr}));
}

TEST(EngineRequests, TextModeMeasureStartAndStop) {
    Harness h;
    h.ConnectText();
    h.Request(ReqMeasure, 1);
    EXPECT_EQ(h.TakeLine(), Text("%K21\r\n"));
    EXPECT_EQ(h.engine->Current(), State::MeasureStart);
    h.Ack();
    h.Request(ReqMeasure, 0);
    EXPECT_EQ(h.TakeLine(), Text("%K22\r\n"));
    EXPECT_EQ(h.engine->Current(), State::MeasureStop);
    h.Expire();
    EXPECT_THAT(h.TakeNotes(),
                ElementsAre(Note{ReqMeasure, StatusDone, nullptr}, Note{ReqMeasure, StatusNoAnswer, nullptr}));
    EXPECT_EQ(h.engine->Current(), State::TextSession);
}

TEST(EngineRequests, PacketModeMeasureStartIsASetAnsweredByItsRecord) {
    Harness h;
    h.ConnectPacket();
    h.Request(ReqMeasure, 1);
    EXPECT_THAT(h.TakePackets(), ElementsAre(Bytes{'@', 2, 13, '5', 0x21, 0x0C, 1, 1}));
    h.Answer(13, '5', Record(0x0C21, {1}));
    h.Request(ReqMeasure, 1);
    h.Answer(13, '5', Record(0x0C21, {0}));
    h.Request(ReqMeasure, 1);
    h.Refuse(13, '5', 2);
    h.Request(ReqMeasure, 1);
    h.Refuse(13, '5', 3);
    EXPECT_THAT(h.TakeNotes(),
                ElementsAre(Note{ReqMeasure, StatusDone, nullptr}, Note{ReqMeasure, StatusRefused, nullptr},
                            Note{ReqMeasure, StatusNotAvailable, nullptr}, Note{ReqMeasure, StatusRefused, nullptr}));
}

TEST(EngineRequests, PacketModeMeasureStopPressesTheStopKeyThreeTimes) {
    Harness h;
    h.ConnectPacket();
    h.Request(ReqMeasure, 0);
    const Bytes key{'2', 0, 0x20, 0x0C, 0x22};
    EXPECT_THAT(h.TakePackets(), ElementsAre(key, key, key));
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqMeasure, StatusDone, nullptr}));
    EXPECT_FALSE(h.Waiting());
}

TEST(EngineRequests, TextModeQuit) {
    Harness accepted;
    accepted.ConnectText();
    accepted.Request(ReqDisconnect);
    EXPECT_EQ(accepted.TakeLine(), Text("%Q\r\n"));
    EXPECT_EQ(accepted.engine->Current(), State::Quit);
    accepted.Ack();
    EXPECT_THAT(accepted.TakeNotes(), ElementsAre(Note{ReqDisconnect, StatusDone, nullptr}));
    EXPECT_EQ(accepted.engine->Current(), State::Idle);
    EXPECT_EQ(accepted.engine->ScreenBits(), nullptr);

    for (int refusal : {EvNak, EvCancel}) {
        Harness refused;
        refused.ConnectText();
        refused.Request(ReqDisconnect);
        refused.Event(refusal);
        EXPECT_THAT(refused.TakeNotes(), ElementsAre(Note{ReqDisconnect, StatusRefused, nullptr}));
        EXPECT_EQ(refused.engine->Current(), State::TextSession);
    }
    Harness silent;
    silent.ConnectText();
    silent.Request(ReqDisconnect);
    silent.Expire();
    EXPECT_THAT(silent.TakeNotes(), ElementsAre(Note{ReqDisconnect, StatusNoAnswer, nullptr}));
    EXPECT_EQ(silent.engine->Current(), State::TextSession);
}

TEST(EngineRequests, StopReasonArrivesWithAPointerToIt) {
    Harness h;
    h.ConnectPacket();
    h.Request(ReqGetStopReason);
    EXPECT_THAT(h.TakePackets(), ElementsAre(Bytes{'@', 2, 15, '4', 0x02, 0x02}));
    h.Answer(15, '4', Record(0x0202, {5}));
    const auto notes = h.TakeNotes();
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0], (Note{ReqGetStopReason, StatusDone, nullptr}));
    ASSERT_NE(notes[0].data, nullptr);
    EXPECT_EQ(*static_cast<int*>(notes[0].data), 5);
    // Two bytes, and an empty value meaning 0.
    h.Request(ReqGetStopReason);
    h.Answer(15, '4', Record(0x0202, {0x01, 0x02}));
    EXPECT_EQ(*static_cast<int*>(h.TakeNotes().at(0).data), 0x0201);
    h.Request(ReqGetStopReason);
    h.Answer(15, '4', Record(0x0202, {}));
    EXPECT_EQ(*static_cast<int*>(h.TakeNotes().at(0).data), 0);
}

TEST(EngineRequests, RefusedStopReasonIsLeftToTheReplyTimer) {
    Harness h;
    h.ConnectPacket();
    h.Request(ReqGetStopReason);
    h.Refuse(15, '4', 2);
    EXPECT_TRUE(h.TakeNotes().empty());
    h.Expire();
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqGetStopReason, StatusNoAnswer, nullptr}));
}

TEST(EngineRequests, StopReasonOutsidePacketModeIsAnsweredAtOnce) {
    Harness idle;
    idle.Request(ReqGetStopReason);
    EXPECT_THAT(idle.TakeNotes(), ElementsAre(Note{ReqGetStopReason, StatusNotAllowed, nullptr}));
    Harness text;
    text.ConnectText();
    text.Request(ReqGetStopReason);
    EXPECT_TRUE(text.TakeSent().empty());
    EXPECT_THAT(text.TakeNotes(), ElementsAre(Note{ReqGetStopReason, StatusNotAvailable, nullptr}));
}

TEST(EngineRequests, RequestsThatDoNotFitTheStateSendNothing) {
    Harness idle;
    for (int code : {ReqMeasure, ReqGetSetup, ReqGetScreen, ReqPutSetup, ReqPutTable3, ReqKey}) idle.Request(code, 1);
    idle.Request(ReqDisconnect);
    idle.Request(77);
    EXPECT_TRUE(idle.TakeSent().empty());
    EXPECT_THAT(idle.TakeNotes(),
                ElementsAre(Note{ReqMeasure, StatusNotAllowed, nullptr}, Note{ReqGetSetup, StatusNotAllowed, nullptr},
                            Note{ReqGetScreen, StatusNotAllowed, nullptr}, Note{ReqPutSetup, StatusNotAllowed, nullptr},
                            Note{ReqPutTable3, StatusNotAllowed, nullptr}, Note{ReqKey, StatusNotAllowed, nullptr},
                            Note{ReqDisconnect, StatusDone, nullptr}, Note{77, StatusUnknownRequest, nullptr}));

    Harness busy;  // a handshake in progress
    busy.Request(ReqConnect);
    busy.TakeSent();
    busy.Request(ReqDisconnect);
    busy.Request(ReqGetTable);
    busy.Request(ReqMeasure, 0);
    EXPECT_TRUE(busy.TakeSent().empty());
    EXPECT_THAT(busy.TakeNotes(),
                ElementsAre(Note{ReqDisconnect, StatusNotAllowed, nullptr},
                            Note{ReqGetTable, StatusNotAllowed, nullptr}, Note{ReqMeasure, StatusNotAllowed, nullptr}));
    EXPECT_EQ(busy.engine->Current(), State::Attention);
}

TEST(EngineRequests, ScreenOnlyInPacketMode) {
    Harness h;
    h.ConnectText();
    h.Request(ReqGetScreen);
    EXPECT_TRUE(h.TakeSent().empty());
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqGetScreen, StatusNotAvailable, nullptr}));
}

TEST(EngineRequests, PutsNeedACompleteDataSet) {
    Harness text;
    text.ConnectText();
    text.Request(ReqPutSetup);
    EXPECT_THAT(text.TakeNotes(), ElementsAre(Note{ReqPutSetup, StatusNotAllowed, nullptr}));

    Harness noIdent;  // text mode without identification: no data sets at all
    noIdent.Request(ReqConnect);
    noIdent.Ack();
    noIdent.Nak();
    noIdent.Nak();
    noIdent.Nak();
    noIdent.Nak();
    noIdent.TakeNotes();
    noIdent.Request(ReqPutSetup);
    noIdent.Request(ReqPutProgram);
    EXPECT_THAT(noIdent.TakeNotes(), ElementsAre(Note{ReqPutSetup, StatusNotAvailable, nullptr},
                                                 Note{ReqPutProgram, StatusNotAvailable, nullptr}));

    Harness packet;
    packet.ConnectPacket();
    packet.Request(ReqPutTable);
    EXPECT_TRUE(packet.TakeSent().empty());
    EXPECT_THAT(packet.TakeNotes(), ElementsAre(Note{ReqPutTable, StatusNotAllowed, nullptr}));
}

TEST(EngineRequests, GetsWithoutDataSetsAreNotAvailable) {
    Harness h;
    h.Request(ReqConnect);
    h.Ack();
    h.Nak();
    h.Nak();
    h.Nak();
    h.Cancel();
    h.TakeNotes();
    h.TakeSent();
    h.Request(ReqGetSetup);
    EXPECT_TRUE(h.TakeSent().empty());
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqGetSetup, StatusNotAvailable, nullptr}));
}

TEST(EngineRequests, AutoConnectIsArmedInAnyState) {
    for (bool manual : {false, true}) {
        Harness h;
        h.ConnectPacket();
        h.Request(ReqAutoConnect);
        EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqAutoConnect, StatusDone, nullptr}));
        h.engine->Reset();
        if (manual) {
            h.Request(ReqConnect);
            h.Nak();
        }
        h.out.modemOn = true;
        h.TakeSent();
        EXPECT_EQ(h.Expire(), manual ? 0 : 3);
        EXPECT_EQ(h.TakeLine(), manual ? Bytes{} : Text("###"));
    }
}

}  // namespace
}  // namespace commlib::test
