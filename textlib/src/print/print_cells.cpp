// Cell renderers of the print format; each returns exactly two characters.
#include "print/print_cells.h"

#include <cstring>

#include "textlib/buffer_format.h"

namespace textlib {

const char kStatusMarks[16][3] = {
    "",   "",
    "{}",  // 2 check character, good
    "??",  // 3 check character, error
    "?4",  // 4
    "?1",  // 5
    "?2",  // 6
    "?3",  // 7
    "BB",  // 8 break
    "AA",  // 9 abort
    "^^",  // 10 opening flag
    "^^",  // 11 closing flag
    "?5",  // 12 short frame
    "  ",  // 13..15 no character in this direction
    "  ", "  ",
};

namespace {

// "00" to "99".
constexpr auto kTwoDigits = [] {
    std::array<std::array<char, 2>, 100> t{};
    for (int i = 0; i < 100; ++i)
        t[static_cast<std::size_t>(i)] = {static_cast<char>('0' + i / 10), static_cast<char>('0' + i % 10)};
    return t;
}();

}  // namespace

const char kGuideCells[16][3] = {
    "  ", "  ", "[ ", "[ ",  // column 0: idle and time stamp open their bracket
    "  ", "  ", "ID", "TM",  // column 1
    "  ", "  ", "LE", "SP",  // column 2
    "  ", "  ", " ]", " ]",  // column 3
};

// Built by hand rather than with printf: idle times come every few records
// in a busy line and this runs for each of their columns.
ValueText ValueTextOf(std::uint32_t word) {
    ValueText text;
    int kind = word & 3;
    if (kind == kKindIdle) {
        unsigned value = static_cast<unsigned>(Byte(word, 3) * 256 + Byte(word, 1));
        if (value > 9999) {
            std::memcpy(text.data(), "[ OVER ]", 8);
        } else {
            std::memcpy(text.data(), "[ 0000 ]", 8);
            const char* high = kTwoDigits[value / 100].data();
            const char* low = kTwoDigits[value % 100].data();
            text[2] = high[0];
            text[3] = high[1];
            text[4] = low[0];
            text[5] = low[1];
        }
    } else if (kind == kKindTimeStamp) {
        const int fields[3] = {Byte(word, 1) & 0x7F, Byte(word, 2), Byte(word, 3)};
        text[0] = '[';
        for (int i = 0; i < 3; ++i) {
            text[1 + 2 * i] = kHexDigits[fields[i] >> 4];
            text[2 + 2 * i] = kHexDigits[fields[i] & 0xF];
        }
        text[7] = ']';
    } else {
        text.fill(' ');
    }
    return text;
}

CellText ValueCell(std::uint32_t word) { return ValueColumn(ValueTextOf(word), word); }

}  // namespace textlib
