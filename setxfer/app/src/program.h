// The setxfer program from start to end, apart from main(): single instance,
// the Remote, the main dialog and its modal run.
#pragma once
#include <QString>

namespace setxfer::app {

// Runs the tool inside an existing QApplication; returns the exit code.
// system_settings replaces the system-wide settings folder (tests).
int run_program(const QString& system_settings = {});

}  // namespace setxfer::app
