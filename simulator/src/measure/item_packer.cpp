// Item packing: one unit per record word, counter first.
#include "measure/item_packer.h"

#include "simulator/records.h"

namespace simulator {

PackedItem pack_item(std::span<const std::uint32_t> words, std::uint16_t counter, std::size_t max_unit_bytes) {
    PackedItem item;
    item.value = {static_cast<std::uint8_t>(counter), static_cast<std::uint8_t>(counter >> 8)};
    for (std::uint32_t w : words) {
        std::vector<std::uint8_t> unit;
        if (!append_unit(unit, w)) {
            // The generators never make such words; skipping keeps the stream going
            // without the PC counting a unit that never came.
            ++item.words;
            continue;
        }
        if (item.value.size() - 2 + unit.size() > max_unit_bytes) break;
        item.value.insert(item.value.end(), unit.begin(), unit.end());
        ++item.words;
        ++item.units;
    }
    return item;
}

std::vector<PackedItem> pack_items(std::span<const std::uint32_t> words, std::uint16_t first_counter,
                                   std::size_t max_unit_bytes) {
    std::vector<PackedItem> items;
    std::uint16_t counter = first_counter;
    while (!words.empty()) {
        PackedItem item = pack_item(words, counter, max_unit_bytes);
        if (item.words == 0) break;
        words = words.subspan(item.words);
        counter = static_cast<std::uint16_t>(counter + item.units);
        items.push_back(std::move(item));
    }
    return items;
}

}  // namespace simulator
