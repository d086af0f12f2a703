// The state file of a running capture, which `zamvex status` reads: one per
// process, "capture-<pid>.state" in the runtime folder, lines of "key=value"
// (the keys below, in this order; unknown keys are skipped when read). The
// capture writes it anew under a temporary name and renames it, so a reader
// never sees half a file, and removes it at its end; a file whose process is
// gone is stale.
//
// Errors: parse_state gives nullopt for a text without a pid or port.
// Threads: any; pure.
#pragma once
#include <optional>
#include <string>

namespace cli {

struct CaptureState {
    long long pid = 0;
    long long process_start = 0;  // the process's start in clock ticks after boot, to tell a reused pid
    std::string command;          // "capture", "monitor"
    std::string port;
    std::string folder;   // empty: no PC buffer is kept
    long long since = 0;  // Unix time the capture began
    std::string state;    // kStarting, kMeasuring or kWaiting
    long long first_block = 0, next_block = 0, blocks = 0;
    long long rate = 0;  // bytes stored per second, lately
    long long losses = 0, outages = 0;
};

inline constexpr char kStarting[] = "starting";
inline constexpr char kMeasuring[] = "measuring";
inline constexpr char kWaiting[] = "waiting for the port";

// The file's name for a process, and its text.
std::string state_file_name(long long pid);
std::string state_text(const CaptureState& state);
std::optional<CaptureState> parse_state(const std::string& text);

// "12 blocks (00000000.mkw to 00000011.mkw), 3.2 KiB/s, 0 data losses, 1
// outage"; without a folder only the losses and outages.
std::string state_figures(const CaptureState& state);

}  // namespace cli
