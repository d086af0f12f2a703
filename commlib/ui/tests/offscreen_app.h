// The window tests' offscreen application (testing/qt_offscreen.h), a helper
// that answers the next modal window from inside its own event loop, and the
// test locale.
#pragma once
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "testing/qt_offscreen.h"

namespace commlib::ui::testing_qt {

// Runs action on the next modal window other than the one active now. A window
// that nobody answers within about 10 s is closed, so a failing test ends.
inline void OnNextModal(std::function<void(QWidget*)> action) {
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

}  // namespace commlib::ui::testing_qt
