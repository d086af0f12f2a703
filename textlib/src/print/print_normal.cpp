// The print format's worker routines: blocks of 28 columns filled from the
// record stream, printed with or without the line-state lines under them.
#include <cstring>

#include "convert_job.h"
#include "print/header_box.h"

namespace textlib {

bool ConvertJob::PrintHeader(const std::uint8_t* body) { return PutText(HeaderBox(body).c_str()); }

int ConvertJob::PrintNormal() { return PrintColumns(false); }

int ConvertJob::PrintNormalLineState() { return PrintColumns(true); }

int ConvertJob::PrintColumns(bool withLineStates) {
    columns_ = Columns{};
    lineStates_.valid = false;
    columns_.mode = options_.PrintData;
    columns_.page = CodePageFor(reader_.Info(info::kCode));
    pictures_ = std::make_unique<CellPictures>(columns_.page);
    if (!options_.GuideCut && !PrintHeader(reader_.InfoBody())) return kConvertFailed;
    reader_.Seek(StartIndex());
    for (;;) {
        FillColumns(withLineStates);
        if (columns_.word[0] == 0) return kConvertDone;
        if (!PrintRenderedBlock()) return kConvertFailed;
        if (!options_.GuideCut && !PutChar('\n')) return kConvertFailed;
        if (!withLineStates) continue;
        if (!PrintLineStates()) return kConvertFailed;
        if (!options_.GuideCut && !PutChar('\n')) return kConvertFailed;
    }
}

// Takes the next records into the column slots and renders their cells. With
// line states, each slot also gets the state in force there: a line-state
// record shows itself (its before and after), a gap shows as a gap and the
// state is looked up afresh behind it, since nothing is known about what the
// lost data changed.
void ConvertJob::FillColumns(bool withLineStates) {
    // Filled in local arrays and copied at the end: a store into the job's own
    // arrays could alias the reader's counters and force them to be reread.
    std::uint32_t words[kColumns] = {}, states[kColumns] = {};
    Renderer r(BlockSpecials(), *pictures_);
    std::uint32_t state = withLineStates ? reader_.FindLineState() : 0;
    const int count = columns_.count;
    // Stop and progress are looked at once per block of columns; the range end at every record.
    const bool going = KeepGoing();
    const std::int64_t end = RangeEnd();
    int n = 0;
    for (; going && n < count && reader_.Pos() < end; ++n) {
        std::uint32_t w = reader_.NextRecord();
        if (w == 0) break;
        words[n] = w;
        r.Render(n, w);
        if (!withLineStates) continue;
        if (IsLineState(w)) {
            states[n] = w;
            state = (w & 0xFFFF00FFu) | (static_cast<std::uint32_t>(Byte(w, 3)) << 8);
        } else if (IsGap(w)) {
            states[n] = w;
            state = reader_.FindLineState();
        } else {
            states[n] = state;
        }
    }
    for (; n < count; ++n) r.Render(n, 0);
    std::memcpy(columns_.word, words, sizeof words);
    std::memcpy(columns_.state, states, sizeof states);
    std::memcpy(rendered_, r.lines, sizeof r.lines);
}

}  // namespace textlib
