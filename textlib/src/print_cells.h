// The two-character renderers of the print format: hex and character cells of
// data words, and the guide and value cells of idle times and time stamps
// spread over four columns.
#pragma once
#include <cstdint>

#include "code_tables.h"

namespace textlib {

// "%02X" of the character for statuses 0..12, else " -".
CellText HexCell(std::uint16_t cell);
// The character through code table `code`, or the mark of the cell's status.
CellText CharCell(std::uint16_t cell, int code);
// Two characters of "[ 0123 ]", "[ OVER ]" or "[hhmmss]" for the word's column.
CellText ValueCell(std::uint32_t word);
// Two characters of "[ IDLE ]" or "[ TMSP ]" for the word's column.
CellText GuideCell(std::uint32_t word);

}  // namespace textlib
