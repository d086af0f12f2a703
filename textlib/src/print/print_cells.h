// The two-character renderers of the print format: hex and character cells of
// data words, and the guide and value cells of idle times and time stamps
// spread over four columns.
#pragma once
#include <array>
#include <cstdint>

#include "code_tables.h"

namespace textlib {

// "%02X" of the character for statuses 0..12, else " -".
inline CellText HexCell(std::uint16_t cell) {
    if ((cell & 0x0F) > 12) return CellText{' ', '-'};
    return CellText{kHexDigits[cell >> 12], kHexDigits[(cell >> 8) & 0xF]};
}

// Marks of the statuses 2..15 (0 and 1 go through the code tables).
extern const char kStatusMarks[16][3];
// The statuses whose marks tell of an error: the check character's error, the
// "?" marks, break, abort and short frame (the live view colours their blocks).
constexpr bool kStatusInError[16] = {false, false, false, true,  true, true,  true,  true,
                                     true,  true,  false, false, true, false, false, false};

// The character through the code's tables, or the mark of the cell's status.
inline CellText CharCell(std::uint16_t cell, const CodePage& page) {
    int status = cell & 0x0F;
    if (status <= 1) return CodeCell(page, status == 1, cell >> 8);
    return CellText{kStatusMarks[status][0], kStatusMarks[status][1]};
}
inline CellText CharCell(std::uint16_t cell, int code) { return CharCell(cell, CodePageFor(code)); }
// "[ 0123 ]", "[ OVER ]" or "[hhmmss]" of an idle time or time stamp (blanks for other words).
using ValueText = std::array<char, 8>;
ValueText ValueTextOf(std::uint32_t word);
// The two characters of `text` in the word's column (bits 2-3).
inline CellText ValueColumn(const ValueText& text, std::uint32_t word) {
    const int column = (word >> 2) & 3;
    return CellText{text[2 * column], text[2 * column + 1]};
}
// Two characters of "[ 0123 ]", "[ OVER ]" or "[hhmmss]" for the word's column.
CellText ValueCell(std::uint32_t word);
// Guide cells by the low four bits of a spread word (kind plus column).
extern const char kGuideCells[16][3];
// Two characters of "[ IDLE ]" or "[ TMSP ]" for the word's column.
inline CellText GuideCell(std::uint32_t word) {
    const char* g = kGuideCells[word & 0xF];
    return CellText{g[0], g[1]};
}

}  // namespace textlib
