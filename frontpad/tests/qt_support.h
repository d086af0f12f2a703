// The window tests' offscreen application (testing/qt_offscreen.h), a wait
// that keeps the event loop running until a condition holds or a deadline
// passes, and a watcher that answers message boxes and remembers their texts.
#pragma once
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QStringList>
#include <QThread>
#include <QTimer>
#include <cstdlib>
#include <functional>

#include "testing/qt_offscreen.h"

namespace frontpad::testing_fp {

// Runs the event loop until done() or the limit; the result of done().
inline bool waitFor(const std::function<bool()>& done, int limitMs = 10000) {
    return testing_util::pump_until(done, limitMs);
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

}  // namespace frontpad::testing_fp
