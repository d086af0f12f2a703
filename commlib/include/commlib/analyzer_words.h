// The analyzer's words that the library and every program share, written
// once: how a notification travels in a posted message, the status word's
// bits, the front panel's key codes and names, the models, and the sizes of
// the data sets. Constants and inline functions only; nothing here crosses
// the binary interface beyond what remote.h already fixes.
//
// Errors: none; the functions are pure. Threads: any.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

// --- A notification posted to a program's own window or queue ---------------
//
// A program's NotifyFn runs on the library's protocol thread and only posts
// (NotifyMessage, PackNotification(status, code), data) to its window or queue;
// the handler there unpacks the word. The status travels as a signed 16-bit
// value, so NtfyRate's -1 comes back as -1 and every status the library sends
// (0..1000, 257, 258, 513, 514, key codes) comes back as it was.
inline constexpr unsigned NotifyMessage = 0x8001;

inline constexpr std::uintptr_t PackNotification(int status, int code) {
    return static_cast<std::uintptr_t>(static_cast<std::uint16_t>(status)) << 16 | static_cast<std::uint16_t>(code);
}
inline constexpr int NotificationCode(std::uintptr_t word) { return static_cast<std::uint16_t>(word); }
inline constexpr int NotificationStatus(std::uintptr_t word) { return static_cast<std::int16_t>(word >> 16); }

// --- The status word (GetStatus) -------------------------------------------
inline constexpr std::uint32_t StatusBit0 = 0x001;         // reported by NtfyStatusBit
inline constexpr std::uint32_t StatusMeasureBits = 0x700;  // bits 8-10: the measurement's state
inline constexpr std::uint32_t StatusMeasuring = 0x100;    // a measurement runs (first state)
inline constexpr std::uint32_t StatusTriggered = 0x300;    // it runs and the trigger has fired
inline constexpr std::uint32_t StatusStopping = 0x500;     // it runs towards its stop
// True while a measurement runs, in any of its three states.
inline constexpr bool IsMeasuring(long long status) { return (status & StatusMeasuring) != 0; }

// --- Front panel keys (ReqKey's param, NtfyKey's status) ---------------------
// Codes 0..15 are the digits 0..9 and A..F; the rest are named below.
inline constexpr int KeyLeft = 16;
inline constexpr int KeyRight = 17;
inline constexpr int KeyUp = 18;
inline constexpr int KeyDown = 19;
inline constexpr int KeyEnter = 20;
inline constexpr int KeyPageUp = 21;
inline constexpr int KeyPageDown = 22;
inline constexpr int KeyMenu = 23;
inline constexpr int KeyDisplay = 24;
inline constexpr int KeyTime = 25;
inline constexpr int KeyHex = 26;
inline constexpr int KeyData = 27;
inline constexpr int KeyTop = 28;
inline constexpr int KeyBottom = 29;
inline constexpr int KeyLoadSave = 30;
inline constexpr int KeyFind = 31;
inline constexpr int KeyPrint = 32;
inline constexpr int KeyRun = 33;
inline constexpr int KeyStop = 34;
inline constexpr int KeyCount = 35;     // codes 0..34
inline constexpr int KeyShifted = 128;  // a key pressed with SHIFT: its code plus this

// The name of each key code, as the panel and the command line show it.
// clang-format off
inline constexpr std::array<std::string_view, KeyCount> KeyNames = {
    "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "A", "B", "C", "D", "E", "F",
    "\xE2\x86\x90",   // ←
    "\xE2\x86\x92",   // →
    "\xE2\x86\x91",   // ↑
    "\xE2\x86\x93",   // ↓
    "ENTER", "PAGEUP", "PAGEDOWN", "MENU", "DISPLAY", "TIME", "HEX", "DATA", "TOP", "BOTTOM",
    "LOADSAVE", "FIND", "PRINT", "RUN", "STOP",
};
// clang-format on
// The name of key code 0..34 (without SHIFT); empty for any other code.
inline constexpr std::string_view KeyName(int code) {
    return code >= 0 && code < KeyCount ? KeyNames[static_cast<std::size_t>(code)] : std::string_view{};
}

// --- Models ------------------------------------------------------------------
// The name GetModelName gives and the model code the analyzer reports, in the
// order the programs number the models (0, 1, 2).
struct AnalyzerModel {
    std::string_view name;
    int code;
};
inline constexpr std::array<AnalyzerModel, 3> AnalyzerModels = {{
    {"RV-7010", 4},
    {"RV-7020", 1},
    {"RV-7030", 2},
}};
// The index of that model name in AnalyzerModels; nullopt for any other name.
inline constexpr std::optional<std::size_t> AnalyzerModelIndex(std::string_view name) {
    for (std::size_t i = 0; i < AnalyzerModels.size(); ++i)
        if (AnalyzerModels[i].name == name) return i;
    return std::nullopt;
}

// --- Data set bodies (GetSetupData, GetTableData, GetProgramData, LiveInfo) ----
inline constexpr int SetupSize = 910;
inline constexpr int SetupShortSize = 880;  // what older analyzers send
inline constexpr int TableHeadSize = 68;    // 17 cell offsets; the last is the count
inline constexpr int TableMaxCells = 8192;
inline constexpr int TableCapacity = TableHeadSize + 2 * TableMaxCells;  // 16,452
inline constexpr int ProgramSize = 8192;                                 // 512 steps of 16 bytes
// The measurement information (LiveInfo, "datainfo.mkw") is pcbuffer::kInfoBodySize bytes.
