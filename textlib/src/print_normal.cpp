// The print format's worker routines: blocks of 28 columns filled from the
// record stream, printed with or without the line-state lines under them.
#include "convert_job.h"
#include "header_box.h"

namespace textlib {

bool ConvertJob::PrintHeader(const std::uint8_t* body) { return PutText(HeaderBox(body).c_str()); }

int ConvertJob::PrintNormal() { return PrintColumns(false); }

int ConvertJob::PrintNormalLineState() { return PrintColumns(true); }

int ConvertJob::PrintColumns(bool withLineStates) {
    columns_ = Columns{};
    columns_.mode = options_.PrintData;
    columns_.page = CodePageFor(reader_.Info(info::kCode));
    if (!options_.GuideCut && !PrintHeader(reader_.InfoBody())) return kConvertFailed;
    reader_.Seek(StartIndex());
    for (;;) {
        FillColumns(withLineStates);
        if (columns_.word[0] == 0) return kConvertDone;
        if (!PrintBlock()) return kConvertFailed;
        if (!options_.GuideCut && !PutChar('\n')) return kConvertFailed;
        if (!withLineStates) continue;
        if (!PrintLineStates()) return kConvertFailed;
        if (!options_.GuideCut && !PutChar('\n')) return kConvertFailed;
    }
}

// Takes the next records into the column slots. With line states, each slot
// also gets the state in force there: a line-state record shows itself (its
// before and after), a gap shows as a gap and the state is looked up afresh
// behind it, since nothing is known about what the lost data changed.
void ConvertJob::FillColumns(bool withLineStates) {
    std::uint32_t state = withLineStates ? reader_.FindLineState() : 0;
    int n = 0;
    for (; n < columns_.count && KeepGoing(); ++n) {
        std::uint32_t w = reader_.NextRecord();
        if (w == 0) break;
        columns_.word[n] = w;
        if (!withLineStates) continue;
        if (IsLineState(w)) {
            columns_.state[n] = w;
            state = (w & 0xFFFF00FFu) | (static_cast<std::uint32_t>(Byte(w, 3)) << 8);
        } else if (IsGap(w)) {
            columns_.state[n] = w;
            state = reader_.FindLineState();
        } else {
            columns_.state[n] = state;
        }
    }
    for (; n < columns_.count; ++n) columns_.word[n] = columns_.state[n] = 0;
}

}  // namespace textlib
