// Renders the front panel connected to the simulated analyzer into a PNG, for
// looking at the window without a display:
//   QT_QPA_PLATFORM=offscreen frontpad_screenshot out.png
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPushButton>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "simulator/pty_server.h"
#include "window/front_panel_window.h"

namespace {

bool waitFor(const std::function<bool()>& done, int limitMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limitMs) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: frontpad_screenshot out.png\n");
        return 2;
    }
    QApplication app(argc, argv);
    const QString out = QString::fromLocal8Bit(argv[1]);
    if (!QFileInfo(out).absoluteDir().mkpath(".")) {
        std::fprintf(stderr, "cannot make the folder for %s\n", argv[1]);
        return 1;
    }
    simulator::PtyServer server{simulator::AnalyzerOptions{}};
    std::atomic<bool> stop{false};
    std::thread serving([&] { server.run(stop); });
    ::setenv("ZAMVEX_PORT_COM1", server.slave_path().c_str(), 1);

    // Settings go to a scratch folder, not the user's file.
    const QString scratch = QDir::tempPath() + "/frontpad_screenshot";
    const frontpad::SettingsStore settings(scratch, scratch);
    int status = 1;
    {
        frontpad::FrontPanelWindow window(CreateMirlokeRemote, settings);
        if (window.start()) {
            window.show();
            window.command(40002)->click();
            const auto& c = window.controller();
            auto idle = [&] { return c.connected() && !c.busy() && c.screenBits(); };
            if (waitFor(idle, 15000)) {
                window.key(40034)->click();  // MENU
                waitFor(idle, 5000);
                if (window.grab().save(out)) status = 0;
            }
            if (status != 0) std::fprintf(stderr, "no connected screen to save\n");
            window.command(40003)->click();
            waitFor([&] { return !c.connected(); }, 10000);
        }
    }
    stop = true;
    serving.join();
    return status;
}
