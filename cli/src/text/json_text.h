// A text as a JSON string, for the commands' --json forms.
// Errors: none. Threads: any; pure.
#pragma once
#include <string>

namespace cli {

// The text in quotes, with '"', '\\' and control characters escaped.
std::string json_string(const std::string& text);

}  // namespace cli
