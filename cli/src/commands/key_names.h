// The words a user types on the command line for the front panel's keys
// (their codes and names are the analyzer's: commlib/analyzer_words.h).
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "commlib/analyzer_words.h"

namespace cli {

// "RUN", "enter", "LEFT" or "←", "33", "0x21", "SHIFT+0": the code to send;
// nullopt for an unknown word. "SHIFT" alone is not a key (the caller latches it).
std::optional<int> key_code(const std::string& word);

}  // namespace cli
