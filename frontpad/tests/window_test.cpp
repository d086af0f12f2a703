// The real window offscreen: its controls and pictures, the settings file,
// a whole session against the simulated analyzer, and the single instance.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QProcess>
#include <QPushButton>

#include <atomic>
#include <thread>

#include "frontpad/key_table.h"
#include "qt_support.h"
#include "testing/temp_dir.h"
#include "window/front_panel_window.h"
#include "window/keypad_art.h"
#include "window/panel_widgets.h"
#include "window/single_instance.h"
#ifdef FRONTPAD_HAVE_SIMULATOR
#include "simulator/pty_server.h"
#endif

namespace frontpad {
namespace {

using testing_fp::MessageWatcher;
using testing_fp::waitFor;

struct Folders {
    testing_util::TempDir dir;
    QString user = QString::fromStdString(dir.file("user"));
    QString system = QString::fromStdString(dir.file("system"));
    SettingsStore store{user, system};
    QString userFile() const { return user + "/MIRLOKE/ZAMVEX3.ini"; }
    QString systemFile() const { return system + "/MIRLOKE/ZAMVEX3.ini"; }
};

void writeText(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

TEST(SettingsStore, WritesTheThreeValuesAndReadsThemBack) {
    Folders f;
    StoredPort read = f.store.read();
    EXPECT_EQ(read.name, "COM1");
    f.store.write({"COM6", 2, 1});
    read = f.store.read();
    EXPECT_EQ(read.name, "COM6");
    EXPECT_EQ(read.parity, 2);
    EXPECT_EQ(read.xcontrol, 1);
    QFile file(f.userFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("Name=COM6")) << text.constData();
    EXPECT_TRUE(text.contains("Parity=Even")) << text.constData();
    EXPECT_TRUE(text.contains("XControl=1")) << text.constData();
}

TEST(SettingsStore, FallsBackToTheSystemFileAndRefusesDamagedValues) {
    Folders f;
    writeText(f.systemFile(), "[1.00]\nfrontpad\\Name=COM4\nfrontpad\\Parity=Odd\nfrontpad\\XControl=1\n");
    StoredPort read = f.store.read();
    EXPECT_EQ(read.name, "COM4");
    EXPECT_EQ(read.parity, 1);
    EXPECT_EQ(read.xcontrol, 1);
    writeText(f.userFile(), "[1.00]\nfrontpad\\Name=com2\nfrontpad\\Parity=even\nfrontpad\\XControl=yes\n");
    read = f.store.read();
    EXPECT_EQ(read.name, "COM1");
    EXPECT_EQ(read.parity, 0);
    EXPECT_EQ(read.xcontrol, 0);
}

// The program in its own runtime and settings folders, without a display.
QProcessEnvironment programEnvironment(const QString& dir) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", dir);
    env.insert("XDG_CONFIG_HOME", dir + "/config");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    return env;
}

int noRemote(Remote** out) {
    *out = nullptr;
    return 0;
}

TEST(KeypadArt, PicturesHaveTheirSizes) {
    EXPECT_EQ(drawFaceSheet().size(), QSize(432, 256));
    EXPECT_EQ(drawKeypadBackground().size(), QSize(620, 200));
    // Up and pressed faces differ for every key.
    const QImage sheet = drawFaceSheet();
    for (const auto& key : kKeyButtons) {
        const int face = faceIndex(key);
        EXPECT_NE(sheet.copy(faceX(face), faceY(face, false), 48, 32),
                  sheet.copy(faceX(face), faceY(face, true), 48, 32))
            << key.id;
    }
}

TEST(KeyReceiver, TurnsKeyEventsIntoPanelKeys) {
    std::vector<std::pair<char, int>> seen;  // 'd' down / 'u' up, with shift as -2
    KeyReceiver receiver([&](const PcKey& k) { seen.emplace_back('d', k.shift ? -2 : k.code); },
                         [&](const PcKey& k) { seen.emplace_back('u', k.shift ? -2 : k.code); }, nullptr);
    auto send = [&](QEvent::Type type, int key, bool repeat = false) {
        QKeyEvent e(type, key, Qt::NoModifier, QString(), repeat);
        QApplication::sendEvent(&receiver, &e);
    };
    send(QEvent::KeyPress, Qt::Key_Shift);
    send(QEvent::KeyPress, Qt::Key_M);
    send(QEvent::KeyRelease, Qt::Key_M, true);  // a repeat's release is not a release
    send(QEvent::KeyPress, Qt::Key_M, true);    // its press is one more key
    send(QEvent::KeyRelease, Qt::Key_M);
    send(QEvent::KeyPress, Qt::Key_Tab);  // stays here: a key that is not mapped
    send(QEvent::KeyRelease, Qt::Key_Shift);
    EXPECT_EQ(seen,
              (std::vector<std::pair<char, int>>{{'d', -2}, {'d', 23}, {'d', 23}, {'u', 23}, {'d', -1}, {'u', -2}}));
}

TEST(FrontPanelWindow, AFailedStartShowsTheErrorAndEndsWithOne) {
    Folders f;
    MessageWatcher watcher;
    FrontPanelWindow window(noRemote, f.store);
    EXPECT_FALSE(window.start());
    EXPECT_EQ(window.result(), 1);
    EXPECT_EQ(watcher.texts, QStringList{"Initialize error."});
    EXPECT_EQ(watcher.captions, QStringList{QString::fromUtf8("ｷｰｴﾐｭﾚｰｼｮﾝ")});
}

TEST(FrontPanelWindow, OfflineLayout) {
    Folders f;
    FrontPanelWindow window(CreateMirlokeRemote, f.store);
    ASSERT_TRUE(window.start());
    window.show();
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8("ｷｰｴﾐｭﾚｰｼｮﾝ B75"));
    EXPECT_EQ(window.statusText(), QString::fromUtf8("未接続状態です"));
    EXPECT_EQ(window.findChild<QLabel*>("1019")->geometry(), QRect(10, 180, 620, 200));
    EXPECT_EQ(window.key(40006)->geometry(), QRect(20, 334, 48, 32));
    EXPECT_EQ(window.key(40041)->geometry(), QRect(570, 190, 48, 32));
    EXPECT_EQ(window.key(40022)->geometry(), QRect(314, 334, 48, 32));
    EXPECT_EQ(window.command(40002)->text(), QString::fromUtf8("接続"));
    EXPECT_EQ(window.command(40004)->text(), QString::fromUtf8("ｼﾘｱﾙﾎﾟｰﾄ設定"));
    EXPECT_TRUE(window.command(40002)->isEnabled());
    EXPECT_FALSE(window.command(40003)->isEnabled());
    EXPECT_FALSE(window.key(40034)->isEnabled());
    EXPECT_FALSE(window.keyReceiver()->isEnabled());
    const QImage screen = window.screenArea()->grab().toImage();
    EXPECT_EQ(screen.pixelColor(5, 5), QColor(180, 255, 50));
    window.close();  // offline: ends through the library's immediate answer
    EXPECT_TRUE(waitFor([&] { return window.ended(); }));
    EXPECT_EQ(window.result(), 0);
    EXPECT_TRUE(QFile::exists(f.userFile()));
}

TEST(SingleInstance, ASecondStartRaisesTheFirstAndEnds) {
    testing_util::TempDir runtime;
    const QString dir = QString::fromStdString(runtime.path());
    SingleInstance first(dir);
    ASSERT_TRUE(first.acquire());
    int raised = 0;
    first.listen([&] { ++raised; });

    SingleInstance second(dir);
    EXPECT_FALSE(second.acquire());

    // The real program, started while the first copy runs.
    QProcess program;
    program.setProcessEnvironment(programEnvironment(dir));
    program.start(FRONTPAD_EXE, {});
    ASSERT_TRUE(waitFor([&] { return program.state() == QProcess::NotRunning; }, 15000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_TRUE(waitFor([&] { return raised == 1; }));
}

TEST(SingleInstance, TheProgramStartedTwiceKeepsOnlyTheFirstRunning) {
    testing_util::TempDir runtime;
    const QString dir = QString::fromStdString(runtime.path());
    QProcess first, second;
    first.setProcessEnvironment(programEnvironment(dir));
    second.setProcessEnvironment(programEnvironment(dir));
    first.start(FRONTPAD_EXE, {});
    // The first copy is up once it listens for later ones.
    ASSERT_TRUE(waitFor([&] { return QFile::exists(SingleInstance(dir).socketPath()); }, 15000));
    second.start(FRONTPAD_EXE, {});
    ASSERT_TRUE(waitFor([&] { return second.state() == QProcess::NotRunning; }, 15000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
    first.terminate();
    EXPECT_TRUE(waitFor([&] { return first.state() == QProcess::NotRunning; }, 15000));
}

#ifdef FRONTPAD_HAVE_SIMULATOR

class Analyzer {
public:
    Analyzer() : server_(simulator::AnalyzerOptions{}), serving_([this] { server_.run(stop_); }) {
        ::setenv("ZAMVEX_PORT_COM1", server_.slave_path().c_str(), 1);
    }
    ~Analyzer() {
        stop_ = true;
        serving_.join();
        ::unsetenv("ZAMVEX_PORT_COM1");
    }

private:
    simulator::PtyServer server_;
    std::atomic<bool> stop_{false};
    std::thread serving_;
};

bool idleAndConnected(const FrontPanelWindow& w) {
    return w.controller().connected() && !w.controller().busy() && w.controller().screenBits();
}

TEST(FrontPanelWindow, ASessionWithTheSimulatedAnalyzer) {
    Folders f;
    Analyzer analyzer;
    MessageWatcher watcher;
    FrontPanelWindow window(CreateMirlokeRemote, f.store);
    ASSERT_TRUE(window.start());
    window.show();

    window.command(40002)->click();
    ASSERT_TRUE(waitFor([&] { return idleAndConnected(window); }, 15000)) << watcher.texts.join("|").toStdString();
    EXPECT_EQ(window.statusText(), QString::fromUtf8("接続中です"));
    EXPECT_TRUE(window.key(40034)->isEnabled());
    EXPECT_FALSE(window.command(40002)->isEnabled());
    const QImage first = window.screenArea()->grab().toImage();
    // The analyzer's frame and text show black on the fill, nothing else.
    int black = 0, fill = 0;
    for (int y = 0; y < first.height(); ++y)
        for (int x = 0; x < first.width(); ++x) {
            const QColor c = first.pixelColor(x, y);
            black += c == QColor(0, 0, 0);
            fill += c == QColor(180, 255, 50);
        }
    EXPECT_GT(black, 100);
    EXPECT_EQ(black + fill, first.width() * first.height());

    // A clicked key changes the analyzer's screen.
    window.key(40034)->click();
    ASSERT_TRUE(waitFor([&] { return idleAndConnected(window) && window.screenArea()->grab().toImage() != first; }));
    const QImage afterMenu = window.screenArea()->grab().toImage();

    // And so does a key typed on the PC keyboard.
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QKeyEvent up(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(window.keyReceiver(), &down);
    QApplication::sendEvent(window.keyReceiver(), &up);
    ASSERT_TRUE(waitFor([&] { return window.screenArea()->grab().toImage() != afterMenu; }));

    window.command(40003)->click();
    ASSERT_TRUE(waitFor([&] { return !window.controller().connected() && !window.controller().busy(); }));
    EXPECT_EQ(window.statusText(), QString::fromUtf8("未接続状態です"));
    EXPECT_EQ(window.controller().screenBits(), nullptr);
    EXPECT_TRUE(window.command(40002)->isEnabled());
    EXPECT_TRUE(watcher.texts.isEmpty()) << watcher.texts.join("|").toStdString();

    window.close();
    EXPECT_TRUE(waitFor([&] { return window.ended(); }));
}

#endif

}  // namespace
}  // namespace frontpad
