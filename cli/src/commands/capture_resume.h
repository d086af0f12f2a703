// Waiting out an outage of `zamvex capture --resume`: the first attempt to
// connect again comes 1 s after the outage, each failed one doubles the wait
// up to 30 s; a port that was missing is waited for (inotify) however long it
// takes and tried as soon as it is back.
// Threads: the main thread.
#pragma once
#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "commands/capture_report.h"

namespace cli {

inline constexpr std::chrono::seconds kFirstRetry{1};
inline constexpr std::chrono::seconds kLongestRetry{30};

inline std::chrono::seconds next_retry(std::chrono::seconds after) { return std::min(2 * after, kLongestRetry); }

// Waits `delay` before the next attempt on `device`, less when the port was
// missing and has come back, more while it is missing; the report hears of
// each turn (watchdog, state file) and of a missing port once. nullopt when
// the attempt is to be made, else the reason `stop` gave to end the capture
// instead (asked at least once a second).
std::optional<std::string> wait_before_attempt(const std::string& device, std::chrono::seconds delay,
                                               CaptureReport& report, const std::function<std::string()>& stop);

}  // namespace cli
