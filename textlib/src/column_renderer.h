// The cells of a block's four print lines (SD code, SD character, RD code, RD
// character), rendered column by column in one pass as the records come.
// Private to the print format.
#pragma once
#include <cstdint>

#include "buffer_format.h"
#include "print_cells.h"

namespace textlib {

// What a special word (idle time, time stamp) shows in each line.
enum class Special : std::uint8_t { kGuide, kValue, kBlank };
struct SpecialRow {
    Special sdCode, sdChar, rdCode, rdChar;
};

template <int kColumns>
struct ColumnRenderer {
    enum Line { kSdCode, kSdChar, kRdCode, kRdChar, kLines };

    ColumnRenderer(const SpecialRow& row, const CodePage& page)
        : specials{row.sdCode, row.sdChar, row.rdCode, row.rdChar}, page(page) {}

    void Put(int line, int column, CellText cell) {
        lines[line][2 * column] = cell[0];
        lines[line][2 * column + 1] = cell[1];
    }
    // The cells of one column; a zero word (past the data) leaves it blank.
    void Render(int column, std::uint32_t w) {
        if (IsData(w)) {
            const std::uint16_t sd = SdCell(w), rd = RdCell(w);
            Put(kSdCode, column, HexCell(sd));
            Put(kSdChar, column, CharCell(sd, page));
            Put(kRdCode, column, HexCell(rd));
            Put(kRdChar, column, CharCell(rd, page));
        } else if (IsGap(w)) {
            for (int k = 0; k < kLines; ++k) Put(k, column, CellText{'|', '|'});
        } else if (w != 0) {
            if ((w & ~0xCu) != valueWord) {   // a special word fills four columns: its text is made once
                valueWord = w & ~0xCu;
                valueText = ValueTextOf(w);
            }
            const CellText guide = GuideCell(w), value = ValueColumn(valueText, w);
            for (int k = 0; k < kLines; ++k)
                Put(k, column, specials[k] == Special::kGuide ? guide : specials[k] == Special::kValue ? value : kBlankCell);
        } else {
            for (int k = 0; k < kLines; ++k) Put(k, column, kBlankCell);
        }
    }

    const Special specials[kLines];
    const CodePage page;
    char lines[kLines][2 * kColumns];
    std::uint32_t valueWord = 0;
    ValueText valueText{};
};

}  // namespace textlib
