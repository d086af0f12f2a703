// The receive-rate gauge of the 200 ms reports: record bytes per elapsed time
// on the 0..1000 scale that the applications draw (1000 is about 33 kB/s).
#pragma once
#include <cstdint>

namespace commlib::capture {

inline constexpr int RateGaugeMax = 1000;

// bytes x 30 / milliseconds, limited to 1000; 0 ms gives no reading (0).
constexpr int RateGauge(std::uint64_t bytes, std::uint64_t elapsedMs) {
    if (elapsedMs == 0) return 0;
    // Compare before multiplying: a stalled tick after a flood must not overflow.
    if (bytes >= elapsedMs * RateGaugeMax) return RateGaugeMax;
    const std::uint64_t gauge = bytes * 30 / elapsedMs;
    return gauge > RateGaugeMax ? RateGaugeMax : static_cast<int>(gauge);
}

static_assert(RateGauge(0, 200) == 0);
static_assert(RateGauge(6667, 200) == 1000 && RateGauge(6666, 200) == 999);
static_assert(RateGauge(~std::uint64_t{0} / 2, 1) == RateGaugeMax);

}  // namespace commlib::capture
