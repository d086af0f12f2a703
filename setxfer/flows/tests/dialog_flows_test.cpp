// The save, send and table data dialogs against a fake Remote: types per model,
// path checks, the written file, reading a file into the data sets, the puts in
// order and the failures that leave only Cancel.
#include <gtest/gtest.h>
#include <unistd.h>

#include "../../tests/random_program.h"
#include "../../tests/random_setup.h"
#include "fakes.h"
#include "setxfer/table_input.h"
#include "setxfer_flows/file_access.h"
#include "setxfer_flows/texts.h"
#include "testing/temp_dir.h"

namespace setxfer {
namespace {

using fakes::FakeRemote;

std::string read_text(const std::string& path) {
    auto bytes = testing_util::read_file(path);
    return std::string(bytes.begin(), bytes.end());
}

// Runs a test inside a temporary current folder (tble.bin and the default path live there).
class InTempFolder {
public:
    InTempFolder() : old_(files::current_folder()) { EXPECT_EQ(::chdir(dir.path().c_str()), 0); }
    ~InTempFolder() { EXPECT_EQ(::chdir(old_.c_str()), 0); }
    testing_util::TempDir dir;

private:
    std::string old_;
};

class DialogFlow : public ::testing::Test {
protected:
    FakeRemote remote;
    Session session;
    fakes::RecordingMainView main_view;
    fakes::MapStore store;
    MainController main{session, main_view, store};
    InTempFolder folder;

    void SetUp() override {
        session.remote = &remote;
        session.target = &main;
        as(Model::RV7010);
    }
    // Data sets as an analyzer of the model would hand them over (HDLC mode).
    void as(Model model) {
        session.model = model;
        session.model_text = std::string(model_name(model));
        std::mt19937 rng(static_cast<unsigned>(model) + 7);
        remote.setup = setxfer_test::random_setup(model, rng).bytes;
        remote.table = setxfer_test::random_table(rng).bytes;
        remote.program = setxfer_test::random_program(rng).bytes;
    }
    std::string file_for(Model model, int type) {
        auto text = write_settings_file(session.bodies(), model, type, TableForm::Hex);
        EXPECT_TRUE(text.has_value());
        return text.value_or("");
    }
};

// ---- save dialog

TEST_F(DialogFlow, SaveTypesPerModel) {
    fakes::RecordingSaveView view;
    SaveController save(session, view);
    save.open();
    EXPECT_EQ(view.types.size(), 2u);
    EXPECT_EQ(view.types[0], save_type_name(0));
    EXPECT_EQ(view.path_text, folder.dir.path());
    EXPECT_EQ(view.status, "RV-7010");
    as(Model::RV7030);
    save.open();
    ASSERT_EQ(view.types.size(), 3u);
    EXPECT_EQ(view.types[2], save_type_name(2));
}

TEST_F(DialogFlow, SaveChecksThePathBeforeWriting) {
    fakes::RecordingSaveView view;
    SaveController save(session, view);
    save.open();
    view.path_text = "";
    save.start();
    EXPECT_EQ(view.log.shown.back().text, texts::kEnterFileName);
    EXPECT_EQ(view.log.shown.back().caption, "エラー");
    EXPECT_TRUE(view.start_enabled);

    view.path_text = folder.dir.file("settings");
    save.start();
    EXPECT_EQ(view.log.shown.back().text, texts::kNeedExtension);
    EXPECT_EQ(view.log.shown.back().caption, "注意");
    EXPECT_FALSE(files::exists(view.path_text));
    view.path_text = folder.dir.path() + "/with.dot/settings";  // a dot in the folder is no extension
    save.start();
    EXPECT_EQ(view.log.shown.back().text, texts::kNeedExtension);
    EXPECT_TRUE(view.start_enabled);
}

TEST_F(DialogFlow, SaveWritesTheLibrarysFileAndAsksBeforeReplacing) {
    as(Model::RV7030);
    fakes::RecordingSaveView view;
    SaveController save(session, view);
    save.open();
    std::string path = folder.dir.file("a.txt");
    view.path_text = path;
    view.selected = 2;
    view.ascii = true;
    save.start();
    EXPECT_TRUE(view.log.shown.empty());
    EXPECT_EQ(view.status, texts::kWritten);
    EXPECT_TRUE(view.start_enabled);
    EXPECT_EQ(session.save_type, 2);
    EXPECT_EQ(read_text(path), *write_settings_file(session.bodies(), Model::RV7030, 2, TableForm::Character));

    testing_util::write_file(path, std::string("keep me"));
    view.selected = 0;
    view.log.answers = {false};
    save.start();
    EXPECT_EQ(view.log.shown.back().text, texts::kOverwrite);
    EXPECT_EQ(view.log.shown.back().buttons, Buttons::OkCancel);
    EXPECT_EQ(read_text(path), "keep me");
    EXPECT_TRUE(view.start_enabled);
    save.start();  // OK this time
    EXPECT_EQ(read_text(path), file_for(Model::RV7030, 0));
    EXPECT_TRUE(remote.requests.empty());
}

TEST_F(DialogFlow, SaveWriteErrorLeavesStartOff) {
    fakes::RecordingSaveView view;
    SaveController save(session, view);
    save.open();
    view.path_text = folder.dir.path() + "/no/such/folder/a.txt";
    save.start();
    // The tool's own text, then the file and the system's reason.
    EXPECT_EQ(view.log.shown.back().text,
              std::string(texts::kWriteFailed) + "\ncannot create '" + view.path_text + "': No such file or directory");
    EXPECT_EQ(view.log.shown.back().caption, "ｴﾗｰ");
    EXPECT_EQ(view.status, texts::kWriteStopped);
    EXPECT_FALSE(view.start_enabled);
    save.cancel();
    EXPECT_EQ(remote.requests, std::vector<int>{ReqGetSetup});
    EXPECT_EQ(session.work_mode, WorkMode::Ending);
    EXPECT_TRUE(view.closed);
}

// ---- send dialog

class SendFlow : public DialogFlow {
protected:
    fakes::RecordingSendView view;
    SendController send{session, view, main};
    std::string path;

    void SetUp() override {
        DialogFlow::SetUp();
        path = folder.dir.file("s.txt");
    }
    void send_file(const std::string& text, int type) {
        testing_util::write_file(path, text);
        view.path_text = path;
        view.selected = type;
        send.start();
    }
    static constexpr SendView::Controls kAll{true, true, true, true, true};
    static constexpr SendView::Controls kCancelOnly{false, true, false, false, false};
};

TEST_F(SendFlow, OpeningMakesTheDialogTheTarget) {
    send.open();
    EXPECT_EQ(session.target, &send);
    EXPECT_EQ(view.types.size(), 2u);
    EXPECT_EQ(view.path_text, folder.dir.path());
    send.cancel();
    EXPECT_EQ(session.target, &main);
    EXPECT_EQ(remote.requests, std::vector<int>{ReqGetSetup});
    EXPECT_TRUE(view.closed);
}

TEST_F(SendFlow, MissingFileIsAskedForAgain) {
    send.open();
    view.path_text = "";
    send.start();
    EXPECT_EQ(view.log.shown.back().text, texts::kChooseFile);
    view.path_text = folder.dir.file("none.txt");
    send.start();
    EXPECT_EQ(view.log.shown.size(), 2u);
    view.path_text = folder.dir.path();  // a folder is not a file
    send.start();
    EXPECT_EQ(view.log.shown.size(), 3u);
    EXPECT_EQ(view.controls, kAll);
    EXPECT_TRUE(remote.requests.empty());
}

TEST_F(SendFlow, FileIsReadIntoTheDataSetsAndTheSetupPut) {
    send.open();
    std::string file = file_for(Model::RV7010, 1);
    auto expected = remote.setup;
    remote.setup[0] = static_cast<std::uint8_t>((expected[0] + 1) % 11);  // the file has the test mode as read
    auto expected_table = remote.table;
    std::size_t used = 68 + 2 * (remote.table[64] | remote.table[65] << 8);
    ASSERT_GT(used, 68u);
    std::fill(remote.table.begin(), remote.table.end(), 0);
    send_file(file, 1);
    EXPECT_EQ(remote.setup[0], expected[0]);
    EXPECT_TRUE(
        std::equal(remote.table.begin(), remote.table.begin() + static_cast<long>(used), expected_table.begin()));
    EXPECT_EQ(view.status, texts::kSending);
    EXPECT_EQ(remote.requests, std::vector<int>{ReqPutSetup});
    EXPECT_EQ(view.controls, (SendView::Controls{false, false, false, false, false}));
    EXPECT_TRUE(view.log.shown.empty());
}

TEST_F(SendFlow, AnotherModelsFileIsRefusedAndAnotherMayBeChosen) {
    send.open();
    std::string other = file_for(Model::RV7020, 0);
    send_file(other, 0);
    ASSERT_EQ(view.log.shown.size(), 1u);
    EXPECT_EQ(view.log.shown[0].text,
              "\xCC\xA7\xB2\xD9\x82\xCC\xC3\xDE\xB0\xC0\x82\xAA\x88\xE1\x82\xA2\x82\xDC\x82\xB7 ");
    EXPECT_TRUE(view.log.shown[0].shift_jis);
    EXPECT_EQ(view.status, "");
    EXPECT_EQ(view.controls, kAll);
    EXPECT_TRUE(remote.requests.empty());
    send_file(file_for(Model::RV7010, 0), 0);  // same connection, right file
    EXPECT_EQ(remote.requests, std::vector<int>{ReqPutSetup});
}

TEST_F(SendFlow, OtherReadingFailuresLeaveOnlyCancel) {
    send.open();
    send_file(file_for(Model::RV7010, 0), 1);  // no table data in a type-0 file
    ASSERT_EQ(view.log.shown.size(), 1u);
    EXPECT_TRUE(view.log.shown[0].shift_jis);
    EXPECT_EQ(view.status, texts::kFileRefused);
    EXPECT_EQ(view.controls, kCancelOnly);
    EXPECT_TRUE(remote.requests.empty());
}

TEST_F(SendFlow, PutsFollowInOrderAndAnotherFileMayBeSent) {
    as(Model::RV7030);
    send.open();
    send_file(file_for(Model::RV7030, 2), 2);
    main.dispatch(ReqPutSetup, 0, nullptr);  // passed on: the main dialog asks for the tables
    main.dispatch(ReqPutTable, 0, nullptr);  // the send dialog asks for the program
    EXPECT_EQ(remote.requests, (std::vector<int>{ReqPutSetup, ReqPutTable, ReqPutProgram}));
    main.dispatch(ReqPutProgram, 0, nullptr);
    EXPECT_EQ(view.status, texts::kSent);
    EXPECT_EQ(view.controls, kAll);

    as(Model::RV7020);
    remote.requests.clear();
    send_file(file_for(Model::RV7020, 0), 0);
    main.dispatch(ReqPutSetup, 0, nullptr);
    main.dispatch(ReqPutTable, 0, nullptr);
    EXPECT_EQ(remote.requests, (std::vector<int>{ReqPutSetup, ReqPutTable}));
    EXPECT_EQ(view.status, texts::kSent);
}

TEST_F(SendFlow, FailedPutOtherThanNoAnswerWaitsForCancel) {
    send.open();
    send_file(file_for(Model::RV7010, 0), 0);
    main.dispatch(ReqPutSetup, 0, nullptr);
    main.dispatch(ReqPutTable, 514, nullptr);
    EXPECT_EQ(view.status, texts::kSendFailed);
    EXPECT_EQ(view.controls, kCancelOnly);
    EXPECT_TRUE(view.log.shown.empty());
    EXPECT_TRUE(main_view.log.shown.empty());  // the main dialog does not disconnect on its own
    EXPECT_FALSE(view.closed);
    EXPECT_EQ(remote.last(), ReqPutTable);
    send.cancel();
    EXPECT_EQ(remote.last(), ReqGetSetup);
}

TEST_F(SendFlow, NoAnswerClosesTheDialogAndTheMainDialogDisconnects) {
    for (int code : {ReqPutSetup, ReqPutTable}) {
        view.closed = false;
        send.open();
        main.dispatch(code, StatusNoAnswer, nullptr);
        EXPECT_EQ(view.log.shown.back().text, code == ReqPutSetup ? texts::kLinkLostSetup : texts::kLinkLostLater);
        EXPECT_EQ(view.log.shown.back().caption, "ﾗｲﾄｴﾗｰ");
        EXPECT_TRUE(view.closed);
        EXPECT_EQ(session.target, &main);
        EXPECT_EQ(main_view.log.shown.back().text,
                  texts::with_number(code == ReqPutSetup ? texts::kSetupWriteError : texts::kTableWriteError, 4));
        EXPECT_EQ(remote.last(), ReqDisconnect);
    }
}

TEST_F(SendFlow, OtherNotificationsReachTheMainDialog) {
    send.open();
    main.dispatch(ReqDisconnect, 0, nullptr);
    EXPECT_EQ(remote.closes, 1);
}

// ---- table data dialog

class TableFlow : public DialogFlow {
protected:
    fakes::RecordingTableView view;
    TableController table{session, view, main};

    std::uint16_t offset(int k) const {
        return static_cast<std::uint16_t>(remote.table[4 * k] | remote.table[4 * k + 1] << 8);
    }
    void set_offsets(std::initializer_list<int> offsets) {
        int k = 0;
        for (int o : offsets) {
            remote.table[4 * k] = static_cast<std::uint8_t>(o);
            remote.table[4 * k + 1] = static_cast<std::uint8_t>(o >> 8);
            ++k;
        }
    }
};

TEST_F(TableFlow, SendPutsTheBytesIntoTheTableAndShowsTheFreeCells) {
    set_offsets({0, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2});
    table.open();
    EXPECT_EQ(session.target, &table);
    EXPECT_EQ(view.free, "残り8190byte");
    view.table = 1;
    view.editor = "AB\r\n\x83\x41";  // four bytes of line and one double-byte character
    table.send();
    EXPECT_EQ(view.status, texts::kTableSending);
    EXPECT_EQ(view.controls, TableView::Controls::None);
    EXPECT_EQ(remote.requests, std::vector<int>{ReqPutTable});
    EXPECT_EQ(offset(2), 8);
    EXPECT_EQ(offset(16), 8);
    EXPECT_EQ(remote.table[68 + 2 * 6], 0x83);
    main.dispatch(ReqPutTable, 0, nullptr);
    EXPECT_EQ(view.status, texts::kSent);
    EXPECT_EQ(view.free, "残り8184byte");
    EXPECT_EQ(view.controls, TableView::Controls::All);
}

TEST_F(TableFlow, TooMuchTextIsRefusedAndNothingChanges) {
    set_offsets({0, 8000, 8000, 8000, 8000, 8000, 8000, 8000, 8000, 8000, 8000, 8000, 8000, 8000, 8000, 8000, 8000});
    auto before = remote.table;
    table.open();
    view.table = 2;
    view.editor = std::string(193, 'x');
    table.send();
    ASSERT_EQ(view.log.shown.size(), 1u);
    EXPECT_EQ(view.log.shown[0].caption, "\xB4\xD7\xB0");  // ｴﾗｰ
    EXPECT_TRUE(view.log.shown[0].shift_jis);
    EXPECT_EQ(remote.table, before);
    EXPECT_EQ(view.status, "");
    EXPECT_EQ(view.controls, TableView::Controls::All);
    EXPECT_TRUE(remote.requests.empty());
    view.editor = std::string(192, 'x');  // exactly the free cells
    table.send();
    EXPECT_EQ(remote.requests, std::vector<int>{ReqPutTable});
}

TEST_F(TableFlow, FailedSendWaitsForCancelUnlessTheAnalyzerIsGone) {
    table.open();
    view.editor = "x";
    table.send();
    main.dispatch(ReqPutTable, 514, nullptr);
    EXPECT_EQ(view.status, texts::kTableSendFailed);
    EXPECT_EQ(view.controls, TableView::Controls::CancelOnly);
    EXPECT_FALSE(view.closed);
    EXPECT_TRUE(main_view.log.shown.empty());

    table.send();
    main.dispatch(ReqPutTable, StatusNoAnswer, nullptr);
    EXPECT_EQ(view.log.shown.back().text, texts::kLinkLostSetup);
    EXPECT_TRUE(view.closed);
    EXPECT_EQ(session.target, &main);
    EXPECT_EQ(main_view.log.shown.back().text, "SetTable Error (4)");
    EXPECT_EQ(remote.last(), ReqDisconnect);
    auto saved = testing_util::read_file(folder.dir.file(kLastTextFile));
    ASSERT_EQ(saved.size(), kLastTextSize);
    EXPECT_EQ(saved[0], 'x');
    EXPECT_EQ(saved[1], 0);
}

TEST_F(TableFlow, LastTextIsKeptOnCancelAndShownAgain) {
    table.open();
    view.editor = "line 1\r\nline 2";
    table.show_last();  // no file yet: nothing happens
    EXPECT_EQ(view.editor, "line 1\r\nline 2");
    EXPECT_EQ(view.status, "");
    table.cancel();
    EXPECT_EQ(remote.requests, std::vector<int>{ReqGetSetup});
    EXPECT_EQ(session.work_mode, WorkMode::Ending);
    EXPECT_EQ(session.target, &main);
    EXPECT_TRUE(view.closed);
    EXPECT_EQ(testing_util::read_file(folder.dir.file(kLastTextFile)).size(), kLastTextSize);

    fakes::RecordingTableView again;
    TableController second(session, again, main);
    second.open();
    second.show_last();
    EXPECT_EQ(again.editor, "line 1\r\nline 2");
    EXPECT_EQ(again.status, texts::kShown);
    second.clear();
    EXPECT_EQ(again.editor, "");
    EXPECT_EQ(again.status, "");
}

TEST_F(TableFlow, OtherNotificationsReachTheMainDialog) {
    table.open();
    main.dispatch(ReqDisconnect, 4, nullptr);
    EXPECT_EQ(main_view.status, texts::kCableLost);
}

}  // namespace
}  // namespace setxfer
