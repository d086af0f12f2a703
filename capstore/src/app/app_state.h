// The main window's state flags and counters; GUI thread only.
#pragma once
#include <cstdint>

namespace capstore {

struct AppState {
    bool Connected = false;
    bool Busy = false;
    std::uint8_t MeasureState = 0;
    bool Converting = false;
    bool ExitRequested = false;
    int StopReason = 0;
    int StopWatchdog = 0;
    int FirstBlock = 0;
    int NextBlock = 0;
    int BlockCount = 0;
    int SavedFocus = 0;
    bool MessageBoxOpen = false;
    bool StoreFailed = false;  // the library could not write the buffer: stop once running
};

// 500 ms ticks before a missing measurement-state report is given up (15 s).
inline constexpr int kWatchdogTicks = 30;
// Ticks between two looks at the free space while measuring (5 s).
inline constexpr int kFreeSpaceTicks = 10;

// The conversion start button's rule.
inline bool convert_start_enabled(const AppState& s, bool ring) {
    return s.BlockCount > 0 && !s.Busy && !s.Converting && !(s.MeasureState != 0 && ring);
}

}  // namespace capstore
