// The simulated line clock and the words for cells, stamps, idles and signals.
#include "traffic/traffic_context.h"

namespace simulator {
namespace {

// Bits per second of the speed list entries.
constexpr std::uint32_t kSpeeds[] = {
    50,    75,    100,   110,   134,   150,   200,   300,   600,   1200,  1800,   2000,  2400,
    3200,  3600,  4800,  7200,  8000,  9600,  12000, 12800, 14400, 16000, 16800,  19200, 28800,
    32000, 38400, 46000, 48000, 50000, 56000, 57600, 64000, 72000, 76800, 115200,
};
static_assert(std::size(kSpeeds) == 37);

constexpr std::uint64_t kDayUs = 24ULL * 3600 * 1000000;

}  // namespace

TrafficContext::TrafficContext(const LineConditions& conditions, std::uint64_t seed) : c_(conditions), rng_(seed) {
    // The measurement starts at a time of day that depends on the seed only.
    time_us_ = (8ULL * 3600 + rng_.below(8 * 3600)) * 1000000;
}

void TrafficContext::advance_chars(Direction dir, std::uint32_t count) {
    const std::uint8_t index = dir == Direction::Sd ? c_.sd_speed : c_.rd_speed;
    const std::uint32_t bps = kSpeeds[index < std::size(kSpeeds) ? index : 24];
    const std::uint32_t bits = c_.mode == LineMode::Async || c_.mode == LineMode::Ppp ? 10 : 8;
    time_us_ = (time_us_ + std::uint64_t{count} * bits * 1000000 / bps) % kDayUs;
}

void TrafficContext::pause(Direction dir, std::uint32_t ms) {
    time_us_ = (time_us_ + std::uint64_t{ms} * 1000) % kDayUs;
    (void)dir;
    if (!c_.idle_times || ms == 0) return;
    const std::uint32_t unit = c_.idle_unit == 1 ? 100 : c_.idle_unit == 2 ? 10 : 1;
    const std::uint32_t value = ms / unit;
    if (value > 0) out_.push_back(idle_word(static_cast<std::uint16_t>(value > 0xFFFF ? 0xFFFF : value)));
}

void TrafficContext::set_time_of_day(std::uint64_t ms) { time_us_ = ms * 1000 % kDayUs; }

void TrafficContext::stamp(Direction dir) {
    if (!c_.time_stamps) return;
    const std::uint64_t s = time_us_ / 1000000;
    out_.push_back(
        time_stamp_word(dir, static_cast<int>(s / 3600), static_cast<int>(s / 60 % 60), static_cast<int>(s % 60)));
}

void TrafficContext::signals(std::uint8_t after) {
    if (after == signals_) return;
    if (c_.line_states) out_.push_back(line_state_word(signals_, after));
    signals_ = after;
}

void TrafficContext::cell(Direction dir, std::uint8_t status, std::uint8_t ch) {
    out_.push_back(cell_word(dir, status, ch));
    advance_chars(dir, 1);
}

void TrafficContext::chars(Direction dir, std::span<const std::uint8_t> bytes) {
    for (std::uint8_t b : bytes) cell(dir, kChar, b);
}

void TrafficContext::both(std::uint8_t sd_ch, std::uint8_t rd_ch) {
    out_.push_back(both_word(kChar, sd_ch, kChar, rd_ch));
    advance_chars(Direction::Sd, 1);
}

std::uint8_t lrc(std::span<const std::uint8_t> bytes, bool odd) {
    std::uint8_t v = 0;
    for (std::uint8_t b : bytes) v ^= b;
    return odd ? static_cast<std::uint8_t>(~v) : v;
}

std::uint16_t crc16_bsc(std::span<const std::uint8_t> bytes) {
    std::uint16_t reg = 0;
    for (std::uint8_t b : bytes) {
        reg ^= b;
        for (int i = 0; i < 8; ++i) reg = (reg & 1) ? static_cast<std::uint16_t>((reg >> 1) ^ 0xA001) : reg >> 1;
    }
    return reg;
}

}  // namespace simulator
