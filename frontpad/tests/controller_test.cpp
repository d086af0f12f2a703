// The front panel's sequences against a fake Remote: start-up, connect and
// every failure it can meet, keys and SHIFT, the screen, disconnect and close.
#include <gtest/gtest.h>
#include <cstring>

#include <cerrno>

#include <memory>

#include "fakes.h"

namespace frontpad {
namespace {

using testing_fp::FakeRemote;
using testing_fp::Poster;
using testing_fp::RecordingView;
using Requests = std::vector<std::pair<int, int>>;

FakeRemote* nextRemote = nullptr;
int factoryResult = 1;
int fakeFactory(Remote** out) {
    *out = nextRemote;
    nextRemote = nullptr;
    return factoryResult;
}

class ControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        delete nextRemote;
        remote = new FakeRemote;
        remote->released = &released;
        nextRemote = remote;
        factoryResult = 1;
        setNotifyTarget(&poster);
    }
    void TearDown() override {
        controller.reset();
        if (nextRemote) delete nextRemote;
        nextRemote = nullptr;
        setNotifyTarget(nullptr);
    }
    void start(const StoredPort& stored = {}) {
        controller = std::make_unique<Controller>(view, fakeFactory, stored);
        controller->start(&poster, forwardNotification);
    }
    // The window's event loop: hand over what the callback posted.
    void deliver() {
        for (auto& [message, w, l] : poster.take()) {
            ASSERT_EQ(message, NotifyMessage);
            controller->notification(w, l);
        }
    }
    // The library's protocol thread reports an outcome.
    void notify(int code, int status) {
        remote->notify(code, status, nullptr);
        deliver();
    }
    void connectWithScreen() {
        start();
        controller->connect();
        notify(ReqConnect, StatusDone);
        notify(ReqGetScreen, StatusDone);
        ASSERT_TRUE(controller->connected());
        ASSERT_FALSE(controller->busy());
        remote->requests.clear();
        view.messages.clear();
    }
    // Sends one key through to its screen, as the library answers in packet mode.
    void completeKey() {
        notify(ReqKey, StatusDone);
        notify(ReqGetScreen, StatusDone);
    }

    RecordingView view;
    Poster poster;
    FakeRemote* remote = nullptr;
    bool released = false;
    std::unique_ptr<Controller> controller;
};

TEST_F(ControllerTest, StartsOfflineWithTheStoredPortAtFullSpeed) {
    start({"COM3", 2, 1});
    EXPECT_EQ(remote->initializedPort, "COM3");
    EXPECT_EQ(remote->initialized.Speed, 115200);
    EXPECT_EQ(remote->initialized.Parity, 2);
    EXPECT_EQ(remote->initialized.XControl, 1);
    const PanelState& s = view.last();
    EXPECT_EQ(s.statusLine, "未接続状態です");
    EXPECT_EQ(s.shiftLine, "");
    EXPECT_TRUE(s.connectEnabled && s.portEnabled);
    EXPECT_FALSE(s.disconnectEnabled || s.redrawEnabled || s.keysEnabled);
    EXPECT_EQ(s.receiverEnabled, false);
    EXPECT_EQ(view.ended, -100);
}

TEST_F(ControllerTest, StartFailuresEndTheRun) {
    factoryResult = 0;
    start();
    EXPECT_EQ(view.messages, (std::vector<std::pair<std::string, Icon>>{{"Initialize error.", Icon::Error}}));
    EXPECT_EQ(view.ended, 1);
    EXPECT_TRUE(released);

    for (int result : {5, -1}) {
        RecordingView v;
        bool gone = false;
        nextRemote = new FakeRemote;
        nextRemote->released = &gone;
        nextRemote->initializeResult = result;
        factoryResult = 1;
        Controller c(v, fakeFactory, {});
        c.start(&poster, forwardNotification);
        EXPECT_TRUE(gone) << result;
        EXPECT_EQ(v.ended, result == -1 ? 0 : 1);
        EXPECT_EQ(v.messageTexts().size(), result == -1 ? 0u : 1u);
    }
}

TEST_F(ControllerTest, ConnectFetchesTheFirstScreen) {
    start();
    controller->connect();
    EXPECT_EQ(remote->requests, (Requests{{ReqConnect, 0}}));
    // Busy while connecting, without claiming to be connected yet.
    EXPECT_FALSE(view.last().statusLine.has_value());
    EXPECT_FALSE(view.last().connectEnabled || view.last().keysEnabled || view.last().portEnabled);

    notify(ReqConnect, StatusDone);
    EXPECT_TRUE(controller->connected());
    EXPECT_TRUE(controller->busy());
    EXPECT_EQ(remote->requests.back(), (std::pair{ReqGetScreen, 0}));
    EXPECT_EQ(view.focusCount, 1);
    EXPECT_EQ(controller->screenBits(), nullptr);

    remote->bits[0] = 0xA5;
    remote->bits[2559] = 0x5A;
    notify(ReqGetScreen, StatusDone);
    // The controller paints from its own copy, never from the library's memory.
    ASSERT_NE(controller->screenBits(), nullptr);
    EXPECT_NE(controller->screenBits(), static_cast<const void*>(remote->bits));
    EXPECT_EQ(std::memcmp(controller->screenBits(), remote->bits, sizeof remote->bits), 0);
    ASSERT_NE(controller->screenInfo(), nullptr);
    EXPECT_EQ(std::memcmp(controller->screenInfo(), &remote->info, sizeof remote->info), 0);
    EXPECT_EQ(view.screenRepaints, 1);
    const PanelState& s = view.last();
    EXPECT_EQ(s.statusLine, "接続中です");
    EXPECT_TRUE(s.disconnectEnabled && s.redrawEnabled && s.keysEnabled);
    EXPECT_FALSE(s.connectEnabled || s.portEnabled);
    EXPECT_EQ(s.receiverEnabled, true);
    EXPECT_TRUE(view.messages.empty());
}

struct ConnectFailure {
    int linkMode, analyzerStatus, notified;
    const char* message;
    bool disconnects;
};

TEST_F(ControllerTest, EveryConnectFailureShowsItsMessageAndReturnsOffline) {
    const ConnectFailure cases[] = {
        {2, 0x100, StatusDone, "Cannot connect.", true},
        {2, 0x1FF, StatusDone, "Cannot connect.", true},
        {1, 0, StatusDone, "Wrong version of MIRLOKE.", true},
        {0, 0, StatusDone, "Wrong version of MIRLOKE.", true},
        {2, 0, StatusNoAnswer,
         "Connection timeout.\nNothing answered on '/dev/ttyS0' at 115200 baud. Is the analyzer connected and "
         "switched on? Is its speed setting 115200 baud too? Is this the right port (the Serial Port Setting lists "
         "this machine's ports)?",
         false},
        {2, 0, StatusRefused, "Connection error.", true},
        {2, 0, StatusLostPacket, "Connection error.", true},
        {2, 0, StatusCancelled, "Connection error.", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message + std::string(" status ") + std::to_string(c.notified));
        SetUp();
        remote->linkMode = c.linkMode;
        remote->status = c.analyzerStatus;
        start();
        controller->connect();
        notify(ReqConnect, c.notified);
        EXPECT_EQ(view.messages, (std::vector<std::pair<std::string, Icon>>{{c.message, Icon::Warning}}));
        EXPECT_EQ(remote->requests.back().first, c.disconnects ? ReqDisconnect : ReqConnect);
        EXPECT_FALSE(controller->connected());
        EXPECT_FALSE(controller->busy());
        EXPECT_EQ(view.last().statusLine, "未接続状態です");
        EXPECT_TRUE(view.last().connectEnabled);
        if (c.disconnects) {
            notify(ReqDisconnect, StatusDone);
            EXPECT_EQ(remote->closes, 1);
            EXPECT_EQ(view.messages.size(), 1u);
        }
        TearDown();
        view = RecordingView{};
        released = false;
    }
}

TEST_F(ControllerTest, OnlyANonSerialDeviceCannotBeOpened) {
    remote->openResult = 2;
    start();
    controller->connect();
    EXPECT_EQ(view.messageTexts(), std::vector<std::string>{"Cannot open COM port."});
    EXPECT_TRUE(remote->requests.empty());
    EXPECT_TRUE(view.last().connectEnabled);

    // A port that exists but fails: Open says 0 (its failure comes as
    // notification 14, ignored), and the connect fails as "port not open".
    view.messages.clear();
    remote->openResult = 0;
    remote->openLeavesClosed = true;
    controller->connect();
    deliver();
    EXPECT_EQ(view.messageTexts(), std::vector<std::string>{"Connection error."});
    EXPECT_FALSE(controller->busy());
    EXPECT_TRUE(view.last().connectEnabled);
}

TEST_F(ControllerTest, APortThatDoesNotOpenIsNamedWithWhatToDo) {
    remote->portError = {PortStepOpen, EACCES};
    start({"/dev/ttyUSB3", 0, 0});
    controller->connect();
    ASSERT_EQ(view.messages.size(), 1u);
    const std::string text = view.messages[0].first;
    // (no such device here, so no advice follows: platform's tests check that)
    EXPECT_EQ(text, "Cannot open COM port.\nNo permission to open '/dev/ttyUSB3' (Permission denied).");
    EXPECT_EQ(remote->closes, 1);
    EXPECT_TRUE(remote->requests.empty());
    EXPECT_TRUE(view.last().connectEnabled);
}

TEST_F(ControllerTest, AnUnpluggedPortClosesAndGoesOfflineWithAMessage) {
    connectWithScreen();
    const int closes = remote->closes;
    notify(NtfyLinkLost, LinkLostPortGone);
    EXPECT_EQ(remote->closes, closes + 1);
    EXPECT_FALSE(controller->connected());
    EXPECT_FALSE(controller->busy());
    EXPECT_EQ(controller->screenBits(), nullptr);
    EXPECT_TRUE(view.last().connectEnabled);
    EXPECT_EQ(view.messageTexts(), std::vector<std::string>{"The serial port went away (unplugged?)."});
}

TEST_F(ControllerTest, ASilentAnalyzerLikewise) {
    connectWithScreen();
    notify(NtfyLinkLost, LinkLostSilent);
    EXPECT_FALSE(controller->connected());
    EXPECT_TRUE(view.last().connectEnabled);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].first.rfind("The analyzer stopped answering: ", 0), 0u) << view.messages[0].first;
}

TEST_F(ControllerTest, ARequestTheLibraryDidNotTakeEndsBusyWithAConnectionError) {
    start();
    remote->takesRequests = false;
    controller->connect();
    EXPECT_EQ(view.messageTexts(), std::vector<std::string>{"Connection error."});
    EXPECT_FALSE(controller->busy());
    EXPECT_TRUE(view.last().connectEnabled);

    SetUp();
    view = RecordingView{};
    connectWithScreen();
    remote->takesRequests = false;
    controller->keyButton(7);
    EXPECT_EQ(view.messageTexts(), std::vector<std::string>{"Connection error."});
    EXPECT_TRUE(view.pauses.empty());
    EXPECT_EQ(remote->requests, (Requests{{ReqKey, 7}}));
    EXPECT_FALSE(controller->busy());
    EXPECT_TRUE(view.last().keysEnabled);
}

TEST_F(ControllerTest, AFailedScreenFetchKeepsTheLastImage) {
    connectWithScreen();
    controller->redraw();
    EXPECT_EQ(remote->requests, (Requests{{ReqGetScreen, 0}}));
    EXPECT_FALSE(view.last().keysEnabled);
    notify(ReqGetScreen, StatusNotAvailable);
    EXPECT_EQ(view.messageTexts(), std::vector<std::string>{"Get screen error (258)."});
    ASSERT_NE(controller->screenBits(), nullptr);
    EXPECT_EQ(std::memcmp(controller->screenBits(), remote->bits, sizeof remote->bits), 0);
    EXPECT_TRUE(controller->connected());
    EXPECT_TRUE(view.last().keysEnabled);
}

TEST_F(ControllerTest, DisconnectClosesThePortAndForgetsTheScreen) {
    connectWithScreen();
    controller->disconnect();
    EXPECT_EQ(remote->requests, (Requests{{ReqDisconnect, 0}}));
    EXPECT_TRUE(controller->busy());
    notify(ReqDisconnect, StatusDone);
    EXPECT_EQ(remote->closes, 1);
    EXPECT_FALSE(controller->connected());
    EXPECT_EQ(controller->screenBits(), nullptr);
    EXPECT_EQ(controller->screenInfo(), nullptr);
    EXPECT_EQ(view.last().statusLine, "未接続状態です");
    EXPECT_TRUE(view.messages.empty());

    SetUp();
    view = RecordingView{};
    connectWithScreen();
    controller->disconnect();
    notify(ReqDisconnect, StatusNoAnswer);
    EXPECT_EQ(view.messageTexts(), std::vector<std::string>{"Disconnection timeout."});
    EXPECT_FALSE(controller->connected());
    EXPECT_TRUE(view.last().connectEnabled);
}

TEST_F(ControllerTest, AKeyIsSentThenTheScreenFetchedAfterThePause) {
    connectWithScreen();
    const int focusBefore = view.focusCount;
    controller->keyButton(23);
    EXPECT_EQ(remote->requests, (Requests{{ReqKey, 23}, {ReqGetScreen, 0}}));
    EXPECT_EQ(view.pauses, std::vector<int>{250});
    EXPECT_EQ(view.focusCount, focusBefore + 1);
    EXPECT_TRUE(controller->busy());
    // Keys are ignored while one is outstanding, from the panel and the keyboard.
    controller->keyButton(5);
    controller->pcKeyDown({false, 6});
    EXPECT_EQ(remote->requests.size(), 2u);
    completeKey();
    EXPECT_FALSE(controller->busy());
    EXPECT_TRUE(view.last().keysEnabled);
}

TEST_F(ControllerTest, KeysAreIgnoredWhileOffline) {
    start();
    controller->keyButton(3);
    controller->shiftButton();
    controller->pcKeyDown({false, 4});
    controller->pcKeyDown({true, -1});
    controller->redraw();
    controller->disconnect();
    EXPECT_TRUE(remote->requests.empty());
    EXPECT_FALSE(controller->shiftLatched());
    EXPECT_FALSE(view.last().keysEnabled);
}

TEST_F(ControllerTest, AClickedShiftShiftsOnlyTheNextKey) {
    connectWithScreen();
    controller->shiftButton();
    EXPECT_TRUE(controller->shiftLatched());
    EXPECT_EQ(view.last().shiftLine, "SHIFTキーが押されています");
    EXPECT_FALSE(controller->busy());
    controller->keyButton(5);
    completeKey();
    controller->keyButton(5);
    completeKey();
    EXPECT_EQ(remote->requests, (Requests{{ReqKey, 133}, {ReqGetScreen, 0}, {ReqKey, 5}, {ReqGetScreen, 0}}));
    EXPECT_EQ(view.last().shiftLine, "");
    // A second click takes the latch back off.
    controller->shiftButton();
    controller->shiftButton();
    EXPECT_FALSE(controller->shiftLatched());
}

TEST_F(ControllerTest, AHeldShiftShiftsEveryKeyUntilReleased) {
    connectWithScreen();
    controller->pcKeyDown({true, -1});
    EXPECT_TRUE(controller->shiftLatched() && controller->shiftHeld());
    controller->pcKeyDown({false, 5});
    // Typed keys free the panel at once.
    EXPECT_FALSE(controller->busy());
    controller->pcKeyDown({false, 20});
    controller->pcKeyUp({false, 20});
    controller->pcKeyUp({true, -1});
    EXPECT_FALSE(controller->shiftLatched() || controller->shiftHeld());
    controller->pcKeyDown({false, 6});
    controller->pcKeyDown({false, -1});  // a key that is not mapped sends nothing
    EXPECT_EQ(
        remote->requests,
        (Requests{{ReqKey, 133}, {ReqGetScreen, 0}, {ReqKey, 148}, {ReqGetScreen, 0}, {ReqKey, 6}, {ReqGetScreen, 0}}));
    EXPECT_EQ(view.pauses, (std::vector<int>{250, 250, 250}));
}

TEST_F(ControllerTest, ClosingWhileOfflineSavesAndEndsThroughTheDisconnectAnswer) {
    start({"COM2", 1, 0});
    controller->close();
    EXPECT_TRUE(view.questions.empty());
    ASSERT_EQ(view.saved.size(), 1u);
    EXPECT_EQ(view.saved[0].name, "COM2");
    EXPECT_EQ(view.saved[0].parity, 1);
    EXPECT_EQ(view.saved[0].xcontrol, 0);
    EXPECT_EQ(view.ended, -100);  // not before the library answered
    deliver();                    // its "port not open" answer to the disconnect
    EXPECT_EQ(view.ended, 0);
    EXPECT_TRUE(released);
}

TEST_F(ControllerTest, ClosingWhileConnectedAsksFirst) {
    connectWithScreen();
    view.answerYes = false;
    controller->close();
    EXPECT_EQ(view.questions, std::vector<std::string>{"接続中ですが、終了しますか?"});
    EXPECT_TRUE(view.saved.empty());
    EXPECT_TRUE(remote->requests.empty());

    view.answerYes = true;
    controller->close();
    EXPECT_EQ(view.saved.size(), 1u);
    EXPECT_EQ(remote->requests, (Requests{{ReqDisconnect, 0}}));
    notify(ReqGetScreen, StatusDone);  // late answers no longer matter
    EXPECT_EQ(view.ended, -100);
    notify(ReqDisconnect, StatusDone);
    EXPECT_EQ(view.ended, 0);
    EXPECT_TRUE(released);
}

TEST_F(ControllerTest, ClosingEndsEvenWhenTheLibraryDoesNotTakeTheDisconnect) {
    connectWithScreen();
    remote->takesRequests = false;
    controller->close();
    EXPECT_EQ(view.ended, 0);
    EXPECT_TRUE(released);
    EXPECT_TRUE(view.messages.empty());
}

TEST_F(ControllerTest, ThePortDialogChangesWhatIsUsedAndSaved) {
    start();
    remote->dialogResult = 0;
    controller->portSettings();
    EXPECT_EQ(std::string(controller->portSettingsInUse().Port), "COM1");
    remote->dialogResult = 1;
    controller->portSettings();
    EXPECT_EQ(std::string(controller->portSettingsInUse().Port), "COM5");
    EXPECT_EQ(controller->portSettingsInUse().Parity, 2);
    EXPECT_EQ(controller->portSettingsInUse().XControl, 1);
    controller->close();
    ASSERT_EQ(view.saved.size(), 1u);
    EXPECT_EQ(view.saved[0].name, "COM5");
    EXPECT_EQ(view.saved[0].parity, 2);
    EXPECT_EQ(view.saved[0].xcontrol, 1);

    // Not while connected.
    SetUp();
    view = RecordingView{};
    connectWithScreen();
    controller->portSettings();
    EXPECT_EQ(remote->dialogs, 0);
}

}  // namespace
}  // namespace frontpad
