// The front panel's texts: Japanese, built in, and a few English errors, as
// the analyzer's users know them from the panel software.
#pragma once

namespace frontpad::texts {

inline constexpr const char* kConnectedLine = "接続中です";
inline constexpr const char* kOfflineLine = "未接続状態です";
inline constexpr const char* kShiftLine = "SHIFTキーが押されています";
inline constexpr const char* kCloseQuestion = "接続中ですが、終了しますか?";

inline constexpr const char* kInitializeError = "Initialize error.";
inline constexpr const char* kCannotOpen = "Cannot open COM port.";
inline constexpr const char* kConnectionTimeout = "Connection timeout.";
inline constexpr const char* kConnectionError = "Connection error.";
inline constexpr const char* kCannotConnect = "Cannot connect.";
inline constexpr const char* kWrongVersion = "Wrong version of MIRLOKE.";
inline constexpr const char* kGetScreenError = "Get screen error (%d).";
inline constexpr const char* kDisconnectionTimeout = "Disconnection timeout.";

}  // namespace frontpad::texts
