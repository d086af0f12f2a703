// Packet times from the analyzer's stamps; see capture_clock.h.
#include "capture_clock.h"

#include <ctime>

namespace pcapng {
namespace {

constexpr int kDay = 86400;

std::optional<int> FromBcd(int b, int limit) {
    int hi = b >> 4, lo = b & 0xF;
    if (hi > 9 || lo > 9 || hi * 10 + lo >= limit) return std::nullopt;
    return hi * 10 + lo;
}

}  // namespace

std::optional<int> SecondsOfDay(std::uint32_t t) {
    auto h = FromBcd(static_cast<int>(t >> 8) & 0x7F, 24);
    auto m = FromBcd(static_cast<int>(t >> 16) & 0xFF, 60);
    auto s = FromBcd(static_cast<int>(t >> 24) & 0xFF, 60);
    if (!h || !m || !s) return std::nullopt;
    return *h * 3600 + *m * 60 + *s;
}

std::optional<std::int64_t> LocalMidnight(std::int64_t t) {
    std::tm tm{};
    const std::time_t at = static_cast<std::time_t>(t);
    if (localtime_r(&at, &tm) == nullptr) return std::nullopt;
    tm.tm_hour = tm.tm_min = tm.tm_sec = 0;
    tm.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&tm));
}

std::uint64_t CaptureClock::TimeUs(std::uint32_t timeStamp) {
    if (timeStamp == 0) return now_;
    std::optional<int> sec = SecondsOfDay(timeStamp);
    if (!sec) return now_;  // a damaged stamp tells us nothing new
    if (last_ >= 0 && *sec < last_ - kDay / 2) ++day_;
    last_ = *sec;
    std::int64_t at = day_ * kDay + *sec;
    if (!first_) first_ = at;
    std::int64_t seconds = midnight_ ? *midnight_ + at : at - *first_;
    // Full-duplex frames may carry a stamp a second before the first one.
    now_ = seconds < 0 ? 0 : static_cast<std::uint64_t>(seconds) * 1'000'000u;
    return now_;
}

}  // namespace pcapng
