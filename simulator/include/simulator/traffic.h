// The monitored line during a simulated measurement: a deterministic stream of
// record words for one line mode. The same conditions and seed always give the
// same words, so a test can compute exactly what a measurement must store.
//
// Errors: none.
// Threads: one thread per Traffic; pure given its seed.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "simulator/options.h"

namespace simulator {

// The measurement conditions the traffic follows; the same bytes go out in the
// measurement information (offsets as the conversion reads them).
struct LineConditions {
    LineMode mode = LineMode::Hdlc;
    std::uint8_t sd_speed = 24;  // index into the speed list (24 = 19200)
    std::uint8_t rd_speed = 24;
    std::uint8_t code = 0;       // 0 ASCII
    std::uint8_t char_bits = 3;  // 0..3 = 5..8 bits
    std::uint8_t parity = 0;
    std::uint8_t stop_or_clock = 0;
    std::uint8_t sync_count = 2;
    std::uint8_t sync_chars[2] = {0x16, 0x16};
    std::uint8_t end_char = 0xFF;  // SYNC end-of-frame character (a pad)
    std::uint8_t end_count = 1;
    std::uint8_t check = 3;      // BCC kind (ASYNC/SYNC) or FCS on (HDLC/NRZI)
    bool sd_address_on = false;  // address filters (HDLC/NRZI)
    std::uint8_t sd_address = 0;
    bool rd_address_on = false;
    std::uint8_t rd_address = 0;
    std::uint8_t idle_unit = 1;  // 1: idle values in 100 ms, 2: in 10 ms, else ms
    bool idle_times = true;
    bool time_stamps = true;
    bool line_states = true;
    FrameProtocol protocol = FrameProtocol::Mixed;

    // The conditions a setup selects (the line mode's own settings).
    static LineConditions from_setup(std::span<const std::uint8_t> setup, FrameProtocol protocol);
    // Conditions bytes 0..33 of the measurement information.
    void write_info(std::span<std::uint8_t, 34> info) const;
};

class TrafficGenerator {
public:
    TrafficGenerator(const LineConditions& conditions, std::uint64_t seed);
    ~TrafficGenerator();
    TrafficGenerator(const TrafficGenerator&) = delete;
    TrafficGenerator& operator=(const TrafficGenerator&) = delete;

    // The next record word; never 0.
    std::uint32_t next();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// The first `count` record words of the measurement for this seed.
std::vector<std::uint32_t> generate_records(const LineConditions& conditions, std::uint64_t seed, std::size_t count);

}  // namespace simulator
