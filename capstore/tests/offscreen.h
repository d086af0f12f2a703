// The window tests' offscreen application (testing/qt_offscreen.h), a
// message-box answerer that records each box's text and presses a button,
// and waiting with a deadline while the event loop runs.
#pragma once
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "testing/qt_offscreen.h"

namespace capstore::testing {

// Answers every message box that opens while it lives.
class MessageAnswerer {
public:
    // Which button to press for a box with this text.
    std::function<QMessageBox::StandardButton(const std::string&)> policy = [](const std::string&) {
        return QMessageBox::Ok;
    };
    std::vector<std::string> texts;

    MessageAnswerer() {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { answer(); });
        timer_.start();
    }

private:
    void answer() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        const std::string text = box->text().toStdString();
        texts.push_back(text);
        QMessageBox::StandardButton which = policy(text);
        QAbstractButton* button = box->button(which);
        if (!button) button = box->buttons().value(0);
        button->click();
    }
    QTimer timer_;
};

// Runs the event loop until the condition holds or the limit passes.
inline bool wait_for(const std::function<bool()>& done, std::chrono::seconds limit = std::chrono::seconds(60)) {
    return testing_util::pump_until(done, static_cast<int>(std::chrono::milliseconds(limit).count()));
}

}  // namespace capstore::testing
