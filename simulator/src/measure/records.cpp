// Building record words and packing them into the analyzer's compact units.
// The packing is the exact inverse of the PC's expansion, so a generated
// word always reaches the buffer unchanged.
#include "simulator/records.h"

namespace simulator {
namespace {

std::uint32_t word_of(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3) {
    return std::uint32_t{b0} | std::uint32_t{b1} << 8 | std::uint32_t{b2} << 16 | std::uint32_t{b3} << 24;
}

std::uint8_t bcd(int value) {
    const int v = value < 0 ? 0 : value % 100;
    return static_cast<std::uint8_t>((v / 10) << 4 | (v % 10));
}

}  // namespace

std::uint32_t sd_word(std::uint8_t status, std::uint8_t ch) {
    return word_of(static_cast<std::uint8_t>(0x30 | (status & 0x0F)), ch, 0x2F, 0x00);
}

std::uint32_t rd_word(std::uint8_t status, std::uint8_t ch) {
    return word_of(0xBF, 0x00, static_cast<std::uint8_t>(0x20 | (status & 0x0F)), ch);
}

std::uint32_t both_word(std::uint8_t sd_status, std::uint8_t sd_ch, std::uint8_t rd_status, std::uint8_t rd_ch) {
    return word_of(static_cast<std::uint8_t>(0x30 | (sd_status & 0x0F)), sd_ch,
                   static_cast<std::uint8_t>(0x20 | (rd_status & 0x0F)), rd_ch);
}

std::uint32_t cell_word(Direction dir, std::uint8_t status, std::uint8_t ch) {
    return dir == Direction::Sd ? sd_word(status, ch) : rd_word(status, ch);
}

std::uint32_t line_state_word(std::uint8_t before, std::uint8_t after) { return word_of(0x01, before, 0x00, after); }

std::uint32_t idle_word(std::uint16_t value) {
    return word_of(0x02, static_cast<std::uint8_t>(value & 0xFF), 0x00, static_cast<std::uint8_t>(value >> 8));
}

std::uint32_t time_stamp_word(Direction dir, int hours, int minutes, int seconds) {
    const auto h = static_cast<std::uint8_t>(bcd(hours) & 0x7F);
    return word_of(0x03, static_cast<std::uint8_t>(dir == Direction::Rd ? (h | 0x80) : h), bcd(minutes), bcd(seconds));
}

bool append_unit(std::vector<std::uint8_t>& out, std::uint32_t word) {
    if (word == 0) return false;
    const auto b0 = static_cast<std::uint8_t>(word);
    const auto b1 = static_cast<std::uint8_t>(word >> 8);
    const auto b2 = static_cast<std::uint8_t>(word >> 16);
    const auto b3 = static_cast<std::uint8_t>(word >> 24);
    if ((b0 & 0x30) == 0x30 && b2 == 0x2F && b3 == 0x00) {
        out.push_back(static_cast<std::uint8_t>((b0 & 0xCF) | 0x10));
        out.push_back(b1);
        return true;
    }
    if ((b0 == 0xBF || b0 == 0xFF) && b1 == 0x00 && (b2 & 0xF0) == 0x20) {
        out.push_back(static_cast<std::uint8_t>(b2 | (b0 & 0x40)));
        out.push_back(b3);
        return true;
    }
    // A 4-byte unit is recognised by byte 0 having both marker bits or neither.
    if ((b0 & 0x30) == 0x10 || (b0 & 0x30) == 0x20) return false;
    out.insert(out.end(), {b0, b1, b2, b3});
    return true;
}

std::vector<std::uint32_t> expand_units(std::span<const std::uint8_t> units) {
    std::vector<std::uint32_t> words;
    std::size_t i = 0;
    while (units.size() - i >= 2) {
        const std::uint8_t b0 = units[i];
        const std::uint8_t b1 = units[i + 1];
        if ((b0 & 0x30) == 0x10) {
            words.push_back(word_of(static_cast<std::uint8_t>(b0 | 0x30), b1, 0x2F, 0x00));
            i += 2;
        } else if ((b0 & 0x30) == 0x20) {
            words.push_back(
                word_of(static_cast<std::uint8_t>(0xBF + (b0 & 0x40)), 0x00, static_cast<std::uint8_t>(b0 & 0x3F), b1));
            i += 2;
        } else {
            if (units.size() - i < 4) break;
            words.push_back(word_of(b0, b1, units[i + 2], units[i + 3]));
            i += 4;
        }
    }
    return words;
}

}  // namespace simulator
