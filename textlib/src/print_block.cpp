// Printing one block of columns: per direction a code line and a character
// line, then the selected line-signal lines.
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

bool ConvertJob::PrintSection(bool rd) {
    int mode = columns_.mode;
    const SpecialRow& row = kSpecialCells[mode == kChar || mode == kHex ? mode : kCharHex][options_.Line != 0];
    if (!options_.GuideCut && !PutText(rd ? "RD:" : "SD:")) return false;
    if (mode != kChar && !PrintLine(rd, true, rd ? row.rdCode : row.sdCode)) return false;
    if (mode == kCharHex && !options_.GuideCut && !PutText("   ")) return false;
    if (mode != kHex && !PrintLine(rd, false, rd ? row.rdChar : row.sdChar)) return false;
    return true;
}

bool ConvertJob::PrintLine(bool rd, bool codeLine, int special) {
    for (int i = 0; i < columns_.count; ++i) {
        std::uint32_t w = columns_.word[i];
        CellText cell = kBlankCell;
        if (w == 0) {
            cell = kBlankCell;
        } else if (IsGap(w)) {
            cell = CellText{'|', '|'};
        } else if (IsData(w)) {
            std::uint16_t c = rd ? RdCell(w) : SdCell(w);
            cell = codeLine ? HexCell(c) : CharCell(c, columns_.code);
        } else if (special == kGuide) {
            cell = GuideCell(w);
        } else if (special == kValue) {
            cell = ValueCell(w);
        }
        if (!PutCell(cell)) return false;
    }
    return PutChar('\n');
}

// One line per selected signal; "0" where the signal's bit is set, "1" where
// it is clear, before and after in the two characters of a column.
bool ConvertJob::PrintLineStates() {
    for (int k = 0; k < 8; ++k) {
        int s = options_.DisplayLineState[k];
        if (s < 0) break;
        if (!options_.GuideCut && !PutFormat("%2s:", s < 8 ? kSignalNames[s] : "")) return false;
        unsigned bit = s < 8 ? 0x80u >> s : 0;
        for (int i = 0; i < columns_.count; ++i) {
            std::uint32_t st = columns_.state[i];
            CellText cell = kBlankCell;
            if (IsGap(st)) cell = CellText{'|', '|'};
            else if (st != 0) cell = CellText{(Byte(st, 1) & bit) ? '0' : '1', (Byte(st, 3) & bit) ? '0' : '1'};
            if (!PutCell(cell)) return false;
        }
        if (!PutChar('\n')) return false;
    }
    return true;
}

}  // namespace textlib
