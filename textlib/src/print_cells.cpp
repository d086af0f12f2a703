// Cell renderers of the print format; each returns exactly two characters.
#include "print_cells.h"

#include <cstdio>

#include "buffer_format.h"

namespace textlib {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// Marks of the statuses 2..15 (0 and 1 go through the code tables).
constexpr const char* kStatusMarks[16] = {
    nullptr, nullptr,
    "{}",   // 2 check character, good
    "??",   // 3 check character, error
    "?4",   // 4
    "?1",   // 5
    "?2",   // 6
    "?3",   // 7
    "BB",   // 8 break
    "AA",   // 9 abort
    "^^",   // 10 opening flag
    "^^",   // 11 closing flag
    "?5",   // 12 short frame
    "  ",   // 13..15 no character in this direction
    "  ",
    "  ",
};

// Guide cells by the low four bits of a spread word (kind plus column).
constexpr const char* kGuides[16] = {
    "  ", "  ", "[ ", "[ ",   // column 0: idle and time stamp open their bracket
    "  ", "  ", "ID", "TM",   // column 1
    "  ", "  ", "LE", "SP",   // column 2
    "  ", "  ", " ]", " ]",   // column 3
};

}  // namespace

CellText HexCell(std::uint16_t cell) {
    if (CellStatus(cell) > 12) return CellText{' ', '-'};
    int ch = CellChar(cell);
    return CellText{kHexDigits[ch >> 4], kHexDigits[ch & 0xF]};
}

CellText CharCell(std::uint16_t cell, int code) {
    int status = CellStatus(cell);
    if (status <= 1) return CodeCell(code, status == 1, CellChar(cell));
    return CellText{kStatusMarks[status][0], kStatusMarks[status][1]};
}

CellText ValueCell(std::uint32_t word) {
    char text[16] = "        ";
    int kind = word & 3;
    if (kind == kKindIdle) {
        unsigned value = static_cast<unsigned>(Byte(word, 3) * 256 + Byte(word, 1));
        if (value > 9999) std::snprintf(text, sizeof text, "[ OVER ]");
        else std::snprintf(text, sizeof text, "[ %04u ]", value);
    } else if (kind == kKindTimeStamp) {
        std::snprintf(text, sizeof text, "[%02X%02X%02X]", Byte(word, 1) & 0x7F, Byte(word, 2), Byte(word, 3));
    } else {
        return kBlankCell;
    }
    int column = (word >> 2) & 3;
    return CellText{text[2 * column], text[2 * column + 1]};
}

CellText GuideCell(std::uint32_t word) {
    const char* g = kGuides[word & 0xF];
    return CellText{g[0], g[1]};
}

}  // namespace textlib
