// Lines on stderr for a person or for systemd's journal. When stderr is the
// journal's stream (JOURNAL_STREAM names its device and inode), every line
// starts with its syslog priority ("<3>" error, "<4>" warning, "<6>"
// information), so that journalctl shows and filters them by priority.
//
// Errors: none; a failed write is not reported. Threads: the main thread.
#pragma once
#include <string>

namespace cli {

enum class Priority { Error = 3, Warning = 4, Info = 6 };

// True when stderr is the journal's stream (decided once per process).
bool stderr_is_journal();

// Writes `text` (one or more lines, without the last line end) to stderr,
// each line with the priority's prefix when stderr is the journal.
void say(Priority priority, const std::string& text);

// `text` with each line prefixed as say() would: for tests and for texts that
// are written elsewhere.
std::string journal_lines(Priority priority, const std::string& text, bool journal);

}  // namespace cli
