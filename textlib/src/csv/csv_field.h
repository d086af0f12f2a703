// The text of one CSV field: a recorded character cell as hex, decimal or
// its code-table picture in double quotes, or the mark of its status.
#pragma once
#include <cstddef>
#include <cstdint>

#include "code_tables.h"

namespace textlib {

enum CsvDataMode { kCsvHex = 0, kCsvDec = 1, kCsvChar = 2 };

// The longest field is four characters ("""" or "SX" with its quotes).
struct CsvFieldText {
    char text[8];
    std::size_t size;
};

// The field for `cell` in CSV Data mode `mode` (Hex, Dec, Char) with the
// tables of `page`; size 0 for an empty field (no character in this
// direction, a character outside the code, a mode outside the list).
CsvFieldText CsvField(std::uint16_t cell, int mode, const CodePage& page);

}  // namespace textlib
