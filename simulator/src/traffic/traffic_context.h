// What every line mode's traffic is built from: a seeded random source of our
// own (the standard distributions differ between libraries), the simulated
// line clock, and helpers that append record words for cells and specials.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <vector>

#include "simulator/records.h"
#include "simulator/traffic.h"

namespace simulator {

// splitmix64: small, fast and the same everywhere.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // 0 .. n-1 (n > 0)
    std::uint32_t below(std::uint32_t n) { return static_cast<std::uint32_t>(next() % n); }
    // true with probability 1/n
    bool one_in(std::uint32_t n) { return below(n) == 0; }
    std::uint8_t byte() { return static_cast<std::uint8_t>(next()); }

private:
    std::uint64_t state_;
};

// Builds the words of one exchange and keeps the simulated time of day.
class TrafficContext {
public:
    TrafficContext(const LineConditions& conditions, std::uint64_t seed);

    const LineConditions& conditions() const { return c_; }
    Rng& rng() { return rng_; }
    std::vector<std::uint32_t>& out() { return out_; }

    // The quiet time before a transmission (an idle word when recorded) and
    // the time stamp that opens it.
    void pause(Direction dir, std::uint32_t ms);
    void stamp(Direction dir);
    // Sets the time of day (ms since midnight, taken modulo a day) that the next stamps show.
    void set_time_of_day(std::uint64_t ms);
    // Line signals: RS 0x80, CS 0x40, DR 0x20, CD 0x10, ER 0x08.
    void signals(std::uint8_t after);
    std::uint8_t signals() const { return signals_; }

    void cell(Direction dir, std::uint8_t status, std::uint8_t ch);
    void chars(Direction dir, std::span<const std::uint8_t> bytes);
    void chars(Direction dir, std::initializer_list<std::uint8_t> bytes) {
        chars(dir, std::span<const std::uint8_t>(bytes.begin(), bytes.size()));
    }
    // Both directions in one word (full-duplex lines).
    void both(std::uint8_t sd_ch, std::uint8_t rd_ch);

private:
    void advance_chars(Direction dir, std::uint32_t count);

    LineConditions c_;
    Rng rng_;
    std::vector<std::uint32_t> out_;
    std::uint64_t time_us_;  // simulated time of day
    std::uint8_t signals_ = 0;
};

class ModeTraffic {
public:
    virtual ~ModeTraffic() = default;
    // Appends the next exchange on the line (a block, a frame, a negotiation step).
    virtual void next_exchange(TrafficContext& ctx) = 0;
};

std::unique_ptr<ModeTraffic> make_async_traffic();
std::unique_ptr<ModeTraffic> make_sync_traffic();
std::unique_ptr<ModeTraffic> make_hdlc_traffic(FrameProtocol protocol, std::uint64_t seed);
std::unique_ptr<ModeTraffic> make_ppp_traffic();

// Check characters of character blocks.
std::uint8_t lrc(std::span<const std::uint8_t> bytes, bool odd);
std::uint16_t crc16_bsc(std::span<const std::uint8_t> bytes);

}  // namespace simulator
