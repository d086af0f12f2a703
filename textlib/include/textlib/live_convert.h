// A conversion that runs while the measurement lasts: the layout the options
// choose, over the live records, written to a stream (a terminal, a pipe) as
// the words arrive. The same routines as a conversion of a finished buffer.
//
// Errors: kConvertFailed when writing failed or the records finished without
// information.
// Threads: the calling thread; the records are filled on another.
#pragma once
#include <cstdio>

#include "textlib/live_records.h"
#include "textlib/text_convert.h"

namespace textlib {

// Waits for the measurement information, then writes the layout's lines to
// `out` until the records finish: the title and header lines once, no file
// splitting, "\n" line ends. The output is flushed whenever the conversion
// has caught up with the words received. Returns the finished code of a job
// (kConvertDone, or kConvertFailed when writing failed or the records
// finished without information); a failed write also abandons the records.
int RunLiveConversion(LiveRecords& live, const ConvertOptions& options, std::FILE* out);

}  // namespace textlib
