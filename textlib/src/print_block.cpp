// Printing one block of columns: per direction a code line and a character
// line, then the selected line-signal lines.
#include <cstring>

#include "convert_job.h"
#include "print_cells.h"

namespace textlib {
namespace {

enum DisplayMode { kCharHex = 0, kChar = 1, kHex = 2 };

// What a special word (idle time, time stamp) shows in each line.
enum Special { kGuide, kValue, kBlank };
struct SpecialRow {
    Special sdCode, sdChar, rdCode, rdChar;
};
// [display mode][0 SDRD, 1 one direction]; lines a mode does not print are kBlank.
constexpr SpecialRow kSpecialCells[3][2] = {
    {{kGuide, kValue, kBlank, kBlank}, {kGuide, kValue, kGuide, kValue}},   // CharHex
    {{kBlank, kGuide, kBlank, kValue}, {kBlank, kValue, kBlank, kValue}},   // Char
    {{kGuide, kBlank, kValue, kBlank}, {kValue, kBlank, kValue, kBlank}},   // Hex
};

constexpr const char* kSignalNames[8] = {"RS", "CS", "DR", "CD", "ER", "SQ", "CI", "EX"};

}  // namespace

bool ConvertJob::PrintBlock() {
    if (options_.Line != 2 && !PrintSection(false)) return false;
    if (options_.Line != 1 && !PrintSection(true)) return false;
    return true;
}

// The guide goes in front of the first line of the section; in CharHex the
// character line is indented to stand under the code line's cells.
bool ConvertJob::PrintSection(bool rd) {
    int mode = columns_.mode;
    const SpecialRow& row = kSpecialCells[mode == kChar || mode == kHex ? mode : kCharHex][options_.Line != 0];
    const char* guide = options_.GuideCut ? nullptr : rd ? "RD:" : "SD:";
    if (mode != kChar) {
        if (!PrintLine(guide, rd, true, rd ? row.rdCode : row.sdCode)) return false;
        guide = mode == kCharHex && !options_.GuideCut ? "   " : nullptr;
    }
    if (mode != kHex && !PrintLine(guide, rd, false, rd ? row.rdChar : row.sdChar)) return false;
    return true;
}

bool ConvertJob::PrintLine(const char* guide, bool rd, bool codeLine, int special) {
    char line[3 + 2 * kColumns];
    std::size_t n = 0;
    if (guide != nullptr) {
        std::memcpy(line, guide, 3);
        n = 3;
    }
    for (int i = 0; i < columns_.count; ++i) {
        std::uint32_t w = columns_.word[i];
        CellText cell = kBlankCell;
        if (IsData(w)) {
            std::uint16_t c = rd ? RdCell(w) : SdCell(w);
            cell = codeLine ? HexCell(c) : CharCell(c, columns_.page);
        } else if (IsGap(w)) {
            cell = CellText{'|', '|'};
        } else if (w != 0 && special == kGuide) {
            cell = GuideCell(w);
        } else if (w != 0 && special == kValue) {
            cell = ValueCell(w);
        }
        line[n++] = cell[0];
        line[n++] = cell[1];
    }
    return PutLine(line, n);
}

// One line per selected signal; "0" where the signal's bit is set, "1" where
// it is clear, before and after in the two characters of a column.
bool ConvertJob::PrintLineStates() {
    for (int k = 0; k < 8; ++k) {
        int s = options_.DisplayLineState[k];
        if (s < 0) break;
        char line[3 + 2 * kColumns];
        std::size_t n = 0;
        if (!options_.GuideCut) {
            const char* name = s < 8 ? kSignalNames[s] : "  ";
            line[0] = name[0];
            line[1] = name[1];
            line[2] = ':';
            n = 3;
        }
        unsigned bit = s < 8 ? 0x80u >> s : 0;
        for (int i = 0; i < columns_.count; ++i) {
            std::uint32_t st = columns_.state[i];
            CellText cell = kBlankCell;
            if (IsGap(st)) cell = CellText{'|', '|'};
            else if (st != 0) cell = CellText{(Byte(st, 1) & bit) ? '0' : '1', (Byte(st, 3) & bit) ? '0' : '1'};
            line[n++] = cell[0];
            line[n++] = cell[1];
        }
        if (!PutLine(line, n)) return false;
    }
    return true;
}

}  // namespace textlib
