// The Wireshark extcap program's entry: the words after the program's name,
// the exit code (0 done, 1 the capture failed, 2 a usage mistake).
//
// Errors: one line on stderr, as Wireshark shows it.
// Threads: the main thread, plus the live reader while a capture runs.
#pragma once
#include <string>
#include <vector>

namespace cli {

int extcap_command(const std::vector<std::string>& args);

}  // namespace cli
