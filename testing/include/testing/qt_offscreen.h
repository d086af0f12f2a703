// One QApplication on Qt's offscreen platform for a whole window-test binary,
// made before the first test and gone after the last, and a wait that keeps
// the event loop running. Header-only: only window tests, which link Qt
// themselves, include it.
//
// Errors: none.
// Threads: the test binary's main thread (Qt's GUI thread).
#pragma once
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <cerrno>
#include <cstdlib>
#include <functional>

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
inline ::testing::Environment* const offscreen_app = ::testing::AddGlobalTestEnvironment(new OffscreenApp);

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

}  // namespace testing_util
