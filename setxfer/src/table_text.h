// The table data set as text: sixteen tables under "TBL.No:" headers, 30 codes to a
// line, in hexadecimal codes or in character codes, ending with "EN".
#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "setxfer/settings_file.h"
#include "token_reader.h"

namespace setxfer {

// table: the table body (at least the 68-byte offsets; cells as far as the span holds).
void write_tables(std::string& out, std::span<const std::uint8_t> table, TableForm form);

// Reads the tables that follow the marker line into a body of TableCapacity bytes.
std::optional<Failure> read_tables(TokenReader& in, std::span<std::uint8_t> table, TableForm form);

}  // namespace setxfer
