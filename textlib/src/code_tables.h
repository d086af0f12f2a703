// Lookup of the two-character picture of a recorded character in the code
// tables of the print format.
#pragma once
#include <array>

namespace textlib {

using CellText = std::array<char, 2>;
constexpr CellText kBlankCell{' ', ' '};

// Codes 0..9 have tables (5, HEX, shows "%02X"); 10 and above print blank.
constexpr int kCodeTableCount = 10;

// The cell of character `ch` in code `code`, from the second (shifted) table
// when `shifted`; blank above the code's highest character.
CellText CodeCell(int code, bool shifted, int ch);

}  // namespace textlib
