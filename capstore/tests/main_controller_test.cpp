// The main window's controller against a fake Remote and a recording view:
// the measurement sequences, every notification row and the button rules.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>

#include "app/main_controller.h"
#include "app/notify_codes.h"
#include "fakes.h"
#include "pcbuffer/buffer_names.h"

namespace capstore {
namespace {

using testing::FakeRemote;
using testing::RecordingView;

class MainControllerTest : public ::testing::Test {
protected:
    FakeRemote remote;
    RecordingView view;
    std::atomic<unsigned> posts{0};
    int stored_convert = 0;
    std::vector<BufferSettings> stored_buffers;
    std::unique_ptr<MainController> c;
    long long free_mb = 123;
    int probe_error = 0;
    std::vector<std::string> probed;

    void SetUp() override { make(remote.buffer); }
    void make(const BufferSettings& buffer) {
        MainHooks hooks;
        hooks.store_convert_silently = [this] { ++stored_convert; };
        hooks.store_buffer = [this](const BufferSettings& b) { stored_buffers.push_back(b); };
        hooks.free_mbytes = [this](const std::string&) { return free_mb; };
        hooks.probe_folder = [this](const std::string& folder) {
            probed.push_back(folder);
            return probe_error;
        };
        c = std::make_unique<MainController>(remote, view, Language::English, posts, hooks);
        c->start(buffer);
    }
    void notify(int code, int status, std::intptr_t data = 0) {
        c->on_notification(PackNotification(status, code), data);
    }
    void blocks(int first, int next, int count) {
        int values[3] = {first, next, count};
        notify(NtfyBlocks, 0, reinterpret_cast<std::intptr_t>(values));
    }
    // Start, connect, fetch the setup and see the measurement running.
    void measure() {
        c->on_start_measure();
        notify(ReqConnect, 0);
        notify(ReqGetSetup, 0);
        notify(ReqMeasure, 0);
        notify(NtfyMeasureState, 1);
    }
    std::vector<std::string> message_texts() const {
        std::vector<std::string> out;
        for (const auto& m : view.messages) out.push_back(m.text);
        return out;
    }
    // shown/enabled of start, stop, conversion start and environment.
    void expect_buttons(bool start_shown, bool start_on, bool stop_on, bool convert_on, bool environment_on) {
        EXPECT_EQ(view.shown[id::kStartMeasure], start_shown);
        EXPECT_EQ(view.shown[id::kStopMeasure], !start_shown);
        if (start_shown) EXPECT_EQ(view.enabled[id::kStartMeasure], start_on);
        else EXPECT_EQ(view.enabled[id::kStopMeasure], stop_on);
        EXPECT_EQ(view.enabled[id::kStartConvert], convert_on);
        EXPECT_EQ(view.enabled[id::kEnvironment], environment_on);
    }
};

TEST_F(MainControllerTest, StartsOfflineWithCountersAtZeroAndStoresTheBuffer) {
    EXPECT_EQ(view.title, "ZAMVEX-3 PC Buffering (Offline)");
    EXPECT_EQ(view.texts[id::kBlockCount], "0");
    EXPECT_EQ(view.texts[id::kBlockFill], "0%");
    EXPECT_FALSE(view.indicators[kConnectPart]);
    expect_buttons(true, true, false, false, true);
    ASSERT_EQ(stored_buffers.size(), 1u);
    EXPECT_STREQ(stored_buffers[0].Folder, "/tmp/buf");
}

TEST_F(MainControllerTest, WholeMeasurementFromStartToDisconnect) {
    c->on_start_measure();
    EXPECT_EQ(remote.opens, 1);
    EXPECT_EQ(remote.codes(), std::vector<int>{ReqConnect});
    EXPECT_EQ(view.status, "Connecting...");
    expect_buttons(true, false, false, false, false);

    notify(ReqConnect, 0);
    EXPECT_EQ(remote.codes().back(), ReqGetSetup);
    EXPECT_EQ(view.status, "Connecting...");

    notify(ReqGetSetup, 0);
    EXPECT_EQ(view.title, "ZAMVEX-3 PC Buffering (RV-7020)");
    EXPECT_TRUE(view.indicators[kConnectPart]);
    EXPECT_EQ(remote.requests.back().code, ReqMeasure);
    EXPECT_EQ(remote.requests.back().param, 1);
    EXPECT_EQ(view.status, "Starting measurement...");

    notify(ReqMeasure, 0);
    EXPECT_EQ(c->state().stop_watchdog, kWatchdogTicks);
    notify(NtfyMeasureState, 1);
    EXPECT_EQ(c->state().stop_watchdog, 0);
    EXPECT_EQ(c->state().measure_state, 1);
    EXPECT_EQ(view.status, "");
    EXPECT_EQ(view.default_button, id::kStopMeasure);
    EXPECT_TRUE(view.indicators[kMeasurePart]);
    expect_buttons(false, false, true, false, false);

    blocks(0, 3, 3);
    EXPECT_EQ(view.texts[id::kBlockCount], "3 / 10");
    expect_buttons(false, false, true, true, false);  // flat buffer: converting allowed

    c->on_stop_measure();
    EXPECT_EQ(remote.requests.back().param, 0);
    EXPECT_EQ(view.status, "Stopping measurement...");
    expect_buttons(false, false, false, false, false);
    notify(ReqMeasure, 0);
    notify(NtfyMeasureState, 0);
    EXPECT_EQ(remote.codes().back(), ReqDisconnect);
    EXPECT_EQ(view.status, "Disconnecting...");
    notify(ReqDisconnect, 0);
    EXPECT_EQ(remote.closes, 1);
    EXPECT_EQ(view.title, "ZAMVEX-3 PC Buffering (Offline)");
    EXPECT_FALSE(view.indicators[kConnectPart]);
    EXPECT_FALSE(view.indicators[kMeasurePart]);
    EXPECT_EQ(view.rate_speed, -1);
    expect_buttons(true, true, false, true, true);
    EXPECT_TRUE(view.messages.empty());
}

TEST_F(MainControllerTest, ConnectChecksRefuseTextModeAndAMeasuringAnalyzer) {
    remote.link_mode = 1;
    c->on_start_measure();
    notify(ReqConnect, 0);
    EXPECT_EQ(remote.codes().back(), ReqDisconnect);
    EXPECT_EQ(message_texts().back(), "An error occurred during the connection process.");
    EXPECT_TRUE(c->state().busy);  // until the disconnect ends
    notify(ReqDisconnect, 0);
    EXPECT_FALSE(c->state().busy);

    remote.link_mode = 2;
    remote.status = 0x100;
    c->on_start_measure();
    notify(ReqConnect, 0);
    EXPECT_EQ(remote.codes().back(), ReqDisconnect);
    EXPECT_EQ(message_texts().back().substr(0, 40), "Cannot be connected while the analyzer i");
}

TEST_F(MainControllerTest, FailedConnectAndSetupShowMessage6) {
    c->on_start_measure();
    notify(ReqConnect, StatusNoAnswer);  // nothing to disconnect from
    EXPECT_EQ(remote.codes(), std::vector<int>{ReqConnect});
    EXPECT_FALSE(c->state().busy);
    EXPECT_EQ(view.messages.size(), 1u);
    // Nothing answered: the table's text, then what to check.
    EXPECT_EQ(view.messages[0].text,
              "An error occurred during the connection process.\nNothing answered on '/dev/ttyS2' at 230400 baud. Is "
              "the analyzer connected and switched on? Is its speed setting 230400 baud too? Is this the right port "
              "(the Serial Port Setting lists this machine's ports)?");
    EXPECT_EQ(view.messages[0].caption, "ZAMVEX-3 PC Buffering");

    c->on_start_measure();
    notify(ReqConnect, StatusRefused);
    EXPECT_EQ(remote.codes().back(), ReqDisconnect);
    EXPECT_EQ(view.messages.back().text, "An error occurred during the connection process.");

    c->on_start_measure();
    notify(ReqConnect, 0);
    notify(ReqGetSetup, StatusLostPacket);
    EXPECT_EQ(remote.codes().back(), ReqDisconnect);
    EXPECT_EQ(view.messages.size(), 3u);
}

TEST_F(MainControllerTest, OpenFailureAndOverwriteWarning) {
    remote.open_result = 2;
    c->on_start_measure();
    EXPECT_TRUE(remote.requests.empty());
    EXPECT_EQ(message_texts().back(), "An error occurred during the serial port initializing process.");
    EXPECT_FALSE(c->state().busy);

    remote.open_result = 0;
    blocks(0, 2, 2);
    view.answers = {Answer::No};
    c->on_start_measure();
    EXPECT_EQ(view.messages.back().icon, Icon::Question);
    EXPECT_EQ(view.messages.back().buttons, Buttons::YesNo);
    EXPECT_EQ(remote.opens, 1);
    view.answers = {Answer::Yes};
    c->on_start_measure();
    EXPECT_EQ(remote.opens, 2);
}

struct ReasonCase {
    int reason;
    const char* text;
};

class RefusedStartTest : public MainControllerTest, public ::testing::WithParamInterface<ReasonCase> {};

TEST_P(RefusedStartTest, ReasonIsShownAfterTheDisconnect) {
    c->on_start_measure();
    notify(ReqConnect, 0);
    notify(ReqGetSetup, 0);
    notify(ReqMeasure, StatusRefused);
    EXPECT_EQ(remote.codes().back(), ReqGetStopReason);
    notify(ReqGetStopReason, 0, GetParam().reason);
    EXPECT_EQ(remote.codes().back(), ReqDisconnect);
    EXPECT_TRUE(view.messages.empty());
    notify(ReqDisconnect, 0);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, GetParam().text);
    EXPECT_EQ(c->state().stop_reason, 0);
    expect_buttons(true, true, false, false, true);
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, RefusedStartTest,
    ::testing::Values(
        ReasonCase{2, "The connected analyzer unsupport this function."},
        ReasonCase{3,
                   "The analyzer is not the condition that a measurement can be started. "
                   "Confirm the condition of the analyzer."},
        ReasonCase{5, "A measurement cannot be started."}, ReasonCase{8, "A measurement cannot be started"},
        ReasonCase{0xF000 + 12, "A label at line number 12 in the program is undefined."},
        ReasonCase{0xF1FF, "A label at line number 511 in the program is undefined."},
        ReasonCase{0xF200, "A measurement cannot be started."}, ReasonCase{99, "A measurement cannot be started."},
        ReasonCase{-1, "A measurement cannot be started."}, ReasonCase{0, "A measurement cannot be started."}));

TEST_F(MainControllerTest, JapaneseReasonTexts) {
    EXPECT_EQ(stop_reason_message_number(4), 14);
    EXPECT_EQ(string_text(14, Language::Japanese).substr(0, 15), "計測器本体");
    EXPECT_EQ(string_text(1, Language::Japanese), "ZAMVEX-3 PCバッファリング");
}

TEST_F(MainControllerTest, NoAnswerHintInJapanese) {
    c = std::make_unique<MainController>(remote, view, Language::Japanese, posts, MainHooks{});
    c->start(remote.buffer);
    c->on_start_measure();
    notify(ReqConnect, StatusNoAnswer);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text,
              std::string(string_text(str::kConnectFailed, Language::Japanese)) +
                  "\n'/dev/ttyS2' の 230400 bps では計測器から応答がありませんでした。計測器は接続され、電源が入って"
                  "いますか？計測器の通信速度の設定は 230400 bps ですか？ポートは正しいですか（シリアルポート設定にこの"
                  "PCのシリアルポートが表示されます）？");
}

TEST_F(MainControllerTest, UnexpectedMeasureStatusIsHandledLikeARefusal) {
    c->on_start_measure();
    notify(ReqConnect, 0);
    notify(ReqGetSetup, 0);
    notify(ReqMeasure, StatusNotAvailable);
    EXPECT_EQ(remote.codes().back(), ReqGetStopReason);
    notify(ReqGetStopReason, StatusNotAllowed, -1);
    notify(ReqDisconnect, 0);
    EXPECT_EQ(message_texts(), std::vector<std::string>{"A measurement cannot be started."});
}

TEST_F(MainControllerTest, NoAnswerToTheMeasureRequestShowsMessage38) {
    c->on_start_measure();
    notify(ReqConnect, 0);
    notify(ReqGetSetup, 0);
    notify(ReqMeasure, StatusNoAnswer);
    EXPECT_FALSE(c->state().busy);
    EXPECT_EQ(message_texts().back(), "There was no answer from the analyzer within a given period of time.");
}

TEST_F(MainControllerTest, WatchdogGivesUpAfter30Ticks) {
    measure();
    c->on_stop_measure();
    notify(ReqMeasure, 0);
    for (int i = 0; i < kWatchdogTicks - 1; ++i) c->on_tick();
    EXPECT_EQ(remote.resets, 0);
    c->on_tick();
    EXPECT_EQ(remote.resets, 1);
    EXPECT_EQ(remote.closes, 1);
    EXPECT_FALSE(c->state().busy);
    EXPECT_EQ(c->state().measure_state, 0);
    EXPECT_EQ(view.title, "ZAMVEX-3 PC Buffering (Offline)");
    EXPECT_EQ(message_texts().back(), "There was no answer from the analyzer within a given period of time.");
    EXPECT_EQ(view.ended, -1);
}

TEST_F(MainControllerTest, WatchdogWithACloseRequestShowsMessage39AndExits) {
    measure();
    view.answers = {Answer::Yes};
    c->on_close_request();
    notify(ReqMeasure, 0);
    for (int i = 0; i < kWatchdogTicks; ++i) c->on_tick();
    EXPECT_EQ(message_texts().back().substr(0, 60), "There was no answer from the analyzer within given period of");
    EXPECT_EQ(view.ended, 0);
    EXPECT_EQ(remote.releases, 1);
    EXPECT_EQ(stored_convert, 1);
}

TEST_F(MainControllerTest, AutomaticStopInFlatModeAtMaxBlocks) {
    measure();
    blocks(0, 9, 9);
    EXPECT_EQ(remote.codes().back(), ReqMeasure);
    EXPECT_EQ(remote.requests.back().param, 1);
    blocks(0, 10, 10);
    EXPECT_EQ(remote.requests.back().param, 0);
    EXPECT_EQ(view.status, "Stopping measurement...");
    const auto sent = remote.requests.size();
    blocks(0, 11, 10);  // one stop is enough
    EXPECT_EQ(remote.requests.size(), sent);
}

TEST_F(MainControllerTest, RingModeRunsPastMaxBlocksUntilTheLastBlockNumber) {
    BufferSettings ring = remote.buffer;
    ring.Ring = 1;
    make(ring);
    measure();
    blocks(5, 15, 10);
    EXPECT_EQ(remote.requests.back().param, 1);
    EXPECT_FALSE(view.enabled[id::kStartConvert]);  // a ring buffer is still being overwritten
    blocks(pcbuffer::kBlockNumberLimit - 10, pcbuffer::kBlockNumberLimit, 10);
    EXPECT_EQ(remote.requests.back().code, ReqMeasure);
    EXPECT_EQ(remote.requests.back().param, 0);
}

TEST_F(MainControllerTest, MessageRoutineDropsASecondMessage) {
    view.while_open = [this] { EXPECT_EQ(c->message(38, Icon::Warning), Answer::None); };
    EXPECT_EQ(c->message(6, Icon::Warning), Answer::Ok);
    EXPECT_EQ(view.messages.size(), 1u);
    c->message(38, Icon::Warning);
    EXPECT_EQ(view.messages.size(), 2u);
}

TEST_F(MainControllerTest, PortThatExistsButCannotBeOpened) {
    // The library reports the failed open as 14/2 and the connect as 1/2, and
    // answers every later request at once with status 2.
    std::deque<std::pair<int, int>> posted;
    remote.request_result = 0;
    remote.on_request = [&](int code) {
        ++posts;
        posted.emplace_back(code, StatusPortNotOpen);
    };
    c->on_start_measure();
    posted.emplace_front(ReqGetStopReason, StatusPortNotOpen);
    auto deliver = [&] {
        while (!posted.empty()) {
            const auto [code, status] = posted.front();
            posted.pop_front();
            notify(code, status, code == ReqGetStopReason ? -1 : 0);
        }
    };
    view.while_open = deliver;
    deliver();
    EXPECT_EQ(message_texts(), std::vector<std::string>{"An error occurred during the connection process."});
    EXPECT_FALSE(c->state().busy);
    EXPECT_EQ(c->state().stop_reason, 0);
    expect_buttons(true, true, false, false, true);
}

TEST_F(MainControllerTest, RequestNotTakenEndsTheOperation) {
    remote.request_result = 0;  // and nothing posted: the protocol thread is stuck
    c->on_start_measure();
    EXPECT_EQ(remote.closes, 1);
    EXPECT_FALSE(c->state().busy);
    EXPECT_EQ(message_texts().back(), "There was no answer from the analyzer within a given period of time.");
}

TEST_F(MainControllerTest, CloseWhileOfflineExitsOnTheDisconnectNotification) {
    c->on_close_request();
    EXPECT_EQ(remote.codes(), std::vector<int>{ReqDisconnect});
    EXPECT_EQ(view.status, "Exiting...");
    EXPECT_EQ(view.ended, -1);
    notify(ReqDisconnect, StatusPortNotOpen);
    EXPECT_EQ(view.ended, 0);
    EXPECT_EQ(remote.releases, 1);
    EXPECT_EQ(stored_convert, 1);
    notify(NtfyLinkLost, 0);  // nothing after the end
    EXPECT_EQ(remote.closes, 1);
}

TEST_F(MainControllerTest, CloseWhileMeasuringAsksStopsAndExits) {
    measure();
    view.answers = {Answer::No};
    c->on_close_request();
    EXPECT_EQ(remote.codes().back(), ReqMeasure);
    EXPECT_FALSE(c->state().exit_requested);
    view.answers = {Answer::Yes};
    c->on_close_request();
    EXPECT_EQ(remote.requests.back().param, 0);
    notify(ReqMeasure, 0);
    notify(NtfyMeasureState, 0);
    EXPECT_EQ(remote.codes().back(), ReqDisconnect);
    notify(ReqDisconnect, 0);
    EXPECT_EQ(view.ended, 0);
    EXPECT_EQ(view.messages.size(), 2u);  // the two questions
}

TEST_F(MainControllerTest, LinkLostReturnsToOfflineAndSaysWhy) {
    measure();
    notify(NtfyLinkLost, LinkLostPortGone);
    EXPECT_EQ(remote.closes, 1);
    EXPECT_EQ(c->state().measure_state, 0);
    EXPECT_EQ(view.title, "ZAMVEX-3 PC Buffering (Offline)");
    EXPECT_EQ(message_texts(), std::vector<std::string>{"The serial port went away (unplugged?)."});
    expect_buttons(true, true, false, false, true);

    measure();
    notify(NtfyLinkLost, LinkLostSilent);
    EXPECT_EQ(remote.closes, 2);
    ASSERT_EQ(view.messages.size(), 2u);
    EXPECT_EQ(message_texts().back().rfind("The analyzer stopped answering", 0), 0u) << message_texts().back();
}

TEST_F(MainControllerTest, APortThatDoesNotOpenIsNamedWithTheReason) {
    struct Row {
        PortError error;
        const char* says;
    };
    const Row rows[] = {
        {{PortStepOpen, ENOENT}, "There is no serial device '/dev/ttyS2' (No such file or directory)."},
        {{PortStepOpen, EACCES}, "No permission to open '/dev/ttyS2' (Permission denied)."},
        {{PortStepOpen, EBUSY}, "is busy: another program opened it exclusively"},
        {{PortStepConfigure, EINVAL}, "'/dev/ttyS2' does not support 230400 baud."},
    };
    ::setenv("ZAMVEX_PORT_COM3", "/dev/ttyS2", 1);
    for (const Row& row : rows) {
        remote.port_error = row.error;
        const int closes = remote.closes;
        c->on_start_measure();
        EXPECT_TRUE(remote.requests.empty());
        EXPECT_EQ(remote.closes, closes + 1);
        EXPECT_FALSE(c->state().busy);
        const std::string text = message_texts().back();
        EXPECT_EQ(text.rfind("An error occurred during the serial port initializing process.\n", 0), 0u) << text;
        EXPECT_NE(text.find(row.says), std::string::npos) << text;
    }
    ::unsetenv("ZAMVEX_PORT_COM3");
}

TEST_F(MainControllerTest, AnalyzerStoppingByItselfDisconnectsWithoutBusy) {
    measure();
    notify(NtfyMeasureState, 0);
    EXPECT_EQ(remote.codes().back(), ReqDisconnect);
    EXPECT_EQ(view.status, "Disconnecting...");
    EXPECT_FALSE(c->state().busy);
    notify(ReqDisconnect, StatusNoAnswer);
    EXPECT_EQ(message_texts().back(), "There was no answer from the analyzer within a given period of time.");
}

TEST_F(MainControllerTest, CountersAndRateIndicator) {
    notify(NtfyBlockFill, 0, 1 << 19);
    EXPECT_EQ(view.texts[id::kBlockFill], "50%");
    notify(NtfyBlockFill, 0, (1 << 20) - 1);
    EXPECT_EQ(view.texts[id::kBlockFill], "99%");
    notify(NtfyLost, 0, 4000000000LL);
    EXPECT_EQ(view.texts[id::kLost], "4000000000");
    notify(NtfyRate, 640);
    EXPECT_EQ(view.rate_speed, 640);
    notify(NtfyRate, -1);
    EXPECT_EQ(view.rate_speed, -1);
    notify(NtfyAutoConnected, 0);
    EXPECT_TRUE(c->state().connected);
    EXPECT_FALSE(view.enabled[id::kEnvironment]);
}

TEST_F(MainControllerTest, ConvertingBlocksStartAndEnvironment) {
    blocks(0, 4, 4);
    view.focus = id::kStartConvert;
    c->set_converting(true);
    EXPECT_TRUE(view.shown[id::kStopConvert]);
    EXPECT_FALSE(view.shown[id::kStartConvert]);
    EXPECT_EQ(view.default_button, id::kStopConvert);
    EXPECT_TRUE(view.indicators[kConvertPart]);
    expect_buttons(true, false, false, false, false);
    c->on_start_measure();
    EXPECT_EQ(remote.opens, 0);
    c->set_converting(false);
    EXPECT_EQ(view.default_button, id::kStartConvert);
    expect_buttons(true, true, false, true, true);
}

TEST_F(MainControllerTest, FreeSpaceFillsTheEmptyStatusWhileMeasuring) {
    measure();
    c->on_tick();
    EXPECT_EQ(view.status, "123MBytes free");
    c->on_stop_measure();
    EXPECT_EQ(view.status, "Stopping measurement...");
    notify(ReqMeasure, 0);
    notify(NtfyMeasureState, 0);
    notify(ReqDisconnect, 0);
    EXPECT_EQ(view.status, "");
}

TEST_F(MainControllerTest, BufferDialogStoresAndRefreshesTheCount) {
    remote.buffer_dialog = 1;
    remote.buffer.MaxBlocks = 20;
    c->on_buffer_setting();
    EXPECT_EQ(view.texts[id::kBlockCount], "0 / 20");
    ASSERT_EQ(stored_buffers.size(), 2u);
    EXPECT_EQ(stored_buffers[1].MaxBlocks, 20);
}

}  // namespace
}  // namespace capstore

namespace capstore {
namespace {

TEST_F(MainControllerTest, StoreFailureStopsTheMeasurementSaysWhyAndReturnsOffline) {
    measure();
    notify(NtfyLost, 0, 1);
    const StoreFailure failure{ENOSPC, StoreOpWrite, 2, 561152, 0, 1};
    notify(NtfyStoreFailed, 0, reinterpret_cast<std::intptr_t>(&failure));
    EXPECT_EQ(remote.codes().back(), ReqMeasure);
    EXPECT_EQ(remote.requests.back().param, 0);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text,
              "The measurement could not be stored: No space left on device; blocks "
              "00000000..00000001 are complete, 00000002 holds 561152 bytes\n"
              "The measurement was stopped.");
    EXPECT_EQ(view.texts[id::kLost], "1");
    notify(ReqMeasure, 0);
    notify(NtfyMeasureState, 0);
    EXPECT_EQ(remote.codes().back(), ReqDisconnect);
    notify(ReqDisconnect, 0);
    EXPECT_EQ(view.title, "ZAMVEX-3 PC Buffering (Offline)");
    expect_buttons(true, true, false, false, true);
}

TEST_F(MainControllerTest, StoreFailureWhileStartingStopsOnceTheMeasurementRuns) {
    c->on_start_measure();
    notify(ReqConnect, 0);
    notify(ReqGetSetup, 0);
    const StoreFailure failure{EROFS, StoreOpCreate, 0, -1, 0, -1};
    notify(NtfyStoreFailed, 0, reinterpret_cast<std::intptr_t>(&failure));
    EXPECT_EQ(remote.codes().back(), ReqMeasure);
    EXPECT_EQ(remote.requests.back().param, 1);  // nothing more while busy
    notify(ReqMeasure, 0);
    notify(NtfyMeasureState, 1);
    EXPECT_EQ(remote.codes().back(), ReqMeasure);
    EXPECT_EQ(remote.requests.back().param, 0);
    EXPECT_NE(message_texts().back().find("Read-only file system; no block is complete, 00000000 could not be created"),
              std::string::npos);
    // The next start is a fresh one.
    notify(ReqMeasure, 0);
    notify(NtfyMeasureState, 0);
    notify(ReqDisconnect, 0);
    measure();
    EXPECT_EQ(remote.requests.back().param, 1);
}

TEST_F(MainControllerTest, FolderThatCannotBeWrittenIsRefusedBeforeConnecting) {
    probe_error = EACCES;
    c->on_start_measure();
    EXPECT_EQ(probed, std::vector<std::string>{"/tmp/buf"});
    EXPECT_TRUE(remote.requests.empty());
    EXPECT_EQ(remote.opens, 0);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text,
              "Cannot write to the PC buffer folder: /tmp/buf: Permission denied\n"
              "Choose a folder you can write to in the PC buffer setting.");
    EXPECT_FALSE(c->state().busy);
}

TEST_F(MainControllerTest, LittleFreeSpaceWarnsAndStartsAnyway) {
    free_mb = 3;
    c->on_start_measure();
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_NE(view.messages[0].text.find("3 MBytes free in /tmp/buf"), std::string::npos) << view.messages[0].text;
    EXPECT_EQ(remote.codes().back(), ReqConnect);
}

}  // namespace
}  // namespace capstore
