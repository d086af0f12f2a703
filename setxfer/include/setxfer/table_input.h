// Typing new contents for one of the sixteen tables: the text's bytes become the
// table's cells, and the later tables move to make room or close the gap.
//
// Errors: a Failure when the text does not fit.
// Threads: any; pure.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "setxfer/settings_file.h"

namespace setxfer {

// Cells still free in a table data set (8192 minus the total in use); 0 when the
// offsets are damaged.
std::size_t table_free_cells(std::span<const std::uint8_t> table);

// Puts every byte of text into table k (0..15) of a table body of TableCapacity bytes.
// Refuses, changing nothing, when the tables would no longer fit ("too many" message)
// or the body's offsets are damaged.
std::optional<Failure> put_table_text(std::span<std::uint8_t> table, int k, std::span<const std::uint8_t> text);

}  // namespace setxfer
