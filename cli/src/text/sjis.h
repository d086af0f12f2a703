// The settings tool's messages are Shift_JIS bytes (code page 932); the terminal
// gets them as UTF-8.
#pragma once
#include <string>
#include <string_view>

namespace cli {

// UTF-8 text of Shift_JIS bytes; bytes that do not convert become "?".
std::string sjis_to_utf8(std::string_view sjis);

}  // namespace cli
