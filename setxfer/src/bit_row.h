// Signal-level rows: one cell per signal, "1" when its bit is set in the level,
// "0" when it is set only in the mask, "*" when the signal does not matter.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "token_reader.h"

namespace setxfer {

struct BitRow {
    std::uint16_t mask = 0;
    std::uint16_t level = 0;
};

inline std::string_view bit_cell(BitRow row, std::uint16_t bit) {
    if (row.level & bit) return "1";
    return (row.mask & bit) ? "0" : "*";
}

// Reads one cell per bit; any token other than "1" and "0" leaves the signal free.
inline BitRow read_bit_row(TokenReader& in, std::span<const std::uint16_t> bits) {
    BitRow row;
    for (std::uint16_t bit : bits) {
        std::string_view t = in.token(2);
        if (t == "1") {
            row.mask |= bit;
            row.level |= bit;
        } else if (t == "0") {
            row.mask |= bit;
        }
    }
    return row;
}

}  // namespace setxfer
