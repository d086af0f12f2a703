// The window messages that carry library and conversion notifications, and
// how a notification's status and code are packed into the message's wParam.
#pragma once
#include <cstdint>

namespace capstore {

inline constexpr unsigned kLibraryMessage = 0x8001;
inline constexpr unsigned kConvertMessage = 0x8002;

inline std::uintptr_t pack_notification(int status, int code)
{
    return static_cast<std::uintptr_t>((static_cast<std::intptr_t>(status) << 16) | (code & 0xFFFF));
}
inline int notification_code(std::uintptr_t wparam) { return static_cast<int>(wparam & 0xFFFF); }
// Arithmetic shift: a status of -1 (the rate gauge's stop) comes back as -1.
inline int notification_status(std::uintptr_t wparam)
{
    return static_cast<int>(static_cast<std::intptr_t>(wparam) >> 16);
}

} // namespace capstore
