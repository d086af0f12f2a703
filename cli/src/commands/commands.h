// The subcommands of `zamvex`. Each one is a Command (text/command.h) defined
// in its own file beside the function that runs it, and listed once in
// commands/command_list.cpp; that list feeds the dispatcher, `zamvex help`,
// --help, the manual page and the shell completion. Run functions take the
// words after the command's name and return the exit code (text/exit_codes.h);
// run_with (text/command_line.h) reads the words against the command's table
// first.
//
// Errors: a failure is one line on stderr, "zamvex NAME: reason"; the exit code
// says which kind.
// Threads: the main thread; commands that watch a line start their own reader
// thread.
#pragma once
#include "text/command.h"

namespace cli {

extern const Command kCaptureCommand;
extern const Command kConvertCommand;
extern const Command kMonitorCommand;
extern const Command kExportCommand;
extern const Command kSettingsCommand;
extern const Command kTableCommand;
extern const Command kScreenCommand;
extern const Command kKeyCommand;
extern const Command kPortsCommand;
extern const Command kStatusCommand;
extern const Command kStatsCommand;
extern const Command kSimulateCommand;
extern const Command kDemoCommand;
extern const Command kHelpCommand;

}  // namespace cli
