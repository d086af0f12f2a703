// The window tests' offscreen application (testing/qt_offscreen.h), a helper
// that answers the next modal window from inside its own event loop, and the
// test locale.
#pragma once
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>

#include "testing/qt_offscreen.h"

namespace commlib::ui::testing_qt {

// Runs action on the next modal window other than the one active now. A window
// that nobody answers within about 10 s is closed, so a failing test ends.
inline void OnNextModal(std::function<void(QWidget*)> action) {
    QWidget* before = QApplication::activeModalWidget();
    testing_util::on_next_modal([before](QWidget* modal) { return modal != before; }, std::move(action), 10000);
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
