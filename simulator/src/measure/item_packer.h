// Packing record words into captured-data items (0x8000): a 16-bit counter of
// the units sent before the item, then the units. Pure, so tests can compute
// the exact bytes of an item.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace simulator {

// Longest run of unit bytes in one item: even fully DLE-stuffed, the item's
// frame stays inside the PC's 2052-byte message.
inline constexpr std::size_t kMaxUnitBytes = 1000;

struct PackedItem {
    std::vector<std::uint8_t> value;  // counter (16 bit) and units
    std::size_t words = 0;            // record words taken from the input
    std::size_t units = 0;            // units it carries (words that can travel)
};

// Packs words from the front of `words` into one item whose counter is
// `counter`; takes as many as fit in `max_unit_bytes`.
PackedItem pack_item(std::span<const std::uint32_t> words, std::uint16_t counter,
                     std::size_t max_unit_bytes = kMaxUnitBytes);

// All of `words` as consecutive items, counting units from `first_counter`.
std::vector<PackedItem> pack_items(std::span<const std::uint32_t> words, std::uint16_t first_counter,
                                   std::size_t max_unit_bytes = kMaxUnitBytes);

}  // namespace simulator
