// Where a measurement's line conditions come from in the setup, and how they
// go out in the measurement information that the conversion reads.
#include "simulator/traffic.h"

namespace simulator {
namespace {

// Setup offsets of one line mode's settings.
struct ModeOffsets {
    std::uint16_t sd_speed, rd_speed, code, char_bits, parity, stop_or_clock, check;
};

constexpr ModeOffsets kAsync{2, 3, 4, 5, 6, 7, 17};
constexpr ModeOffsets kSync{30, 31, 32, 33, 34, 35, 45};
constexpr ModeOffsets kHdlc{58, 59, 60, 61, 62, 63, 73};
constexpr ModeOffsets kNrzi{86, 87, 88, 89, 90, 91, 101};

std::uint8_t at(std::span<const std::uint8_t> setup, std::size_t offset) {
    return offset < setup.size() ? setup[offset] : 0;
}

}  // namespace

LineConditions LineConditions::from_setup(std::span<const std::uint8_t> setup, FrameProtocol protocol) {
    LineConditions c;
    const std::uint8_t mode = at(setup, 1);
    c.mode = mode <= 4 ? static_cast<LineMode>(mode) : LineMode::Async;
    c.protocol = protocol;
    if (c.mode == LineMode::Ppp) {
        c.sd_speed = at(setup, 880);
        c.rd_speed = at(setup, 881);
        c.code = at(setup, 882);
        c.char_bits = 3;
        c.parity = 0;
        c.stop_or_clock = 0;
        c.check = 0;
    } else {
        const ModeOffsets& o = c.mode == LineMode::Async  ? kAsync
                               : c.mode == LineMode::Sync ? kSync
                               : c.mode == LineMode::Hdlc ? kHdlc
                                                          : kNrzi;
        c.sd_speed = at(setup, o.sd_speed);
        c.rd_speed = at(setup, o.rd_speed);
        c.code = at(setup, o.code);
        c.char_bits = at(setup, o.char_bits);
        c.parity = at(setup, o.parity);
        c.stop_or_clock = at(setup, o.stop_or_clock);
        c.check = at(setup, o.check);
    }
    if (c.mode == LineMode::Sync) {
        c.sync_chars[0] = at(setup, 38);
        c.sync_chars[1] = at(setup, 39);
        c.sync_count = 2;
        c.end_char = at(setup, 40);
        c.end_count = at(setup, 41) == 0 ? 1 : at(setup, 41);
    }
    if (c.mode == LineMode::Hdlc || c.mode == LineMode::Nrzi) {
        const std::size_t base = c.mode == LineMode::Hdlc ? 74 : 102;
        c.sd_address_on = at(setup, base) == 1;
        c.sd_address = at(setup, base + 1);
        c.rd_address_on = at(setup, base + 2) == 1;
        c.rd_address = at(setup, base + 3);
    }
    const std::uint8_t idle = at(setup, 368);
    c.idle_times = idle != 0;
    c.idle_unit = idle;
    c.time_stamps = at(setup, 369) != 0;
    c.line_states = at(setup, 371) != 0;
    return c;
}

void LineConditions::write_info(std::span<std::uint8_t, 34> info) const {
    std::fill(info.begin(), info.end(), std::uint8_t{0});
    info[1] = static_cast<std::uint8_t>(mode);
    info[2] = sd_speed;
    info[3] = rd_speed;
    info[4] = code;
    info[5] = char_bits;
    info[6] = parity;
    info[7] = stop_or_clock;
    info[9] = sync_count;
    info[10] = sync_chars[0];
    info[11] = sync_chars[1];
    info[12] = end_char;
    info[13] = end_count;
    info[17] = check;
    info[18] = sd_address_on ? 1 : 0;
    info[19] = sd_address;
    info[20] = rd_address_on ? 1 : 0;
    info[21] = rd_address;
    info[30] = idle_unit;
    info[31] = 0;
    info[33] = line_states ? 1 : 0;
}

}  // namespace simulator
