// The Translate print format of the character modes: the control-sequence
// tokens laid out in the print format's blocks of 28 columns, shown through
// the EBCDIC table whatever the line's code.
#include "control/control_sequence_filter.h"
#include "convert_job.h"

namespace textlib {
namespace {

constexpr int kCharDisplay = 1;  // print Data Char: character lines only
constexpr int kEbcdicCode = 1;

}  // namespace

int ConvertJob::PrintControlSequence() {
    columns_ = Columns{};
    columns_.mode = kCharDisplay;
    columns_.page = CodePageFor(kEbcdicCode);
    pictures_ = std::make_unique<CellPictures>(columns_.page);
    if (!options_.GuideCut && !PrintHeader(reader_.InfoBody())) return kConvertFailed;
    ControlSequenceFilter filter(reader_);
    filter.Reset(StartIndex(), RangeEnd(), [this] { return KeepGoing(); });
    for (;;) {
        int n = 0;
        // Tokens already in the ring come from records inside the range: they
        // are printed even when the range ends with them.
        for (; n < columns_.count && (filter.HasTokens() || KeepGoing()); ++n) {
            std::uint32_t w = filter.NextToken();
            if (w == 0) break;
            columns_.word[n] = w;
        }
        for (int k = n; k < columns_.count; ++k) columns_.word[k] = 0;
        if (columns_.word[0] == 0) return kConvertDone;
        if (!PrintBlock()) return kConvertFailed;
        if (!options_.GuideCut && !PutChar('\n')) return kConvertFailed;
    }
}

}  // namespace textlib
