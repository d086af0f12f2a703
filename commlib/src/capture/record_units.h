// The analyzer's compact record units and the 32-bit record words they expand
// to in a block, plus the gap mark that stands for lost units. Pure code: the
// capture writer runs it over every data item, so it stays small and inline.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace commlib::capture {

inline constexpr std::size_t WordBytes = 4;

// Bits 4 and 5 of a unit's first byte say which directions it carries.
inline constexpr std::uint8_t MarkerBits = 0x30;
inline constexpr std::uint8_t SdOnly = 0x10;
inline constexpr std::uint8_t RdOnly = 0x20;
// Status 15 fills the cell of the direction a one-way unit leaves out.
inline constexpr std::uint8_t NoCharStatus = 0x0F;

// 2 for a unit carrying one direction only, 4 for everything else.
constexpr std::size_t UnitSize(std::uint8_t first) {
    const std::uint8_t markers = first & MarkerBits;
    return markers == SdOnly || markers == RdOnly ? 2 : 4;
}

// Writes the record word of the unit at `unit` (UnitSize bytes) to out[0..3].
// SD only: b0 with both marker bits, b1, then an empty RD cell (0x2F 0x00).
// RD only: an empty SD cell (0xBF plus b0's bit 6, 0x00), then b0's low six bits and b1.
inline void ExpandUnit(const std::uint8_t* unit, std::uint8_t* out) {
    const std::uint8_t b0 = unit[0];
    switch (b0 & MarkerBits) {
    case SdOnly:
        out[0] = b0 | MarkerBits;
        out[1] = unit[1];
        out[2] = RdOnly | NoCharStatus;
        out[3] = 0;
        return;
    case RdOnly:
        out[0] = static_cast<std::uint8_t>(0xBF + (b0 & 0x40));
        out[1] = 0;
        out[2] = b0 & 0x3F;
        out[3] = unit[1];
        return;
    default:
        out[0] = b0;
        out[1] = unit[1];
        out[2] = unit[2];
        out[3] = unit[3];
        return;
    }
}

// The word that marks `lost` record units missing before the next records.
constexpr std::array<std::uint8_t, WordBytes> GapMark(std::uint16_t lost) {
    return {0x80, 0xFF, static_cast<std::uint8_t>(lost), static_cast<std::uint8_t>(lost >> 8)};
}

struct Expanded {
    std::size_t consumed = 0;   // input bytes taken
    std::size_t units = 0;      // units taken (one word each when written)
};

// Expands units from `in` into `out` until the input runs out, `out` is full,
// or only a piece of a unit is left (a 4-byte unit with fewer than 4 bytes, or
// a single byte). Null `out` counts the units without writing them.
Expanded ExpandUnits(std::span<const std::uint8_t> in, std::uint8_t* out, std::size_t maxWords);

} // namespace commlib::capture
