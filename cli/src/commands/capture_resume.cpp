// The wait between attempts, on the port's path.
#include "commands/capture_resume.h"

#include <algorithm>

#include "session/port_watch.h"

namespace cli {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::optional<std::string> wait_before_attempt(const std::string& device, std::chrono::seconds delay,
                                               CaptureReport& report, const std::function<std::string()>& stop) {
    PortWatch watch(device);
    const auto until = Clock::now() + delay;
    bool was_missing = false;
    for (;;) {
        if (std::string why = stop(); !why.empty()) return why;
        report.waiting();
        const bool present = watch.present();
        if (present && (was_missing || Clock::now() >= until)) return std::nullopt;
        if (!present && !was_missing) report.port_missing();
        was_missing = was_missing || !present;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
        watch.wait(present ? std::clamp(left, 0ms, std::chrono::milliseconds(1s)) : 1000ms);
    }
}

}  // namespace cli
