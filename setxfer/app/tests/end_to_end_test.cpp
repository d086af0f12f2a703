// The setxfer window against the simulated analyzer of each model, offscreen:
// save a file, edit it, send it, save again and find the edit; type a table and
// send it; a second start of the program ends at once.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <atomic>
#include <thread>

#include "main_dialog.h"
#include "message_box.h"
#include "offscreen.h"
#include "qt_settings_store.h"
#include "save_dialog.h"
#include "setxfer_flows/file_access.h"
#include "setxfer_flows/texts.h"
#include "simulator/pty_server.h"
#include "single_instance.h"
#include "testing/temp_dir.h"

namespace setxfer::app {
namespace {

using namespace testing_qt;

// Settings and the single-instance lock of every test live in one temporary folder.
class Folders : public ::testing::Environment {
public:
    void SetUp() override {
        dir = std::make_unique<testing_util::TempDir>();
        ::setenv("XDG_CONFIG_HOME", dir->path().c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", dir->path().c_str(), 1);
    }
    void TearDown() override { dir.reset(); }
    static inline std::unique_ptr<testing_util::TempDir> dir;
};
::testing::Environment* const kFolders = ::testing::AddGlobalTestEnvironment(new Folders);

QString text(QWidget* w, const char* name) {
    auto* label = child<QLabel>(w, name);
    return label ? label->text() : QString();
}
QString utf8(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

std::string read_text(const std::string& path) {
    auto bytes = testing_util::read_file(path);
    return std::string(bytes.begin(), bytes.end());
}

// The tool's main dialog on a simulated analyzer of one model.
class Tool {
public:
    explicit Tool(simulator::Model model) : server_(options(model)), serving_([this] { server_.run(stop_); }) {
        // All three values: another test of this process may have stored others.
        store_.set("PORT", server_.slave_path());
        store_.set("PARITY", "NONE");
        store_.set("XCON", "OFF");
        set_message_hook([this](QWidget*, const Message& m) { return messages.push_back(m), true; });
        CreateMirlokeRemote(&session_.remote);
        dialog = std::make_unique<MainDialog>(session_, store_);
        dialog->show();
        started = dialog->start();
    }
    ~Tool() {
        dialog.reset();  // releases the Remote: the port closes before the analyzer goes
        stop_ = true;
        serving_.join();
        set_message_hook(nullptr);
    }
    // Idle again after an operation: disconnected, buttons back.
    bool idle() {
        return wait_until([&] {
            return child(dialog.get(), "save")->isEnabled() &&
                   text(dialog.get(), "status") == utf8(texts::kDisconnected);
        });
    }

    std::unique_ptr<MainDialog> dialog;
    std::vector<Message> messages;
    bool started = false;
    Session& session() { return session_; }

private:
    static simulator::AnalyzerOptions options(simulator::Model model) {
        simulator::AnalyzerOptions o;
        o.model = model;
        return o;
    }
    QtSettingsStore store_{QString::fromStdString(Folders::dir->path() + "/system")};
    Session session_;
    simulator::PtyServer server_;
    std::atomic<bool> stop_{false};
    std::thread serving_;
};

// Saves through the save dialog; returns what the library makes of the data sets read.
std::string save(Tool& tool, const std::string& path, int type, bool ascii) {
    std::string expected;
    bool done = false;
    on_modal("saveDialog", [&](QWidget* d) {
        auto* types = child<QComboBox>(d, "types");
        EXPECT_EQ(types->count(), tool.session().model == Model::RV7030 ? 3 : 2);
        types->setCurrentIndex(type);
        child<QCheckBox>(d, "ascii")->setChecked(ascii);
        child<QLineEdit>(d, "path")->setText(QString::fromStdString(path));
        click(d, "start");
        EXPECT_EQ(text(d, "status"), utf8(texts::kWritten));
        // What the settings-file library makes of the data sets the tool has just read.
        auto form = ascii ? TableForm::Character : TableForm::Hex;
        expected = write_settings_file(tool.session().bodies(), tool.session().model, type, form).value_or("?");
        done = true;
        click(d, "cancel");
    });
    click(tool.dialog.get(), "save");
    EXPECT_TRUE(tool.idle());
    EXPECT_TRUE(done);
    EXPECT_EQ(read_text(path), expected);
    return expected;
}

// Sends a file through the send dialog; the dialog's status line at the end.
QString send(Tool& tool, const std::string& path, int type) {
    QString status;
    on_modal("sendDialog", [&](QWidget* d) {
        child<QComboBox>(d, "types")->setCurrentIndex(type);
        child<QLineEdit>(d, "path")->setText(QString::fromStdString(path));
        click(d, "start");
        wait_until([&] { return child(d, "cancel")->isEnabled(); });
        status = text(d, "status");
        click(d, "cancel");
    });
    click(tool.dialog.get(), "send");
    EXPECT_TRUE(tool.idle());
    return status;
}

simulator::Model sim_model(Model m) { return static_cast<simulator::Model>(static_cast<int>(m)); }

class EveryModel : public ::testing::TestWithParam<Model> {};

TEST_P(EveryModel, SaveEditSendAndSaveAgain) {
    Model model = GetParam();
    Tool tool(sim_model(model));
    ASSERT_TRUE(tool.started);
    testing_util::TempDir dir;
    int type = save_type_count(model) - 1;
    std::string first = dir.file("first.txt");
    save(tool, first, type, false);
    std::string saved = read_text(first);
    ASSERT_TRUE(saved.starts_with(std::string(model_name(model)) + "\r\n")) << saved.substr(0, 40);

    // Test mode is the file's second line; only its first character counts.
    auto line2 = saved.find("\r\n") + 2;
    char mode = saved[line2];
    std::string edited_line = mode == '5' ? "6:BUFFER" : "5:MATCH";  // names of seven or more characters print whole
    std::string edited = saved;
    edited.replace(line2, saved.find("\r\n", line2) - line2, edited_line);
    std::string edited_path = dir.file("edited.txt");
    testing_util::write_file(edited_path, edited);
    EXPECT_EQ(send(tool, edited_path, type), utf8(texts::kSent));

    std::string second = dir.file("second.txt");
    save(tool, second, type, false);
    EXPECT_EQ(read_text(second), edited);
    EXPECT_TRUE(tool.messages.empty()) << tool.messages.front().text;
}

TEST_P(EveryModel, TypeATableAndSendIt) {
    Model model = GetParam();
    Tool tool(sim_model(model));
    ASSERT_TRUE(tool.started);
    testing_util::TempDir dir;
    std::string old_folder = files::current_folder();
    ASSERT_EQ(::chdir(dir.path().c_str()), 0);  // "tble.bin" goes to the current folder
    QString status, free_before, free_after;
    on_modal("tableDialog", [&](QWidget* d) {
        free_before = text(d, "free");
        child<QListWidget>(d, "tables")->setCurrentRow(3);
        child<QPlainTextEdit>(d, "editor")->setPlainText(QStringLiteral("AB\n\"Δ"));
        click(d, "send");
        wait_until([&] { return child(d, "cancel")->isEnabled(); });
        status = text(d, "status");
        free_after = text(d, "free");
        click(d, "cancel");
    });
    click(tool.dialog.get(), "table");
    ASSERT_TRUE(tool.idle());
    EXPECT_EQ(status, utf8(texts::kSent));
    EXPECT_NE(free_before, free_after);

    // The table now holds the text's code-page-932 bytes, one per cell.
    std::string path = dir.file("tables.txt");
    save(tool, path, 1, true);
    std::string saved = read_text(path);
    // 'A', 'B', CR, LF, '"', then the two bytes of the Greek delta (0x83 0xA2).
    EXPECT_NE(saved.find("TBL.No:3(7)\r\nA B CRLF\x81\x68"
                         "83a2"),
              std::string::npos);
    auto last = testing_util::read_file(dir.file("tble.bin"));
    ASSERT_EQ(last.size(), 8192u);
    EXPECT_EQ(std::string(last.begin(), last.begin() + 7), "AB\r\n\"\x83\xA2");
    EXPECT_TRUE(tool.messages.empty());
    EXPECT_EQ(::chdir(old_folder.c_str()), 0);
}

INSTANTIATE_TEST_SUITE_P(Models, EveryModel, ::testing::Values(Model::RV7010, Model::RV7020, Model::RV7030),
                         [](const auto& info) { return std::string(model_name(info.param)).substr(3); });

TEST(Program, SecondStartEndsAtOnce) {
    SingleInstance first("MIRLOKE_SETXFER.lock");
    ASSERT_TRUE(first.first());
    SingleInstance second("MIRLOKE_SETXFER.lock");
    EXPECT_FALSE(second.first());

    pid_t child_pid = ::fork();
    ASSERT_GE(child_pid, 0);
    if (child_pid == 0) {
        ::alarm(20);  // never hang the test run
        ::execl(SETXFER_PROGRAM, SETXFER_PROGRAM, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child_pid, &status, 0), child_pid);
    ASSERT_TRUE(WIFEXITED(status)) << "the second copy did not end by itself";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace setxfer::app
