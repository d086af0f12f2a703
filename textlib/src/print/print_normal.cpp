// The print format's routines: blocks of 28 columns filled from the record
// stream, printed with or without the line-state lines under them.
#include "print/print_normal.h"

#include "convert_job.h"
#include "print/print_block.h"

namespace textlib {
namespace {

int PrintColumns(ConvertJob& job, bool withLineStates) {
    const ConvertOptions& options = job.Options();
    BufferReader& reader = job.Reader();
    PrintBlocks blocks(job, options.PrintData, CodePageFor(reader.Info(info::kCode)));
    if (!options.GuideCut && !PrintHeader(job)) return kConvertFailed;
    reader.Seek(job.StartIndex());
    for (;;) {
        blocks.Fill(withLineStates);
        if (blocks.Empty()) return kConvertDone;
        if (!blocks.PrintRenderedBlock()) return kConvertFailed;
        if (!options.GuideCut && !job.PutChar('\n')) return kConvertFailed;
        if (!withLineStates) continue;
        if (!blocks.PrintLineStates()) return kConvertFailed;
        if (!options.GuideCut && !job.PutChar('\n')) return kConvertFailed;
    }
}

}  // namespace

int PrintNormal(ConvertJob& job) { return PrintColumns(job, false); }

int PrintNormalLineState(ConvertJob& job) { return PrintColumns(job, true); }

}  // namespace textlib
