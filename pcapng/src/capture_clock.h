// Turns the analyzer's time-of-day stamps (hours, minutes, seconds in BCD)
// into packet times: on the measurement's date when we know it, otherwise
// counted from the first stamp of the export.
#pragma once
#include <cstdint>
#include <optional>

namespace pcapng {

// Seconds since midnight of a time-stamp word, or nothing when its digits
// are not a time of day.
std::optional<int> SecondsOfDay(std::uint32_t timeStamp);

// Unix time of the local midnight that began the day of `t`.
std::optional<std::int64_t> LocalMidnight(std::int64_t t);

class CaptureClock {
public:
    // `midnight`: Unix time of the measurement day's local midnight, if known.
    explicit CaptureClock(std::optional<std::int64_t> midnight) : midnight_(midnight) {}

    // Microseconds for a frame opened by `timeStamp` (0: none, the frame keeps
    // the time of the frame before it). A stamp more than twelve hours before
    // the previous one means the measurement ran past midnight.
    std::uint64_t TimeUs(std::uint32_t timeStamp);

private:
    std::optional<std::int64_t> midnight_;
    std::optional<std::int64_t> first_;  // seconds of the first stamp, counting days
    std::int64_t day_ = 0;
    int last_ = -1;  // seconds of day of the last stamp
    std::uint64_t now_ = 0;
};

}  // namespace pcapng
