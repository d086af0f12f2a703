// Printing one block of columns: per direction a code line and a character
// line, then the selected line-signal lines.
#include <cstring>

#include "convert_job.h"
#include "print/print_cells.h"

namespace textlib {
namespace {

constexpr Special kGuide = Special::kGuide, kValue = Special::kValue, kBlank = Special::kBlank;

enum DisplayMode { kCharHex = 0, kChar = 1, kHex = 2 };
// [display mode][0 SDRD, 1 one direction]; lines a mode does not print are kBlank.
constexpr SpecialRow kSpecialCells[3][2] = {
    {{kGuide, kValue, kBlank, kBlank}, {kGuide, kValue, kGuide, kValue}},  // CharHex
    {{kBlank, kGuide, kBlank, kValue}, {kBlank, kValue, kBlank, kValue}},  // Char
    {{kGuide, kBlank, kValue, kBlank}, {kValue, kBlank, kValue, kBlank}},  // Hex
};

constexpr const char* kSignalNames[8] = {"RS", "CS", "DR", "CD", "ER", "SQ", "CI", "EX"};

}  // namespace

SpecialRow ConvertJob::BlockSpecials() const {
    const int mode = columns_.mode == kChar || columns_.mode == kHex ? columns_.mode : kCharHex;
    return kSpecialCells[mode][options_.Line != LineSdRd];
}

bool ConvertJob::PrintBlock() {
    RenderColumns(BlockSpecials());
    return PrintRenderedBlock();
}

// A block's lines are marked (for a live view only) when a shown direction
// has a cell in error in it (a check error, the error marks of the line
// modes, a break, an abort, a short frame) or lost data.
bool ConvertJob::BlockInError() const {
    const auto error = [](std::uint16_t cell) { return kStatusInError[CellStatus(cell)]; };
    for (int i = 0; i < columns_.count; ++i) {
        const std::uint32_t w = columns_.word[i];
        if (IsGap(w)) return true;
        if (!IsData(w)) continue;
        if ((options_.Line != LineRd && error(SdCell(w))) || (options_.Line != LineSd && error(RdCell(w)))) return true;
    }
    return false;
}

bool ConvertJob::PrintRenderedBlock() {
    lineMarked_ = eachLine_ && BlockInError();
    const bool ok = (options_.Line == LineRd || PrintSection(false)) && (options_.Line == LineSd || PrintSection(true));
    lineMarked_ = false;
    return ok;
}

// Every cell of the block's four lines in one pass over the columns; a
// section prints the ones its mode shows. Rendered into a local renderer:
// stores through a char pointer may alias anything, and would make every
// column reread the job's fields.
void ConvertJob::RenderColumns(const SpecialRow& row) {
    Renderer r(row, *pictures_);
    const int count = columns_.count;
    for (int i = 0; i < count; ++i) r.Render(i, columns_.word[i]);
    std::memcpy(rendered_, r.lines, sizeof r.lines);
}

// The guide goes in front of the first line of the section; in CharHex the
// character line is indented to stand under the code line's cells.
bool ConvertJob::PrintSection(bool rd) {
    const int mode = columns_.mode;
    const char* guide = options_.GuideCut ? nullptr : rd ? "RD:" : "SD:";
    if (mode != kChar) {
        if (!PrintLine(guide, rd ? Renderer::kRdCode : Renderer::kSdCode)) return false;
        guide = mode == kCharHex && !options_.GuideCut ? "   " : nullptr;
    }
    if (mode != kHex && !PrintLine(guide, rd ? Renderer::kRdChar : Renderer::kSdChar)) return false;
    return true;
}

bool ConvertJob::PrintLine(const char* guide, int rendered) {
    const std::size_t cells = 2 * static_cast<std::size_t>(columns_.count);
    const std::size_t n = (guide != nullptr ? 3 : 0) + cells;
    char* line = LineSpace(n);
    if (line == nullptr) return false;
    if (guide != nullptr) std::memcpy(line, guide, 3);
    std::memcpy(line + n - cells, rendered_[rendered], cells);
    return EndLine(n);
}

// One line per selected signal; "0" where the signal's bit is set, "1" where
// it is clear, before and after in the two characters of a column. A block
// whose states are those of the block before (the common case: nothing
// changed) prints the same lines again.
bool ConvertJob::PrintLineStates() {
    LineStateLines& l = lineStates_;
    const std::size_t at = options_.GuideCut ? 0 : 3;  // without guides the cells cover the names
    const std::size_t width = at + 2 * static_cast<std::size_t>(columns_.count);
    const std::size_t stateBytes = sizeof(std::uint32_t) * static_cast<std::size_t>(columns_.count);
    if (!l.valid || std::memcmp(l.states, columns_.state, stateBytes) != 0) {
        RenderLineStates(at);
        std::memcpy(l.states, columns_.state, stateBytes);
        l.valid = true;
    }
    for (int k = 0; k < l.signals; ++k)
        if (!PutLine(l.text[k], width)) return false;
    return true;
}

void ConvertJob::RenderLineStates(std::size_t at) {
    LineStateLines& l = lineStates_;
    unsigned bits[8];
    l.signals = 0;
    for (; l.signals < 8 && options_.DisplayLineState[l.signals] >= 0; ++l.signals) {
        const int s = options_.DisplayLineState[l.signals];
        bits[l.signals] = s < 8 ? 0x80u >> s : 0;
        const char* name = s < 8 ? kSignalNames[s] : "  ";
        l.text[l.signals][0] = name[0];
        l.text[l.signals][1] = name[1];
        l.text[l.signals][2] = ':';
    }
    // Neighbouring columns mostly share a state: its cells are made once.
    char cells[8][2];
    std::uint32_t made = 0;
    bool any = false;
    const int count = columns_.count;
    for (int i = 0; i < count; ++i) {
        const std::uint32_t st = columns_.state[i];
        if (!any || st != made) {
            any = true;
            made = st;
            const unsigned before = Byte(st, 1), after = Byte(st, 3);
            for (int k = 0; k < l.signals; ++k) {
                if (IsGap(st)) {
                    cells[k][0] = cells[k][1] = '|';
                } else if (st == 0) {
                    cells[k][0] = cells[k][1] = ' ';
                } else {
                    cells[k][0] = (before & bits[k]) ? '0' : '1';
                    cells[k][1] = (after & bits[k]) ? '0' : '1';
                }
            }
        }
        for (int k = 0; k < l.signals; ++k) std::memcpy(l.text[k] + at + 2 * i, cells[k], 2);
    }
}

}  // namespace textlib
