// One offscreen QApplication for the window tests, a wait that keeps the
// event loop running until a condition holds or a deadline passes, and a
// watcher that answers message boxes and remembers their texts.
#pragma once
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>
#include <QThread>
#include <cstdlib>
#include <functional>

namespace frontpad::testing_fp {

class OffscreenApp : public ::testing::Environment {
public:
    void SetUp() override {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "frontpad_tests";
        static char* argv[] = {name, nullptr};
        app_ = new QApplication(argc, argv);
    }
    void TearDown() override {
        delete app_;
        app_ = nullptr;
    }

private:
    QApplication* app_ = nullptr;
};

inline ::testing::Environment* const offscreenApp = ::testing::AddGlobalTestEnvironment(new OffscreenApp);

// Runs the event loop until done() or the limit; the result of done().
inline bool waitFor(const std::function<bool()>& done, int limitMs = 10000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limitMs) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

// Answers every message box that opens while it lives (with `answer`) and
// keeps its text, so a box a test did not expect fails the test instead of
// blocking it.
class MessageWatcher {
public:
    explicit MessageWatcher(QMessageBox::StandardButton answer = QMessageBox::Ok) {
        QObject::connect(&timer_, &QTimer::timeout, [this, answer] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(w);
                if (!box || !box->isVisible()) continue;
                texts.append(box->text());
                captions.append(box->windowTitle());
                QAbstractButton* button = box->button(answer);
                if (!button) button = box->buttons().value(0);
                if (button) button->click();
            }
        });
        timer_.start(10);
    }
    QStringList texts;
    QStringList captions;

private:
    QTimer timer_;
};

} // namespace frontpad::testing_fp
