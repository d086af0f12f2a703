// The front panel's key names and codes, as the remote front panel names them,
// and the words a user types for them on the command line.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace cli {

inline constexpr int kShiftOffset = 128;   // a shifted key is its code plus 128

// The name of key code 0..34 ("0".."F", "←", "ENTER", ..., "STOP"); empty otherwise.
std::string_view key_name(int code);

// "RUN", "enter", "LEFT" or "←", "33", "0x21", "SHIFT+0": the code to send;
// nullopt for an unknown word. "SHIFT" alone is not a key (the caller latches it).
std::optional<int> key_code(const std::string& word);

}  // namespace cli
