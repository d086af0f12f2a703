// One QApplication on the offscreen platform for the whole test binary, made
// before the first test and gone after the last; and a helper that answers
// the next modal window from inside its own event loop.
#pragma once
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

namespace commlib::ui::testing_qt {

class OffscreenApp : public ::testing::Environment {
public:
    void SetUp() override {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "commlib_ui_tests";
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

// Runs action on the next modal window other than the one active now. A window
// that nobody answers within about 10 s is closed, so a failing test ends.
inline void onNextModal(std::function<void(QWidget*)> action) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QWidget* before = QApplication::activeModalWidget();
    auto ticks = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, action, before, ticks] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == before) {
            if (++*ticks > 2000 && modal) modal->close();
            return;
        }
        timer->stop();
        timer->deleteLater();
        action(modal);
    });
    timer->start();
}

// Sets one locale variable for a test and puts the old value back.
class LocaleVar {
public:
    LocaleVar(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old, had_ = true;
        if (value) ::setenv(name, value, 1);
        else ::unsetenv(name);
    }
    ~LocaleVar() {
        if (had_) ::setenv(name_, old_.c_str(), 1);
        else ::unsetenv(name_);
    }
    LocaleVar(const LocaleVar&) = delete;
    LocaleVar& operator=(const LocaleVar&) = delete;

private:
    const char* name_;
    std::string old_;
    bool had_ = false;
};

// English unless a test asks otherwise, whatever the machine's locale.
struct EnglishLocale {
    LocaleVar all{"LC_ALL", "C"};
};

} // namespace commlib::ui::testing_qt
