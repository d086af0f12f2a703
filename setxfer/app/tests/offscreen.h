// The window tests' offscreen application (testing/qt_offscreen.h), waits
// with deadlines, and a helper that acts inside the next modal dialog of a given name.
#pragma once
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <utility>

#include "testing/qt_offscreen.h"

namespace setxfer::app::testing_qt {

// Pumps events until done() holds; false after the deadline.
inline bool wait_until(const std::function<bool()>& done, int ms = 20000) { return testing_util::pump_until(done, ms); }

// Runs action once on the modal dialog named `name` (any modal dialog for an
// empty name) when it is up. A dialog that nobody handles within 30 s is
// closed, so a failing test still ends.
inline void on_modal(const char* name, std::function<void(QWidget*)> action) {
    testing_util::on_next_modal([name](QWidget* modal) { return !*name || modal->objectName() == QLatin1String(name); },
                                std::move(action), 30000);
}

template <typename T = QAbstractButton>
T* child(QWidget* parent, const char* name) {
    T* found = parent->findChild<T*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

inline void click(QWidget* parent, const char* name) {
    if (auto* b = child(parent, name)) b->click();
}

}  // namespace setxfer::app::testing_qt
