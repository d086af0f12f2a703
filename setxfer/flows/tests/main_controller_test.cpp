// The main dialog's flows against a fake Remote: start-up, the order of requests,
// every notification row with its message and button state, and closing.
#include <gtest/gtest.h>

#include <cerrno>

#include "platform/port_name.h"

#include "fakes.h"
#include "setxfer_flows/texts.h"

namespace setxfer {
namespace {

using fakes::FakeRemote;

class MainFlow : public ::testing::Test {
protected:
    FakeRemote remote;
    Session session;
    fakes::RecordingMainView view;
    fakes::MapStore store;
    MainController main{session, view, store};

    void SetUp() override { session.remote = &remote; }
    void started() { ASSERT_TRUE(main.start(nullptr, nullptr)); }
    // Connects in a work mode and reads up to (and including) the notification `upto`.
    void connected_through(WorkMode mode, const char* model, int upto) {
        started();
        remote.model = model;
        main.on_work(mode);
        for (int code : {ReqConnect, ReqGetSetup, ReqGetTable, ReqGetProgram}) {
            main.dispatch(code, 0, nullptr);
            if (code == upto) break;
        }
    }
    const Message& last_message() { return view.log.shown.back(); }
};

TEST_F(MainFlow, StartReadsStoredPortAndInitializes) {
    store.values = {{"PORT", "COM12"}, {"PARITY", "ODD"}, {"XCON", "ON"}};
    started();
    EXPECT_EQ(view.status, texts::kReady);
    EXPECT_EQ(remote.initialized_port, "COM12");
    EXPECT_EQ(remote.initialized.Speed, 115200);
    EXPECT_EQ(remote.initialized.Parity, 1);
    EXPECT_EQ(remote.initialized.XControl, 1);
    EXPECT_EQ(session.target, &main);
}

TEST_F(MainFlow, StoredValuesOutsideTheListsKeepTheDefaults) {
    store.values = {{"PORT", "COM21"}, {"PARITY", "odd"}, {"XCON", "off"}};
    started();
    EXPECT_EQ(remote.initialized_port, "COM1");
    EXPECT_EQ(remote.initialized.Parity, 0);
    EXPECT_EQ(remote.initialized.XControl, 1);  // only "OFF" turns it off
    store.values = {{"PORT", "/dev/ttyUSB0"}, {"XCON", "OFF"}};
    session = Session{};
    session.remote = &remote;
    started();
    EXPECT_EQ(remote.initialized_port, "/dev/ttyUSB0");
    EXPECT_EQ(remote.initialized.XControl, 0);
}

TEST_F(MainFlow, InitializeFailureReleasesAndShowsTheNumber) {
    remote.initialize_result = -1;
    EXPECT_FALSE(main.start(nullptr, nullptr));
    EXPECT_EQ(remote.releases, 1);
    ASSERT_EQ(view.log.shown.size(), 1u);
    EXPECT_EQ(last_message().text, "Initialize Error (-1)");
    EXPECT_EQ(last_message().caption, "TEST");
    EXPECT_EQ(last_message().icon, Icon::Error);
}

TEST_F(MainFlow, PortAndExitButtonsStoreTheLibrarySettings) {
    started();
    main.on_port_button();
    EXPECT_EQ(store.values["PORT"], "COM3");
    EXPECT_EQ(store.values["PARITY"], "EVEN");
    EXPECT_EQ(store.values["XCON"], "ON");
    remote.port = {"COM7", 9600, 0, 0};
    main.on_exit_button();
    EXPECT_EQ(store.values["PORT"], "COM7");
    EXPECT_EQ(store.values["PARITY"], "NONE");
    EXPECT_EQ(store.values["XCON"], "OFF");
    EXPECT_EQ(last_message().text, texts::kCloseQuestion);
    EXPECT_EQ(last_message().buttons, Buttons::OkCancel);
    EXPECT_EQ(remote.releases, 1);  // nothing connected: ends at once
    EXPECT_EQ(view.ended, 0);
    EXPECT_TRUE(remote.requests.empty());
}

TEST_F(MainFlow, WorkButtonConnectsWithButtonsOff) {
    started();
    main.on_work(WorkMode::Send);
    EXPECT_EQ(remote.opens, 1);
    EXPECT_EQ(remote.requests, std::vector<int>{ReqConnect});
    EXPECT_EQ(view.status, texts::kConnecting);
    EXPECT_FALSE(view.buttons);
    EXPECT_EQ(session.work_mode, WorkMode::Send);
}

TEST_F(MainFlow, FailedConnectShowsStatusAndGivesButtonsBack) {
    started();
    main.on_work(WorkMode::Save);
    main.dispatch(ReqConnect, 4, nullptr);
    EXPECT_EQ(last_message().text,
              "接続出来ません。本体の電源、ｹｰﾌﾞﾙの接続状況、通信設定等確認して下さい。\nConnect Error (4)\n'" +
                  platform::devicePath("COM1") +
                  "' の 115200 bps では計測器から応答がありませんでした。計測器は接続され、電源が入っていますか？計測器"
                  "の通信速度の設定は 115200 bps ですか？ポートは正しいですか（シリアルポート設定にこのPCのシリアルポー"
                  "トが表示されます）？");
    EXPECT_EQ(last_message().caption, "接続エラー");
    EXPECT_EQ(last_message().icon, Icon::Warning);
    EXPECT_TRUE(view.buttons);
    EXPECT_EQ(view.status, "");
    EXPECT_EQ(remote.requests, std::vector<int>{ReqConnect});
}

TEST_F(MainFlow, APortThatDoesNotOpenIsNamedBeforeAnyConnect) {
    started();
    remote.port_error = {PortStepOpen, ENOENT};
    main.on_work(WorkMode::Save);
    EXPECT_TRUE(remote.requests.empty());
    EXPECT_EQ(remote.closes, 1);
    EXPECT_TRUE(view.buttons);
    EXPECT_EQ(last_message().caption, "接続エラー");
    const std::string text = last_message().text;
    EXPECT_NE(text.find("Connect Error (2)\nThere is no serial device '" + platform::devicePath("COM1") +
                        "' (No such file or directory)."),
              std::string::npos)
        << text;
}

TEST_F(MainFlow, ALostLinkClosesThePortAndGivesTheButtonsBack) {
    connected_through(WorkMode::Save, "RV-7020", ReqGetTable);
    main.dispatch(NtfyLinkLost, LinkLostPortGone, nullptr);
    EXPECT_EQ(remote.closes, 1);
    EXPECT_TRUE(view.buttons);
    EXPECT_EQ(view.status, "");
    EXPECT_EQ(last_message().text, std::string(texts::kLinkLostSetup) + "\nthe serial port went away (unplugged?)");
    EXPECT_TRUE(session.link_idle);
}

TEST_F(MainFlow, SaveOnSmallModelsOpensTheDialogAfterTheTables) {
    for (const char* model : {"RV-7010", "RV-7020"}) {
        remote.requests.clear();
        view.dialogs.clear();
        connected_through(WorkMode::Save, model, ReqGetTable);
        EXPECT_EQ(remote.requests, (std::vector<int>{ReqConnect, ReqGetSetup, ReqGetTable})) << model;
        EXPECT_EQ(view.dialogs, std::vector<std::string>{"save"});
        EXPECT_EQ(view.status, texts::kConnectedShort);
        EXPECT_EQ(session.model_text, model);
        EXPECT_FALSE(session.link_idle);
    }
}

TEST_F(MainFlow, Rv7030ReadsTheProgramBeforeSaveOrSend) {
    connected_through(WorkMode::Send, "RV-7030", ReqGetTable);
    EXPECT_EQ(remote.last(), ReqGetProgram);
    EXPECT_TRUE(view.dialogs.empty());
    main.dispatch(ReqGetProgram, 0, nullptr);
    EXPECT_EQ(view.dialogs, std::vector<std::string>{"send"});
    EXPECT_EQ(view.status, texts::kConnected);
    EXPECT_EQ(session.model, Model::RV7030);
}

TEST_F(MainFlow, TableInputOpensItsDialogWithoutTheProgram) {
    connected_through(WorkMode::TableInput, "RV-7030", ReqGetTable);
    EXPECT_EQ(remote.requests, (std::vector<int>{ReqConnect, ReqGetSetup, ReqGetTable}));
    EXPECT_EQ(view.dialogs, std::vector<std::string>{"table"});
    EXPECT_EQ(view.status, texts::kConnected);
}

TEST_F(MainFlow, UnknownModelNameKeepsTheIndex) {
    connected_through(WorkMode::Save, "RV-9999", ReqConnect);
    EXPECT_EQ(session.model, Model::RV7010);
    EXPECT_EQ(session.model_text, "RV-9999");
}

// Rows whose failure shows a message, gives the buttons back and disconnects.
struct FailureRow {
    int code;
    int status;
    const char* text;
    const char* caption;
};

TEST_F(MainFlow, FailedReadsAndWritesShowTheirMessageAndDisconnect) {
    const FailureRow rows[] = {
        {ReqGetTable, 514, "ﾃｰﾌﾞﾙﾃﾞｰﾀﾘｰﾄﾞｴﾗｰ (514)", "ﾘｰﾄﾞｴﾗｰ"},
        {ReqGetProgram, 4, "ﾌﾟﾛｸﾞﾗﾑﾃﾞｰﾀﾘｰﾄﾞｴﾗｰ (4)", "ﾘｰﾄﾞｴﾗｰ"},
        {ReqPutSetup, 1, "SetSetup Error (1)", "ﾗｲﾄｴﾗｰ"},
        {ReqPutTable, 513, "SetTable Error (513)", "ﾗｲﾄｴﾗｰ"},
        {ReqPutProgram, 4, "Setproguram Error (4)", "ﾗｲﾄｴﾗｰ"},
    };
    for (const auto& row : rows) {
        view.set_buttons_enabled(false);
        view.set_status("busy");
        session.work_mode = WorkMode::Send;
        main.dispatch(row.code, row.status, nullptr);
        ASSERT_FALSE(view.log.shown.empty()) << row.text;
        EXPECT_EQ(last_message().text, row.text);
        EXPECT_EQ(last_message().caption, row.caption);
        EXPECT_EQ(last_message().icon, Icon::Warning);
        EXPECT_TRUE(view.buttons) << row.text;
        EXPECT_EQ(view.status, "") << row.text;
        EXPECT_EQ(remote.last(), ReqDisconnect) << row.text;
        EXPECT_TRUE(view.dialogs.empty());
    }
}

TEST_F(MainFlow, SetupReadFailures) {
    started();
    main.dispatch(ReqGetSetup, 513, nullptr);  // refused: just disconnect
    EXPECT_EQ(remote.requests, std::vector<int>{ReqDisconnect});
    EXPECT_TRUE(view.log.shown.empty());

    main.dispatch(ReqGetSetup, 4, nullptr);  // no answer: handled as a failed disconnect
    EXPECT_EQ(last_message().text, "接続エラー (4)\n（本体と切断されているか通信設定が異なるおそれがあります。）");
    EXPECT_EQ(last_message().caption, "通信ｴﾗｰ");
    EXPECT_EQ(remote.requests.size(), 1u);
    EXPECT_EQ(remote.closes, 1);
    EXPECT_TRUE(session.link_idle);
    EXPECT_EQ(view.status, texts::kDisconnected);
    EXPECT_TRUE(view.buttons);
}

TEST_F(MainFlow, WritesFollowEachOther) {
    connected_through(WorkMode::Send, "RV-7030", ReqGetProgram);
    remote.requests.clear();
    main.dispatch(ReqPutSetup, 0, nullptr);
    main.dispatch(ReqPutTable, 0, nullptr);
    main.dispatch(ReqPutProgram, 0, nullptr);
    EXPECT_EQ(remote.requests, (std::vector<int>{ReqPutTable, ReqPutProgram}));
    remote.requests.clear();
    session.model = Model::RV7020;
    main.dispatch(ReqPutTable, 0, nullptr);
    session.model = Model::RV7030;
    session.work_mode = WorkMode::TableInput;
    main.dispatch(ReqPutTable, 0, nullptr);
    EXPECT_TRUE(remote.requests.empty());
}

TEST_F(MainFlow, DisconnectNotifications) {
    started();
    view.set_buttons_enabled(false);
    main.dispatch(ReqDisconnect, 0, nullptr);
    EXPECT_EQ(remote.closes, 1);
    EXPECT_TRUE(view.buttons);
    EXPECT_EQ(view.status, texts::kDisconnected);
    EXPECT_FALSE(session.link_idle);
    EXPECT_EQ(view.ended, -1);

    main.dispatch(ReqDisconnect, 4, nullptr);
    EXPECT_EQ(view.status, texts::kCableLost);
    EXPECT_TRUE(session.link_idle);
    EXPECT_EQ(remote.closes, 2);

    session.link_idle = false;
    main.dispatch(ReqDisconnect, 1, nullptr);
    EXPECT_EQ(view.status, texts::kDisconnected);
    EXPECT_TRUE(session.link_idle);
    EXPECT_TRUE(view.log.shown.empty());
}

TEST_F(MainFlow, EndingAnOperationReadsTheSetupThenDisconnects) {
    connected_through(WorkMode::Save, "RV-7010", ReqGetTable);
    session.work_mode = WorkMode::Ending;  // as the dialog's Cancel leaves it
    main.dispatch(ReqGetSetup, 0, nullptr);
    EXPECT_EQ(remote.last(), ReqDisconnect);
    main.dispatch(ReqDisconnect, 0, nullptr);
    EXPECT_EQ(remote.closes, 1);
    EXPECT_EQ(view.ended, -1);  // the program goes on
}

TEST_F(MainFlow, ClosingWhileConnectedEndsOnlyAfterTheDisconnect) {
    connected_through(WorkMode::Save, "RV-7010", ReqGetSetup);
    view.log.answers = {false};
    main.request_close();  // Cancel: nothing happens
    EXPECT_EQ(remote.last(), ReqGetTable);
    EXPECT_FALSE(session.close_requested);

    main.request_close();
    EXPECT_TRUE(session.close_requested);
    EXPECT_EQ(remote.last(), ReqGetSetup);
    EXPECT_EQ(session.work_mode, WorkMode::Ending);
    main.dispatch(ReqGetTable, 0, nullptr);  // the read already under way ends quietly
    main.dispatch(ReqGetSetup, 0, nullptr);
    EXPECT_EQ(remote.last(), ReqDisconnect);
    EXPECT_EQ(view.ended, -1);
    EXPECT_EQ(remote.releases, 0);
    main.dispatch(ReqDisconnect, 0, nullptr);
    EXPECT_EQ(remote.closes, 1);
    EXPECT_EQ(remote.releases, 1);
    EXPECT_EQ(view.ended, 0);
    main.dispatch(ReqDisconnect, 0, nullptr);  // a late notification after the release is dropped
    EXPECT_EQ(remote.closes, 1);
}

TEST_F(MainFlow, ClosingBeforeAnyConnectionGoesThroughThePortNotOpenAnswers) {
    started();
    main.request_close();
    EXPECT_EQ(remote.requests, std::vector<int>{ReqGetSetup});
    main.dispatch(ReqGetSetup, StatusPortNotOpen, nullptr);
    EXPECT_EQ(remote.last(), ReqDisconnect);
    main.dispatch(ReqDisconnect, StatusPortNotOpen, nullptr);
    EXPECT_EQ(view.ended, 0);
    EXPECT_EQ(remote.releases, 1);
}

TEST_F(MainFlow, NotificationsGoToTheCurrentTarget) {
    struct Recorder : NotificationTarget {
        std::vector<int> codes;
        void on_notify(int code, int, void*) override { codes.push_back(code); }
    } other;
    started();
    session.target = &other;
    main.dispatch(ReqPutTable, 0, nullptr);
    EXPECT_EQ(other.codes, std::vector<int>{ReqPutTable});
    EXPECT_TRUE(remote.requests.empty());
    main.dispatch(0x9001, 1, nullptr);  // not ours: ignored by the main dialog
}

}  // namespace
}  // namespace setxfer
