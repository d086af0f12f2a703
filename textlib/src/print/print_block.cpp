// Filling and printing one block of columns: per direction a code line and a
// character line, then the selected line-signal lines.
#include "print/print_block.h"

#include <cstring>

#include "convert_job.h"
#include "print/header_box.h"
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

bool PrintHeader(ConvertJob& job) { return job.PutText(HeaderBox(job.Reader().InfoBody()).c_str()); }

PrintBlocks::PrintBlocks(ConvertJob& job, int mode, const CodePage& page)
    : job_(job), options_(job.Options()), pictures_(std::make_unique<CellPictures>(page)) {
    columns_.mode = mode;
    columns_.page = page;
}

SpecialRow PrintBlocks::BlockSpecials() const {
    const int mode = columns_.mode == kChar || columns_.mode == kHex ? columns_.mode : kCharHex;
    return kSpecialCells[mode][options_.Line != LineSdRd];
}

// Takes the next records into the column slots and renders their cells. With
// line states, each slot also gets the state in force there: a line-state
// record shows itself (its before and after), a gap shows as a gap and the
// state is looked up afresh behind it, since nothing is known about what the
// lost data changed.
void PrintBlocks::Fill(bool withLineStates) {
    // Filled in local arrays and copied at the end: a store into the block's
    // arrays could alias the reader's counters and force them to be reread.
    std::uint32_t words[kColumns] = {}, states[kColumns] = {};
    Renderer r(BlockSpecials(), *pictures_);
    BufferReader& reader = job_.Reader();
    std::uint32_t state = withLineStates ? reader.FindLineState() : 0;
    const int count = columns_.count;
    // Stop and progress are looked at once per block of columns; the range end at every record.
    const bool going = job_.KeepGoing();
    const std::int64_t end = job_.RangeEnd();
    int n = 0;
    for (; going && n < count && reader.Pos() < end; ++n) {
        std::uint32_t w = reader.NextRecord();
        if (w == 0) break;
        words[n] = w;
        r.Render(n, w);
        if (!withLineStates) continue;
        if (IsLineState(w)) {
            states[n] = w;
            state = (w & 0xFFFF00FFu) | (static_cast<std::uint32_t>(Byte(w, 3)) << 8);
        } else if (IsGap(w)) {
            states[n] = w;
            state = reader.FindLineState();
        } else {
            states[n] = state;
        }
    }
    for (; n < count; ++n) r.Render(n, 0);
    std::memcpy(columns_.word, words, sizeof words);
    std::memcpy(columns_.state, states, sizeof states);
    std::memcpy(rendered_, r.lines, sizeof r.lines);
}

bool PrintBlocks::PrintBlock() {
    RenderColumns(BlockSpecials());
    return PrintRenderedBlock();
}

// A block's lines are marked (for a live view only) when a shown direction
// has a cell in error in it (a check error, the error marks of the line
// modes, a break, an abort, a short frame) or lost data.
bool PrintBlocks::BlockInError() const {
    const auto error = [](std::uint16_t cell) { return kStatusInError[CellStatus(cell)]; };
    for (int i = 0; i < columns_.count; ++i) {
        const std::uint32_t w = columns_.word[i];
        if (IsGap(w)) return true;
        if (!IsData(w)) continue;
        if ((options_.Line != LineRd && error(SdCell(w))) || (options_.Line != LineSd && error(RdCell(w)))) return true;
    }
    return false;
}

bool PrintBlocks::PrintRenderedBlock() {
    job_.MarkLines(job_.EachLine() && BlockInError());
    const bool ok = (options_.Line == LineRd || PrintSection(false)) && (options_.Line == LineSd || PrintSection(true));
    job_.MarkLines(false);
    return ok;
}

// Every cell of the block's four lines in one pass over the columns; a
// section prints the ones its mode shows. Rendered into a local renderer:
// stores through a char pointer may alias anything, and would make every
// column reread the block's fields.
void PrintBlocks::RenderColumns(const SpecialRow& row) {
    Renderer r(row, *pictures_);
    const int count = columns_.count;
    for (int i = 0; i < count; ++i) r.Render(i, columns_.word[i]);
    std::memcpy(rendered_, r.lines, sizeof r.lines);
}

// The guide goes in front of the first line of the section; in CharHex the
// character line is indented to stand under the code line's cells.
bool PrintBlocks::PrintSection(bool rd) {
    const int mode = columns_.mode;
    const char* guide = options_.GuideCut ? nullptr : rd ? "RD:" : "SD:";
    if (mode != kChar) {
        if (!PrintLine(guide, rd ? Renderer::kRdCode : Renderer::kSdCode)) return false;
        guide = mode == kCharHex && !options_.GuideCut ? "   " : nullptr;
    }
    if (mode != kHex && !PrintLine(guide, rd ? Renderer::kRdChar : Renderer::kSdChar)) return false;
    return true;
}

bool PrintBlocks::PrintLine(const char* guide, int rendered) {
    const std::size_t cells = 2 * static_cast<std::size_t>(columns_.count);
    const std::size_t n = (guide != nullptr ? 3 : 0) + cells;
    char* line = job_.LineSpace(n);
    if (line == nullptr) return false;
    if (guide != nullptr) std::memcpy(line, guide, 3);
    std::memcpy(line + n - cells, rendered_[rendered], cells);
    return job_.EndLine(n);
}

// One line per selected signal; "0" where the signal's bit is set, "1" where
// it is clear, before and after in the two characters of a column. A block
// whose states are those of the block before (the common case: nothing
// changed) prints the same lines again.
bool PrintBlocks::PrintLineStates() {
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
        if (!job_.PutLine(l.text[k], width)) return false;
    return true;
}

void PrintBlocks::RenderLineStates(std::size_t at) {
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
