// The cells of a block's four print lines (SD code, SD character, RD code, RD
// character), rendered column by column in one pass as the records come.
// Private to the print format.
#pragma once
#include <cstdint>
#include <memory>

#include "print/print_cells.h"
#include "textlib/buffer_format.h"

namespace textlib {

// What a special word (idle time, time stamp) shows in each line.
enum class Special : std::uint8_t { kGuide, kValue, kBlank };
struct SpecialRow {
    Special sdCode, sdChar, rdCode, rdChar;
};

// The hex and character cells of every possible character cell (status,
// marker, character) in one code page: a data word's four cells are then two
// lookups. Made once per job (256 KiB).
struct CellPictures {
    struct Picture {
        CellText hex, chars;
    };
    explicit CellPictures(const CodePage& page) : table(new Picture[1 << 16]) {
        for (unsigned cell = 0; cell < (1u << 16); ++cell) {
            const auto c = static_cast<std::uint16_t>(cell);
            table[cell] = Picture{HexCell(c), CharCell(c, page)};
        }
    }
    const Picture& operator[](std::uint16_t cell) const { return table[cell]; }
    std::unique_ptr<Picture[]> table;
};

template <int kColumns>
struct ColumnRenderer {
    enum Line { kSdCode, kSdChar, kRdCode, kRdChar, kLines };

    ColumnRenderer(const SpecialRow& row, const CellPictures& pictures)
        : specials{row.sdCode, row.sdChar, row.rdCode, row.rdChar}, pictures(pictures) {}

    void Put(int line, int column, CellText cell) {
        lines[line][2 * column] = cell[0];
        lines[line][2 * column + 1] = cell[1];
    }
    // The cells of one column; a zero word (past the data) leaves it blank.
    void Render(int column, std::uint32_t w) {
        if (IsData(w)) {
            const CellPictures::Picture& sd = pictures[SdCell(w)];
            const CellPictures::Picture& rd = pictures[RdCell(w)];
            Put(kSdCode, column, sd.hex);
            Put(kSdChar, column, sd.chars);
            Put(kRdCode, column, rd.hex);
            Put(kRdChar, column, rd.chars);
        } else if (IsGap(w)) {
            for (int k = 0; k < kLines; ++k) Put(k, column, CellText{'|', '|'});
        } else if (w != 0) {
            if ((w & ~0xCu) != valueWord) {  // a special word fills four columns: its text is made once
                valueWord = w & ~0xCu;
                valueText = ValueTextOf(w);
            }
            const CellText guide = GuideCell(w), value = ValueColumn(valueText, w);
            for (int k = 0; k < kLines; ++k)
                Put(k, column,
                    specials[k] == Special::kGuide   ? guide
                    : specials[k] == Special::kValue ? value
                                                     : kBlankCell);
        } else {
            for (int k = 0; k < kLines; ++k) Put(k, column, kBlankCell);
        }
    }

    const Special specials[kLines];
    const CellPictures& pictures;
    char lines[kLines][2 * kColumns];
    std::uint32_t valueWord = 0;
    ValueText valueText{};
};

}  // namespace textlib
