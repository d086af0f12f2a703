// One QApplication on Qt's offscreen platform for a whole window-test binary,
// made before the first test and gone after the last; a wait that keeps the
// event loop running; and a helper that acts on the next modal window.
// Header-only: only window tests, which link Qt themselves, include it.
//
// Errors: none.
// Threads: the test binary's main thread (Qt's GUI thread).
#pragma once
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>
#include <cerrno>
#include <cstdlib>
#include <functional>
#include <memory>

namespace testing_util {

class OffscreenApp : public ::testing::Environment {
public:
    void SetUp() override {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char* argv[] = {program_invocation_short_name, nullptr};  // the test binary's name
        app_ = new QApplication(argc, argv);
        // A test closes its windows; that must not end the application.
        QApplication::setQuitOnLastWindowClosed(false);
    }
    void TearDown() override {
        delete app_;
        app_ = nullptr;
    }

private:
    QApplication* app_ = nullptr;
};

// Registered once per test binary, whichever of its files include this.
inline ::testing::Environment* const kOffscreenApp = ::testing::AddGlobalTestEnvironment(new OffscreenApp);

// Runs the event loop until done() holds; false once `limit_ms` passed without it.
inline bool pump_until(const std::function<bool()>& done, int limit_ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limit_ms) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

// Runs action once on the first modal window that `wanted` accepts, from
// inside whatever event loop is running then (a dialog's exec() included). If
// none comes within `limit_ms`, the modal window up then is closed and the
// helper gives up, so a failing test still ends.
inline void on_next_modal(std::function<bool(QWidget*)> wanted, std::function<void(QWidget*)> action, int limit_ms) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    QObject::connect(timer, &QTimer::timeout, [timer, wanted, action, started, limit_ms] {
        QWidget* modal = QApplication::activeModalWidget();
        const bool found = modal && wanted(modal);
        if (!found && started->elapsed() <= limit_ms) return;
        timer->stop();
        timer->deleteLater();
        if (found) action(modal);
        else if (modal) modal->close();
    });
    timer->start();
}

}  // namespace testing_util
