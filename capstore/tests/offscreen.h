// One QApplication on the offscreen platform for the whole test binary, a
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

namespace capstore::testing {

class OffscreenApp : public ::testing::Environment {
public:
    void SetUp() override
    {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "capstore_tests";
        static char* argv[] = {name, nullptr};
        app_ = new QApplication(argc, argv);
    }
    void TearDown() override
    {
        delete app_;
        app_ = nullptr;
    }

private:
    QApplication* app_ = nullptr;
};

inline ::testing::Environment* const offscreen_app = ::testing::AddGlobalTestEnvironment(new OffscreenApp);

// Answers every message box that opens while it lives.
class MessageAnswerer {
public:
    // Which button to press for a box with this text.
    std::function<QMessageBox::StandardButton(const std::string&)> policy = [](const std::string&) {
        return QMessageBox::Ok;
    };
    std::vector<std::string> texts;

    MessageAnswerer()
    {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { answer(); });
        timer_.start();
    }

private:
    void answer()
    {
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
inline bool wait_for(const std::function<bool()>& done, std::chrono::seconds limit = std::chrono::seconds(60))
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

} // namespace capstore::testing
