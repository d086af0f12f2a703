// The analyzer's item notifications: the status word with measure states and
// the capture writer's begin and end, keys given back when the application
// does not take them, and data and information items for the capture writer.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine_harness.h"

namespace commlib::test {
namespace {

using ::testing::ElementsAre;

TEST(EngineNotifications, MeasurementStartRunningStatesAndEnd) {
    Harness h;
    h.ConnectPacket();
    h.Notification(0x0201, {0x00, 0x01});
    EXPECT_THAT(h.capture->calls, ElementsAre("begin"));
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{NtfyRate, 0, nullptr}, Note{NtfyMeasureState, 1, nullptr}));
    EXPECT_EQ(h.engine->Status(), 0x100);
    // 0x100 to 0x300: only the measure state; the capture goes on.
    h.Notification(0x0201, {0x00, 0x03});
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{NtfyMeasureState, 2, nullptr}));
    h.Notification(0x0201, {0x00, 0x05});
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{NtfyMeasureState, 3, nullptr}));
    EXPECT_THAT(h.capture->calls, ElementsAre("begin"));
    h.Notification(0x0201, {0x00, 0x02});
    EXPECT_THAT(h.capture->calls, ElementsAre("begin", "end"));
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{NtfyRate, -1, nullptr}, Note{NtfyMeasureState, 0, nullptr}));
    EXPECT_TRUE(h.TakeSent().empty());
}

TEST(EngineNotifications, StatusBitAndUnchangedWords) {
    Harness h;
    h.ConnectPacket();
    h.Notification(0x0201, {0x01});
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{NtfyStatusBit, 1, nullptr}));
    h.Notification(0x0201, {0x01, 0x00, 0x00, 0x40});
    EXPECT_TRUE(h.TakeNotes().empty());
    EXPECT_EQ(h.engine->Status(), 0x40000001);
    h.Notification(0x0201, {});  // no bytes: 0
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{NtfyStatusBit, 0, nullptr}));
    EXPECT_TRUE(h.capture->calls.empty());
}

TEST(EngineNotifications, MeasuringAnalyzerStartsFromItsReportedWord) {
    Harness h;
    h.ConnectPacket(0x100);
    // The word that the connect query reported is the one changes are measured from.
    h.Notification(0x0201, {0x00, 0x01});
    EXPECT_TRUE(h.TakeNotes().empty());
    h.Notification(0x0201, {0x00, 0x00});
    EXPECT_THAT(h.capture->calls, ElementsAre("end"));
}

TEST(EngineNotifications, KeysNotTakenAreGivenBack) {
    Harness h;
    h.ConnectPacket();
    h.out.keyResult = 0;
    h.Notification(0x0C20, {0x31});
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{NtfyKey, 0x31, nullptr}));
    EXPECT_THAT(h.TakePackets(), ElementsAre(Bytes{'2', 0, 0x20, 0x0C, 0x31}));
    h.Notification(0x0C20, {0xA5, 0x01});
    EXPECT_THAT(h.TakePackets(), ElementsAre(Bytes{'2', 0, 0x20, 0x0C, 0xA5, 0x01}));
    h.out.keyResult = 1;
    h.Notification(0x0C20, {0x31});
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{NtfyKey, 0x1A5, nullptr}, Note{NtfyKey, 0x31, nullptr}));
    EXPECT_TRUE(h.TakeSent().empty());
}

TEST(EngineNotifications, DataAndInformationItemsGoToTheCaptureWriter) {
    Harness h;
    h.ConnectPacket();
    h.Notification(0x8000, {0x34, 0x12, 0x11, 0x41, 0x23, 0x42});
    EXPECT_THAT(h.capture->calls, ElementsAre("data 4660"));
    EXPECT_EQ(h.capture->lastPayload, (Bytes{0x11, 0x41, 0x23, 0x42}));
    h.Notification(0x8000, {0x34});  // no room for the counter
    EXPECT_EQ(h.capture->calls.size(), 1u);
    for (unsigned item : {0x8100u, 0xE000u, 0xE800u, 0xE900u, 0xEA00u, 0xEB00u, 0xEC00u}) {
        h.capture->calls.clear();
        h.Notification(item, {1, 2, 3});
        EXPECT_THAT(h.capture->calls, ElementsAre("info " + std::to_string(item)));
        ASSERT_NE(h.capture->lastInfo, nullptr);
        EXPECT_EQ(std::string_view(h.capture->lastInfo->Header().magic.data(), MagicSize),
                  std::string_view(pcbuffer::kInfoMagic, MagicSize));
        EXPECT_EQ(h.capture->lastPayload, (Bytes{1, 2, 3}));
    }
    h.capture->calls.clear();
    for (unsigned item : {0x0B01u, 0xE100u, 0x8001u, 0x0202u}) h.Notification(item, {1, 2, 3});
    EXPECT_TRUE(h.capture->calls.empty());
    EXPECT_TRUE(h.TakeNotes().empty());
    EXPECT_NE(h.capture->lastInfo, nullptr);
}

TEST(EngineNotifications, InformationBeforeIdentificationHasNoDataSet) {
    Harness h;
    h.Request(ReqConnect);
    h.Ack();
    h.Ack();
    h.Refuse(2, '4', 1);  // no identification, so no data sets
    h.Notification(0x8100, {9});
    EXPECT_THAT(h.capture->calls, ElementsAre("info 33024"));
    EXPECT_EQ(h.capture->lastInfo, nullptr);
}

TEST(EngineNotifications, ResetAndTicksReachTheCaptureWriter) {
    Harness h;
    h.Ticks(3);
    EXPECT_EQ(h.capture->ticks, 3);
    h.ConnectPacket();
    h.engine->Reset();
    EXPECT_THAT(h.capture->calls, ElementsAre("reset"));
    EXPECT_EQ(h.out.discards, 1);
    EXPECT_EQ(h.engine->Current(), State::Idle);
    EXPECT_EQ(h.engine->ScreenBits(), nullptr);
    EXPECT_EQ(h.engine->ScreenInfo(), nullptr);
    BufferSettings buffer{"/tmp", 7, 1, 0};
    h.engine->ScanBufferFolder(buffer);
    EXPECT_THAT(h.capture->calls, ElementsAre("reset", "scan 7"));
}

}  // namespace
}  // namespace commlib::test
