// The main window's state flags and counters; GUI thread only.
#pragma once
#include <cstdint>

namespace capstore {

struct AppState {
    bool connected = false;
    bool busy = false;
    std::uint8_t measure_state = 0;
    bool converting = false;
    bool exit_requested = false;
    int stop_reason = 0;
    int stop_watchdog = 0;
    int first_block = 0;
    int next_block = 0;
    int block_count = 0;
    int saved_focus = 0;
    bool message_box_open = false;
    bool store_failed = false;  // the library could not write the buffer: stop once running
};

// 500 ms ticks before a missing measurement-state report is given up (15 s).
inline constexpr int kWatchdogTicks = 30;
// Ticks between two looks at the free space while measuring (5 s).
inline constexpr int kFreeSpaceTicks = 10;

// The conversion start button's rule.
inline bool convert_start_enabled(const AppState& s, bool ring) {
    return s.block_count > 0 && !s.busy && !s.converting && !(s.measure_state != 0 && ring);
}

}  // namespace capstore
