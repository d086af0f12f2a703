// The connection handshake: packet mode, text mode, the packet-mode exit and
// restart, automatic connection on the modem lines, and the parsing of what
// the analyzer tells about itself.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/item_records.h"
#include "engine_harness.h"

namespace commlib::test {
namespace {

using ::testing::ElementsAre;

TEST(EngineHandshake, PacketModeConnectSendsResetAndQueryThenSubscribes) {
    Harness h;
    h.Request(ReqConnect);
    EXPECT_EQ(h.TakeLine(), Text("###"));
    EXPECT_EQ(h.engine->LinkMode(), 1);
    h.Ack();
    EXPECT_EQ(h.TakeLine(), Text("%@X\r\n"));
    EXPECT_EQ(h.Expire(), 5);  // unanswered for 1 s: asked again
    EXPECT_EQ(h.TakeLine(), Text("%@X\r\n"));
    h.Ack();
    EXPECT_EQ(h.TakeLine(), (Bytes{0x16, 0x30, 0x00, 0xE5, 0xB9, 0x16, 0x16, 0x40, 0x00, 0x02, 0x34,
                                   0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x01, 0x02, 0x56, 0xCE, 0x16}));
    EXPECT_EQ(h.engine->Current(), State::PacketSession);
    EXPECT_EQ(h.engine->LinkMode(), 2);
    EXPECT_TRUE(h.TakeNotes().empty());

    h.Answer(2, '4',
             Cat({Record(1, {4}), Record(2, Text("RV-7010")), Record(3, {0x10, 0x02}), Record(0x0201, {0x01, 0x00})}));
    // Subscription, sequence 1: status, 0x0B01 and keys on; data and information off without a buffer.
    EXPECT_THAT(h.TakePackets(), ElementsAre(Bytes{'@', 1,    3,    '3', 0x01, 0x02, 1, 0x01, 0x0B, 1, 0x20, 0x0C,
                                                   1,   0x00, 0x80, 0,   0x00, 0xE0, 0, 0x00, 0xE8, 0, 0x00, 0xE9,
                                                   0,   0x00, 0xEA, 0,   0x00, 0xEB, 0, 0x00, 0xEC, 0}));
    EXPECT_TRUE(h.TakeNotes().empty());
    h.Answer(3, '3');
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqConnect, StatusDone, nullptr}));
    EXPECT_STREQ(h.engine->ModelName(), "RV-7010");
    EXPECT_EQ(h.engine->Version(), 0x0210 << 12);
    EXPECT_EQ(h.DataSetModel(), 4);
    EXPECT_NE(h.engine->ScreenBits(), nullptr);
    EXPECT_FALSE(h.Waiting());
}

TEST(EngineHandshake, SubscriptionAsksForDataWhenThereIsABufferToStoreIt) {
    Harness h;
    h.capture->storing = true;
    h.Request(ReqConnect);
    h.Ack();
    h.Ack();
    h.TakeSent();
    h.Answer(2, '4', Record(1, {2}));
    auto packets = h.TakePackets();
    ASSERT_EQ(packets.size(), 1u);
    const Bytes& sub = packets[0];
    EXPECT_EQ(Bytes(sub.begin() + 13, sub.begin() + 19), (Bytes{0x00, 0x80, 1, 0x00, 0xE0, 1}));
    EXPECT_EQ(Bytes(sub.begin() + 19, sub.end()),
              (Bytes{0x00, 0xE8, 0, 0x00, 0xE9, 0, 0x00, 0xEA, 0, 0x00, 0xEB, 0, 0x00, 0xEC, 0}));
}

TEST(EngineHandshake, MeasuringAnalyzerConnectsWithoutSubscription) {
    Harness h;
    h.Request(ReqConnect);
    h.Ack();
    h.Ack();
    h.TakeSent();
    h.Answer(2, '4', Cat({Record(1, {1}), Record(0x0201, {0x00, 0x01})}));
    EXPECT_TRUE(h.TakeSent().empty());
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqConnect, StatusDone, nullptr}));
    EXPECT_EQ(h.engine->Status() & 0x100, 0x100);
    EXPECT_NE(h.engine->ScreenBits(), nullptr);
    EXPECT_FALSE(h.Waiting());
}

TEST(EngineHandshake, ThreeRefusalsOfPacketModeEndInIdentifiedTextMode) {
    Harness h;
    h.Request(ReqConnect);
    h.Ack();
    h.TakeSent();
    h.Nak();
    EXPECT_EQ(h.TakeLine(), Text("%@X\r\n"));
    h.Cancel();
    EXPECT_EQ(h.TakeLine(), Text("%@X\r\n"));
    h.Nak();
    EXPECT_EQ(h.TakeLine(), Text("%T0\r\n"));
    EXPECT_EQ(h.engine->Current(), State::Identify);
    h.Ack();
    EXPECT_EQ(h.engine->Current(), State::IdentLine);
    h.Line("  RV-7020 1.2A");
    EXPECT_EQ(h.TakeLine(), Text("*"));
    EXPECT_EQ(h.engine->ReplyTimer(), 0);  // the text session ignores the timer: seen only here
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqConnect, StatusDone, nullptr}));
    EXPECT_EQ(h.engine->LinkMode(), 1);
    EXPECT_EQ(h.engine->Current(), State::TextSession);
    EXPECT_STREQ(h.engine->ModelName(), "RV-7020");
    EXPECT_EQ(h.engine->Version(), 0x12A << 12);
    EXPECT_EQ(h.DataSetModel(), 1);
    EXPECT_NE(h.engine->ScreenBits(), nullptr);
}

TEST(EngineHandshake, RefusedIdentificationLeavesTextModeWithoutDataSets) {
    for (int refusal : {EvNak, EvCancel}) {
        Harness h;
        h.Request(ReqConnect);
        h.Ack();
        h.Nak();
        h.Nak();
        h.Nak();
        h.Event(refusal);
        EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqConnect, StatusDone, nullptr}));
        EXPECT_EQ(h.engine->Current(), State::TextSession);
        EXPECT_EQ(h.engine->ScreenBits(), nullptr);
    }
    // "/" instead of the identification line also ends in text mode.
    Harness h;
    h.Request(ReqConnect);
    h.Ack();
    h.Nak();
    h.Nak();
    h.Nak();
    h.Ack();
    h.Cancel();
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqConnect, StatusDone, nullptr}));
    EXPECT_EQ(h.engine->Current(), State::TextSession);
}

TEST(EngineHandshake, NoAnswerToAttentionTriesThePacketModeExitAndRestarts) {
    Harness h;
    h.Request(ReqConnect);
    h.TakeSent();
    h.Ticks(14);
    EXPECT_TRUE(h.TakeSent().empty());
    h.Ticks(1);
    EXPECT_THAT(h.TakePackets(), ElementsAre(Bytes{'@', 0, 16, '0'}));
    EXPECT_EQ(h.engine->Current(), State::PacketSession);
    h.Answer(16, '0');
    EXPECT_EQ(h.TakeLine(), Text("###"));
    EXPECT_EQ(h.engine->Current(), State::AttentionAgain);
    EXPECT_EQ(h.out.discards, 1);
    EXPECT_TRUE(h.TakeNotes().empty());
    // From here as a first attempt.
    h.Ack();
    EXPECT_EQ(h.TakeLine(), Text("%@X\r\n"));
    EXPECT_EQ(h.engine->Current(), State::SwitchToPacket);
}

TEST(EngineHandshake, RestartedAttentionReportsSilenceAndGivesUpLater) {
    Harness h;
    h.Request(ReqConnect);
    h.Expire();
    h.Answer(16, '0');
    h.TakeSent();
    h.Expire();
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqConnect, StatusNoAnswer, nullptr}));
    EXPECT_EQ(h.engine->Current(), State::AttentionAgain);
    // A dead line does not keep the engine waiting for ever; the time-out was already reported.
    h.Ticks(engine::SilenceTicks);
    EXPECT_EQ(h.engine->Current(), State::Idle);
    EXPECT_TRUE(h.TakeNotes().empty());
}

TEST(EngineHandshake, ExitRefusedOrUnansweredEndsTheAttempt) {
    Harness refused;
    refused.Request(ReqConnect);
    refused.Expire();
    refused.Refuse(16, '0', 1);
    EXPECT_THAT(refused.TakeNotes(), ElementsAre(Note{ReqConnect, StatusRefused, nullptr}));
    EXPECT_EQ(refused.engine->Current(), State::Idle);

    Harness silent;
    silent.Request(ReqConnect);
    silent.Expire();
    silent.Expire();
    EXPECT_THAT(silent.TakeNotes(), ElementsAre(Note{ReqConnect, StatusNoAnswer, nullptr}));
    EXPECT_EQ(silent.engine->Current(), State::Idle);
}

TEST(EngineHandshake, RefusedAttentionAndSilentSwitchFail) {
    Harness refused;
    refused.Request(ReqConnect);
    refused.Nak();
    EXPECT_THAT(refused.TakeNotes(), ElementsAre(Note{ReqConnect, StatusNotAvailable, nullptr}));
    EXPECT_EQ(refused.engine->Current(), State::Idle);

    Harness silent;
    silent.Request(ReqConnect);
    silent.Ack();
    silent.TakeSent();
    silent.Expire();
    silent.Expire();
    EXPECT_EQ(silent.TakeLine(), Text("%@X\r\n%@X\r\n"));
    silent.Expire();
    EXPECT_TRUE(silent.TakeSent().empty());
    EXPECT_THAT(silent.TakeNotes(), ElementsAre(Note{ReqConnect, StatusNoAnswer, nullptr}));
    EXPECT_EQ(silent.engine->Current(), State::Idle);

    Harness noIdent;
    noIdent.Request(ReqConnect);
    noIdent.Ack();
    noIdent.Nak();
    noIdent.Nak();
    noIdent.Nak();
    noIdent.Expire();
    EXPECT_THAT(noIdent.TakeNotes(), ElementsAre(Note{ReqConnect, StatusNoAnswer, nullptr}));
    EXPECT_EQ(noIdent.engine->Current(), State::Idle);
}

TEST(EngineHandshake, IdentificationLineThatNeverComesEndsWithNoAnswer) {
    Harness h;
    h.Request(ReqConnect);
    h.Ack();
    h.Nak();
    h.Nak();
    h.Nak();
    h.Ack();
    h.Ticks(engine::SilenceTicks - 1);
    EXPECT_EQ(h.engine->Current(), State::IdentLine);
    h.Ticks(1);
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqConnect, StatusNoAnswer, nullptr}));
    EXPECT_EQ(h.engine->Current(), State::Idle);
}

TEST(EngineHandshake, ConnectQueryRetriedThenReportedUnanswered) {
    Harness h;
    h.Request(ReqConnect);
    h.Ack();
    h.Ack();
    h.TakeSent();
    h.Expire();
    // Each retry resets the numbering first, so the query goes out with sequence 0 again.
    EXPECT_THAT(h.TakePackets(), ElementsAre(Bytes{'0', 0}, Bytes{'@', 0, 2, '4', 1, 0, 2, 0, 3, 0, 1, 2}));
    h.Expire();
    EXPECT_EQ(h.TakePackets().size(), 2u);
    h.Expire();
    EXPECT_THAT(h.TakePackets(), ElementsAre(Bytes{'0', 0}));
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqConnect, StatusNoAnswer, nullptr}));
    EXPECT_EQ(h.engine->Current(), State::Idle);
}

TEST(EngineHandshake, RefusedQueryStillSubscribesAndUnansweredSubscriptionStillConnects) {
    Harness h;
    h.Request(ReqConnect);
    h.Ack();
    h.Ack();
    h.TakeSent();
    h.Refuse(2, '4', 1);
    EXPECT_EQ(h.TakePackets().at(0).at(2), 3);
    EXPECT_EQ(h.engine->ScreenBits(), nullptr);
    h.Expire();
    h.Expire();
    EXPECT_TRUE(h.TakeNotes().empty());
    h.Expire();
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqConnect, StatusDone, nullptr}));
    EXPECT_EQ(h.engine->Current(), State::PacketSession);
    // A refused subscription connects as well.
    Harness r;
    r.Request(ReqConnect);
    r.Ack();
    r.Ack();
    r.Answer(2, '4', {});
    r.Refuse(3, '3', 2);
    EXPECT_THAT(r.TakeNotes(), ElementsAre(Note{ReqConnect, StatusDone, nullptr}));
}

TEST(EngineHandshake, ConnectDuringASessionSendsNothing) {
    Harness packet;
    packet.ConnectPacket();
    packet.Request(ReqConnect);
    EXPECT_TRUE(packet.TakeSent().empty());
    EXPECT_THAT(packet.TakeNotes(), ElementsAre(Note{ReqConnect, StatusDone, nullptr}));

    Harness text;
    text.ConnectText();
    text.Request(ReqConnect);
    EXPECT_TRUE(text.TakeSent().empty());
    EXPECT_THAT(text.TakeNotes(), ElementsAre(Note{ReqConnect, StatusDone, nullptr}));
    EXPECT_EQ(text.engine->Current(), State::TextSession);
}

TEST(EngineHandshake, AutomaticConnectionWaitsForThreeTicksOfModemLines) {
    Harness h;
    h.Request(ReqAutoConnect);
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqAutoConnect, StatusDone, nullptr}));
    h.Ticks(5);
    EXPECT_TRUE(h.TakeSent().empty());
    h.out.modemOn = true;
    h.Ticks(2);
    h.out.modemOn = false;
    h.Ticks(1);  // starts the count again
    h.out.modemOn = true;
    h.Ticks(2);
    EXPECT_TRUE(h.TakeSent().empty());
    h.Ticks(1);
    EXPECT_EQ(h.TakeLine(), Text("###"));
    EXPECT_EQ(h.engine->Current(), State::AutoAttention);
    h.Ack();
    EXPECT_EQ(h.engine->Current(), State::AutoSwitchToPacket);
    h.Ack();
    EXPECT_EQ(h.engine->Current(), State::AutoPacketSession);
    h.Answer(2, '4', {});
    h.Answer(3, '3');
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{NtfyAutoConnected, StatusDone, nullptr}));
    EXPECT_EQ(h.engine->LinkMode(), 2);
}

TEST(EngineHandshake, AutomaticConnectionFailuresRearmInsteadOfNotifying) {
    Harness h;
    h.out.modemOn = true;
    h.Request(ReqAutoConnect);
    h.TakeNotes();
    h.Ticks(3);
    h.Nak();
    EXPECT_EQ(h.engine->Current(), State::Idle);
    EXPECT_EQ(h.Expire(), 3);
    EXPECT_EQ(h.engine->Current(), State::AutoAttention);
    h.Ack();
    h.Nak();
    h.Nak();
    h.Nak();
    EXPECT_EQ(h.engine->Current(), State::AutoIdentify);
    h.Expire();
    EXPECT_EQ(h.engine->Current(), State::Idle);
    // The automatic text-mode path identifies and reports NtfyAutoConnected.
    EXPECT_EQ(h.Expire(), 3);
    h.Ack();
    h.Nak();
    h.Nak();
    h.Nak();
    h.Ack();
    EXPECT_EQ(h.engine->Current(), State::AutoIdentLine);
    h.Line("RV-7030 2");
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{NtfyAutoConnected, StatusDone, nullptr}));
    EXPECT_EQ(h.DataSetModel(), 2);
    EXPECT_EQ(h.engine->Version(), 0x200 << 12);
}

TEST(EngineHandshake, SilentAutomaticAttentionStartsOverAfterTheWatchdog) {
    Harness h;
    h.out.modemOn = true;
    h.Request(ReqAutoConnect);
    h.Ticks(3);
    EXPECT_EQ(h.engine->Current(), State::AutoAttention);
    h.Ticks(15);
    EXPECT_EQ(h.engine->Current(), State::AutoAttention);
    h.Ticks(engine::SilenceTicks - 15);
    EXPECT_EQ(h.engine->Current(), State::Idle);
    h.TakeSent();
    h.Ticks(3);
    EXPECT_EQ(h.TakeLine(), Text("###"));
    EXPECT_EQ(h.TakeNotes().size(), 1u);  // only the ReqAutoConnect answer
}

TEST(ItemRecords, ParseStopsAtARecordThatDoesNotFit) {
    const Bytes bytes = Cat({Record(0x0001, {4}), Record(0x0002, Text("AB")), Bytes{0x03, 0x00, 5, 1, 2}});
    const auto records = engine::ParseItemRecords(bytes);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].item, 0x0001);
    EXPECT_EQ(records[1].item, 0x0002);
    EXPECT_EQ(Bytes(records[1].value.begin(), records[1].value.end()), Text("AB"));
    EXPECT_TRUE(engine::ParseItemRecords(Bytes{1, 0}).empty());
}

TEST(ItemRecords, VersionScaleFollowsTheItemLength) {
    EXPECT_EQ(engine::VersionFromItem({}), 0);
    EXPECT_EQ(engine::VersionFromItem(Bytes{0x12}), 0x12 << 16);
    EXPECT_EQ(engine::VersionFromItem(Bytes{0x34, 0x12}), 0x1234 << 12);
    EXPECT_EQ(engine::VersionFromItem(Bytes{0x56, 0x34, 0x12}), 0x123456 << 4);
    EXPECT_EQ(engine::VersionFromItem(Bytes{0x78, 0x56, 0x34, 0x12, 0x99}), 0x12345678);
}

TEST(ItemRecords, IdentificationLine) {
    auto id = engine::ParseIdentification(Text("RV-7010 1.0"));
    EXPECT_EQ(id.name, "RV-7010");
    EXPECT_EQ(id.version, 0x100 << 12);
    id = engine::ParseIdentification(Text("OTHER   a"));
    EXPECT_EQ(id.name, "OTHER");
    EXPECT_EQ(id.version, 0xA00 << 12);
    EXPECT_EQ(engine::ParseIdentification(Text(std::string(70, 'x'))).name, std::string(63, 'x'));
    EXPECT_EQ(engine::ModelCodeFor("RV-7010", 9), 4);
    EXPECT_EQ(engine::ModelCodeFor("rv-7010", 9), 9);
}

TEST(EngineHandshake, UnknownModelKeepsThePreviousModelCode) {
    Harness h;
    h.ConnectText("RV-7030 1.0");
    EXPECT_EQ(h.DataSetModel(), 2);
    h.engine->Reset();
    h.ConnectText("XYZ-1 1.0");
    EXPECT_EQ(h.DataSetModel(), 2);
    EXPECT_STREQ(h.engine->ModelName(), "XYZ-1");
}

}  // namespace
}  // namespace commlib::test
