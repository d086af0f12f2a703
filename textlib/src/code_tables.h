// Lookup of the two-character picture of a recorded character in the code
// tables of the print format.
#pragma once
#include <array>

namespace textlib {

using CellText = std::array<char, 2>;
constexpr CellText kBlankCell{' ', ' '};

// Codes 0..9 have tables (5, HEX, shows "%02X"); 10 and above print blank.
constexpr int kCodeTableCount = 10;

// The tables of one code, looked up once per job so that every cell after
// that is a bounds check and two loads.
struct CodePage {
    const char* first = nullptr;   // cells of status 0, two characters per code
    const char* second = nullptr;  // cells of status 1
    int highest = -1;              // -1: a code without tables, every cell blank
    bool hex = false;              // HEX: "%02X" of the character
};
CodePage CodePageFor(int code);

constexpr char kHexDigits[] = "0123456789ABCDEF";

inline CellText CodeCell(const CodePage& page, bool shifted, int ch) {
    if (ch < 0 || ch > page.highest) return kBlankCell;
    if (page.hex) return CellText{kHexDigits[(ch >> 4) & 0xF], kHexDigits[ch & 0xF]};
    const char* cell = (shifted ? page.second : page.first) + 2 * ch;
    return CellText{cell[0], cell[1]};
}

// The cell of character `ch` in code `code`, from the second (shifted) table
// when `shifted`; blank above the code's highest character.
inline CellText CodeCell(int code, bool shifted, int ch) { return CodeCell(CodePageFor(code), shifted, ch); }

}  // namespace textlib
