// capstore's string table in English and Japanese, by string number, and the
// choice of language from the locale variables.
#pragma once
#include <string>
#include <string_view>

namespace capstore {

enum class Language { English, Japanese };

// Japanese when LC_ALL, else LC_MESSAGES, else LANG starts with "ja".
Language language_from_environment();

// The text of a string number; empty for a number the table does not hold.
std::string_view string_text(int number, Language language);

// printf-style "%s" / "%d" replaced once by the argument (the texts hold at most one).
std::string format_string(std::string_view text, std::string_view argument);
std::string format_string(std::string_view text, long long argument);

// String numbers used outside the message tables.
namespace str {
inline constexpr int kAppTitle = 1;
inline constexpr int kOffline = 5;
inline constexpr int kFolderBrowser = 11;
inline constexpr int kConnecting = 24;
inline constexpr int kDisconnecting = 25;
inline constexpr int kExiting = 26;
inline constexpr int kStarting = 27;
inline constexpr int kStopping = 28;
inline constexpr int kStoreFailed = 40;
inline constexpr int kFolderNotWritable = 41;
inline constexpr int kLowFreeSpace = 42;
inline constexpr int kDeleteCaption = 501;
inline constexpr int kCreateCaption = 502;
inline constexpr int kConnectIndicator = 9001;
inline constexpr int kMeasureIndicator = 9011;
inline constexpr int kConvertIndicator = 9021;
} // namespace str

} // namespace capstore
