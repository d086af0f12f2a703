// The analyzer's compact record units and the 32-bit record words they expand
// to in a block, plus the gap mark that stands for lost units. Pure code: the
// capture writer runs it over every data item, so it stays small and inline.
#pragma once
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "pcbuffer/buffer_names.h"

namespace commlib::capture {

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

// The record word of the unit at `unit` (UnitSize bytes), as a number whose
// lowest byte is byte 0 of the word.
// SD only: b0 with both marker bits, b1, then an empty RD cell (0x2F 0x00).
// RD only: an empty SD cell (0xBF plus b0's bit 6, 0x00), then b0's low six bits and b1.
constexpr std::uint32_t UnitWord(const std::uint8_t* unit) {
    const std::uint32_t b0 = unit[0];
    const std::uint32_t b1 = unit[1];
    switch (b0 & MarkerBits) {
    case SdOnly: return (b0 | MarkerBits) | b1 << 8 | std::uint32_t{RdOnly | NoCharStatus} << 16;
    case RdOnly: return (0xBF + (b0 & 0x40)) | (b0 & 0x3F) << 16 | b1 << 24;
    default: return b0 | b1 << 8 | std::uint32_t{unit[2]} << 16 | std::uint32_t{unit[3]} << 24;
    }
}

// Stores a word little endian; one 4-byte store on the machines we build for.
inline void PutWord(std::uint8_t* out, std::uint32_t word) {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(out, &word, sizeof word);
    } else {
        for (std::size_t i = 0; i < pcbuffer::kRecordBytes; ++i) out[i] = static_cast<std::uint8_t>(word >> (8 * i));
    }
}

// The word that marks `lost` record units missing before the next records.
constexpr std::array<std::uint8_t, pcbuffer::kRecordBytes> GapMark(std::uint16_t lost) {
    return {0x80, 0xFF, static_cast<std::uint8_t>(lost), static_cast<std::uint8_t>(lost >> 8)};
}

struct Expanded {
    std::size_t consumed = 0;  // input bytes taken
    std::size_t units = 0;     // units taken (one word each when written)
};

// Expands units from `in` into `out` until the input runs out, `out` is full,
// or only a piece of a unit is left (a 4-byte unit with fewer than 4 bytes, or
// a single byte). Null `out` counts the units without writing them.
Expanded ExpandUnits(std::span<const std::uint8_t> in, std::uint8_t* out, std::size_t maxWords);

}  // namespace commlib::capture
