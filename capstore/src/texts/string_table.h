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

// The string numbers the program uses.
namespace str {
inline constexpr int kNoStatus = 0;  // no string: the status bar shows the free space
inline constexpr int kAppTitle = 1;
inline constexpr int kInitFailed = 3;
inline constexpr int kPortInitFailed = 4;
inline constexpr int kOffline = 5;
inline constexpr int kConnectFailed = 6;
inline constexpr int kExitWhileMeasuring = 7;
inline constexpr int kUnsupportedAnalyzer = 9;
inline constexpr int kFolderBrowser = 11;
inline constexpr int kStopUnsupported = 12;  // the measurement could not start, by stop reason 2..8
inline constexpr int kStopNotReady = 13;
inline constexpr int kStopBattery = 14;
inline constexpr int kStopWriteProtected = 15;
inline constexpr int kStopMonitorPort = 16;
inline constexpr int kStopBufferSelect = 17;
inline constexpr int kStopAsyncOnly = 18;
inline constexpr int kUndefinedLabel = 19;
inline constexpr int kCannotStart = 20;
inline constexpr int kAskCreateFolder = 21;
inline constexpr int kNotAFolder = 22;
inline constexpr int kCannotCreateFolder = 23;
inline constexpr int kConnecting = 24;
inline constexpr int kDisconnecting = 25;
inline constexpr int kExiting = 26;
inline constexpr int kStarting = 27;
inline constexpr int kStopping = 28;
inline constexpr int kConfirmDeleteText = 29;
inline constexpr int kFolderNotFound = 30;
inline constexpr int kBufferBroken = 31;
inline constexpr int kConvertError = 32;
inline constexpr int kBadPath = 33;
inline constexpr int kRootFolder = 34;
inline constexpr int kFolderDenied = 35;
inline constexpr int kBufferWillBeCleared = 36;
inline constexpr int kMeasuringAtConnect = 37;
inline constexpr int kNoAnswer = 38;
inline constexpr int kNoAnswerAtStop = 39;
inline constexpr int kStoreFailed = 40;
inline constexpr int kFolderNotWritable = 41;
inline constexpr int kLowFreeSpace = 42;
inline constexpr int kDeleteCaption = 501;
inline constexpr int kCreateCaption = 502;
inline constexpr int kConnectIndicator = 9001;
inline constexpr int kMeasureIndicator = 9011;
inline constexpr int kConvertIndicator = 9021;
}  // namespace str

}  // namespace capstore
