// The real window offscreen against the simulated analyzer on a pty, with
// libcommlib.so and libtextlib.so: a measurement that fills blocks, a stop,
// conversions to the print format and to frame translation, a ring-buffer
// measurement, the automatic stop, closing while measuring, and the live
// pane: its lines against a conversion of the stored buffer, pause and resume.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextBlock>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sstream>
#include <thread>

#include "offscreen.h"
#include "simulator/pty_server.h"
#include "testing/temp_dir.h"
#include "ui/main_window.h"

namespace capstore {
namespace {

namespace fs = std::filesystem;
using testing::MessageAnswerer;
using testing::wait_for;

class WindowEndToEnd : public ::testing::Test {
protected:
    testing_util::TempDir dir;
    SettingsPaths paths{QString::fromStdString(dir.file("config/ZAMVEX3.ini")),
                        QString::fromStdString(dir.file("system/ZAMVEX3.ini")),
                        QString::fromStdString(dir.path() + "/data/")};
    SettingsStore settings{paths};
    MessageAnswerer answers;
    std::unique_ptr<simulator::PtyServer> server;
    std::atomic<bool> stop{false};
    std::thread serving;
    Remote* remote = nullptr;
    TextConvert* convert = nullptr;
    std::unique_ptr<MainWindow> window;

    void open(bool ring, int max_blocks, int records_per_second = 0, std::uint64_t record_limit = 0) {
        simulator::AnalyzerOptions options;
        options.seed = 11;
        options.records_per_second = records_per_second;
        options.record_limit = record_limit;
        options.line_mode = simulator::LineMode::Hdlc;
        options.protocol = simulator::FrameProtocol::X25Mod8;
        server = std::make_unique<simulator::PtyServer>(options);
        serving = std::thread([this] { server->run(stop); });
        ASSERT_EQ(CreateMirlokeRemote(&remote), 1);
        ASSERT_EQ(CreateMirlokeTextConvert(&convert), 1);
        StoredPort port;
        port.name = server->slave_path();
        StoredBuffer buffer;
        buffer.path = dir.file("buffer");
        fs::create_directories(buffer.path);
        buffer.max_blocks = max_blocks;
        buffer.warn = false;
        buffer.ring = ring;
        ConvertOptions o{};
        settings.read_convert(o);
        std::strcpy(o.SavePath, dir.file("text").c_str());
        o.Blocks = 4;
        window = std::make_unique<MainWindow>(Language::English, settings, *remote, *convert);
        ASSERT_EQ(window->initialise(port, buffer, o), 0);
    }
    void TearDown() override {
        if (window && !window->ended()) {
            remote->Close();
            remote->Release();
        }
        window.reset();
        if (convert) convert->Release();
        stop = true;
        if (serving.joinable()) serving.join();
    }
    const AppState& state() { return window->controller().state(); }
    template <typename W = QPushButton>
    W* find(int id) {
        return window->findChild<W*>(QString::number(id));
    }
    QString text(int id) { return find<QLabel>(id)->text(); }
    bool offline() { return !state().busy && !state().connected && state().measure_state == 0; }
    void start_measuring() {
        find(40301)->click();
        ASSERT_TRUE(wait_for([&] { return state().measure_state != 0; })) << window->status_bar().text().toStdString();
        EXPECT_TRUE(window->status_bar().indicator(1));
        EXPECT_TRUE(window->status_bar().indicator(2));
        EXPECT_TRUE(find(40302)->isVisible());
        EXPECT_TRUE(window->windowTitle().endsWith("(RV-7020)")) << window->windowTitle().toStdString();
    }
    std::vector<std::string> text_files(const std::string& folder = "text") {
        std::vector<std::string> names;
        if (!fs::exists(dir.file(folder))) return names;
        for (const auto& e : fs::directory_iterator(dir.file(folder))) names.push_back(e.path().filename().string());
        return names;
    }
    void convert_and_wait() {
        ASSERT_TRUE(find(40401)->isEnabled());
        find(40401)->click();
        ASSERT_TRUE(state().converting) << (answers.texts.empty() ? "" : answers.texts.back());
        EXPECT_TRUE(window->status_bar().indicator(3));
        ASSERT_TRUE(wait_for([&] { return !state().converting; }));
        EXPECT_EQ(text(2002), "0");
        EXPECT_FALSE(window->status_bar().indicator(3));
    }
};

TEST_F(WindowEndToEnd, MeasureStopAndConvertToPrintAndFrameTranslation) {
    open(false, 4);
    start_measuring();
    ASSERT_TRUE(wait_for([&] { return state().block_count >= 2; }));
    EXPECT_TRUE(text(2001).endsWith(" / 4")) << text(2001).toStdString();
    EXPECT_TRUE(find(40401)->isEnabled());  // a flat buffer may be converted while measuring
    find(40302)->click();
    ASSERT_TRUE(wait_for([&] { return offline(); }));
    EXPECT_TRUE(window->windowTitle().endsWith("(Offline)"));
    EXPECT_TRUE(find(40301)->isVisible() && find(40301)->isEnabled());
    EXPECT_TRUE(answers.texts.empty()) << answers.texts.front();
    EXPECT_TRUE(fs::exists(dir.file("buffer/00000000.mkw")));

    // The missing output folder is created after the question.
    convert_and_wait();
    ASSERT_EQ(answers.texts.size(), 1u);
    EXPECT_NE(answers.texts[0].find("does not exist"), std::string::npos);
    auto print = text_files();
    std::sort(print.begin(), print.end());
    ASSERT_FALSE(print.empty());
    for (const auto& name : print) EXPECT_EQ(name.substr(0, 3), "MK_") << name;

    // The stored options are the ones the run used.
    ConvertOptions stored{};
    settings.read_convert(stored);
    EXPECT_EQ(std::string(stored.SavePath), dir.file("text"));

    find<QRadioButton>(2102)->setChecked(true);
    find<QComboBox>(2131)->setCurrentIndex(1);  // X.25 modulo 8
    find<QLineEdit>(2051)->setText(QString::fromStdString(dir.file("frames")));
    convert_and_wait();
    ASSERT_EQ(answers.texts.size(), 2u) << answers.texts.back();  // the second folder's question
    auto frames = text_files("frames");
    std::sort(frames.begin(), frames.end());
    ASSERT_FALSE(frames.empty());
    const auto first = testing_util::read_file(dir.file("frames/" + frames[0]));
    const auto other = testing_util::read_file(dir.file("text/" + print[0]));
    EXPECT_NE(first, other);  // a different layout of the same blocks
    EXPECT_NE(std::string(first.begin(), first.end()).find("FRAME CONVERSION"), std::string::npos);
}

// The lines of a text file the conversion wrote, as the live pane shows them.
std::vector<QString> file_lines(const std::string& path) {
    const auto bytes = testing_util::read_file(path);
    std::vector<QString> lines;
    std::string text(bytes.begin(), bytes.end()), line;
    for (std::size_t at = 0, end; at < text.size(); at = end + 2) {
        end = text.find("\r\n", at);
        if (end == std::string::npos) end = text.size();
        lines.push_back(live_line_text(text.substr(at, end - at)));
    }
    return lines;
}

struct PaneLine {
    QString text;
    bool error;
};

std::vector<PaneLine> pane_lines(LivePane& pane) {
    std::vector<PaneLine> lines;
    for (QTextBlock b = pane.text()->document()->firstBlock(); b.isValid(); b = b.next()) {
        const QTextBlock::iterator it = b.begin();
        const bool error = !it.atEnd() && it.fragment().charFormat().foreground().color() == LivePane::error_colour();
        lines.push_back({b.text(), error});
    }
    return lines;
}

TEST_F(WindowEndToEnd, LivePaneShowsTheLinesOfTheStoredBufferInTwoLayouts) {
    // A rate the pane keeps up with, and fewer lines than it keeps: it must show every one.
    open(false, 100, 20000, 30000);
    ASSERT_TRUE(window->live_show().isChecked());
    find<QLineEdit>(2061)->setText("999999");  // one text file
    struct Layout {
        const char* folder;
        std::function<void()> choose;
    };
    const Layout layouts[] = {
        {"frames",
         [&] {
             find<QRadioButton>(2102)->setChecked(true);
             find<QComboBox>(2131)->setCurrentIndex(1);  // X.25 modulo 8
         }},
        {"csv",
         [&] {
             find<QComboBox>(2011)->setCurrentIndex(1);  // CSV
             find<QComboBox>(2201)->setCurrentIndex(1);  // frames
         }},
    };
    for (const Layout& layout : layouts) {
        layout.choose();
        find<QLineEdit>(2051)->setText(QString::fromStdString(dir.file(layout.folder)));
        start_measuring();
        LivePane& pane = window->live_pane();
        ASSERT_TRUE(wait_for([&] { return pane.text()->document()->blockCount() > 200; }));
        EXPECT_NE(state().measure_state, 0) << "the pane fills while measuring";
        find(40302)->click();
        ASSERT_TRUE(wait_for([&] { return offline(); }));
        EXPECT_FALSE(window->live_running()) << "the live conversion ends with the measurement";
        pane.take_lines();
        EXPECT_EQ(pane.not_shown(), 0) << layout.folder;

        convert_and_wait();
        const auto names = text_files(layout.folder);
        ASSERT_EQ(names.size(), 1u) << layout.folder;
        const std::vector<QString> expected = file_lines(dir.file(std::string(layout.folder) + "/" + names[0]));
        const std::vector<PaneLine> shown = pane_lines(pane);
        ASSERT_GT(expected.size(), 100u) << layout.folder;
        ASSERT_LT(expected.size(), static_cast<std::size_t>(kLiveLines)) << layout.folder;
        ASSERT_EQ(shown.size(), expected.size()) << layout.folder;
        std::size_t mismatches = 0;
        for (std::size_t k = 0; k < shown.size(); ++k) {
            if (shown[k].text == expected[k]) continue;
            if (++mismatches < 5)
                ADD_FAILURE() << layout.folder << " line " << k << ": " << shown[k].text.toStdString();
        }
        EXPECT_EQ(mismatches, 0u) << layout.folder;

        if (std::string(layout.folder) == "csv") {
            // CSV frame lines name how each frame ended: exactly the bad ends are coloured.
            int errors = 0;
            for (const PaneLine& line : shown) {
                const QStringList fields = line.text.split(',');
                const bool bad =
                    line.text == "Lost" || (fields.size() > 2 && !fields[2].isEmpty() && fields[2] != "GOOD");
                EXPECT_EQ(line.error, bad) << line.text.toStdString();
                errors += bad;
            }
            EXPECT_GT(errors, 0) << "the simulated line has bad frames";
        } else {
            EXPECT_TRUE(std::any_of(shown.begin(), shown.end(), [](const PaneLine& l) { return l.error; }));
        }
    }
}

// At the simulator's fastest rate: the pane fills while measuring, keeps its
// bound, holds still while paused and counts what it could not show.
TEST_F(WindowEndToEnd, PausedLivePaneHoldsWhileTheMeasurementGoesOnAndResumeJumpsToTheEnd) {
    open(false, 100);
    start_measuring();
    LivePane& pane = window->live_pane();
    QTextDocument* doc = pane.text()->document();
    ASSERT_TRUE(wait_for([&] { return doc->blockCount() > 50; }));
    EXPECT_NE(state().measure_state, 0);
    pane.pause_button()->click();
    const QString held = doc->toPlainText();
    const int blocks = state().block_count;
    ASSERT_TRUE(wait_for([&] { return state().block_count > blocks + 1; })) << "the measurement goes on";
    pane.take_lines();
    EXPECT_EQ(doc->toPlainText(), held);
    EXPECT_GT(pane.not_shown(), 0) << "a block makes more lines than wait for the pane";
    EXPECT_TRUE(pane.note()->isVisible());
    pane.pause_button()->click();
    EXPECT_EQ(doc->blockCount(), kLiveLines);
    EXPECT_NE(doc->toPlainText(), held);
    QScrollBar* bar = pane.text()->verticalScrollBar();
    EXPECT_EQ(bar->value(), bar->maximum());
    find(40302)->click();
    ASSERT_TRUE(wait_for([&] { return offline(); }));
    EXPECT_TRUE(answers.texts.empty()) << answers.texts.front();

    // Hidden and stored so: the next measurement runs no live conversion.
    window->live_show().setChecked(false);
    EXPECT_FALSE(pane.isVisible());
    EXPECT_FALSE(settings.read_live_view());
    start_measuring();
    EXPECT_FALSE(window->live_running());
    find(40302)->click();
    ASSERT_TRUE(wait_for([&] { return offline(); }));
}

TEST_F(WindowEndToEnd, RingMeasurementKeepsTheConversionButtonDisabled) {
    open(true, 2);
    start_measuring();
    ASSERT_TRUE(wait_for([&] { return state().next_block >= 4; }));
    // Past MaxBlocks: the oldest blocks were given up and the measurement runs on.
    EXPECT_GT(state().first_block, 0);
    EXPECT_GE(state().block_count, 1);
    EXPECT_NE(state().measure_state, 0);  // no automatic stop in ring mode
    EXPECT_FALSE(find(40401)->isEnabled());
    find(40302)->click();
    ASSERT_TRUE(wait_for([&] { return offline(); }));
    EXPECT_TRUE(find(40401)->isEnabled());
}

TEST_F(WindowEndToEnd, ClosingWhileMeasuringAsksStopsAndExits) {
    open(false, 100);
    start_measuring();
    answers.policy = [](const std::string&) { return QMessageBox::No; };
    window->close();
    ASSERT_TRUE(wait_for([&] { return !answers.texts.empty(); }));
    EXPECT_EQ(answers.texts[0], "Do you approve of an exit though the application is measuring ?");
    EXPECT_FALSE(window->ended());
    EXPECT_NE(state().measure_state, 0);
    answers.policy = [](const std::string&) { return QMessageBox::Yes; };
    window->close();
    ASSERT_TRUE(wait_for([&] { return window->ended(); }));
    EXPECT_EQ(window->result(), 0);
    EXPECT_EQ(answers.texts.size(), 2u);
    // The conversion settings were stored on the way out.
    EXPECT_TRUE(fs::exists(dir.file("config/ZAMVEX3.ini")));
}

TEST_F(WindowEndToEnd, AutomaticStopAtMaxBlocksInAFlatBuffer) {
    open(false, 1);
    start_measuring();
    ASSERT_TRUE(wait_for([&] { return offline(); }));
    EXPECT_EQ(state().block_count, 1);
    EXPECT_EQ(text(2001), "1 / 1");
    EXPECT_TRUE(answers.texts.empty());
}

}  // namespace
}  // namespace capstore
