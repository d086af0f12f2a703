// The Translate print format of the character modes: the control-sequence
// tokens laid out in the print format's blocks of 28 columns, shown through
// the EBCDIC table whatever the line's code.
#include "control/print_control_sequence.h"

#include "control/control_sequence_filter.h"
#include "convert_job.h"
#include "print/print_block.h"

namespace textlib {
namespace {

constexpr int kCharDisplay = 1;  // print Data Char: character lines only
constexpr int kEbcdicCode = 1;

}  // namespace

int PrintControlSequence(ConvertJob& job) {
    const ConvertOptions& options = job.Options();
    PrintBlocks blocks(job, kCharDisplay, CodePageFor(kEbcdicCode));
    if (!options.GuideCut && !PrintHeader(job)) return kConvertFailed;
    ControlSequenceFilter filter(job.Reader());
    filter.Reset(job.StartIndex(), job.RangeEnd(), [&job] { return job.KeepGoing(); });
    const std::span<std::uint32_t, PrintBlocks::kColumns> words = blocks.Words();
    for (;;) {
        std::size_t n = 0;
        // Tokens already in the ring come from records inside the range: they
        // are printed even when the range ends with them.
        for (; n < words.size() && (filter.HasTokens() || job.KeepGoing()); ++n) {
            std::uint32_t w = filter.NextToken();
            if (w == 0) break;
            words[n] = w;
        }
        for (std::size_t k = n; k < words.size(); ++k) words[k] = 0;
        if (blocks.Empty()) return kConvertDone;
        if (!blocks.PrintBlock()) return kConvertFailed;
        if (!options.GuideCut && !job.PutChar('\n')) return kConvertFailed;
    }
}

}  // namespace textlib
