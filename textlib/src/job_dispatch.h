// The conversion's routines: one row each in the routine table
// (job_dispatch.cpp) with the options that pick it, the record kinds its
// reader drops and the code that runs it; the code is in its layout's folder.
#pragma once
#include <cstdint>

#include "textlib/text_convert.h"

namespace textlib {

class ConvertJob;

enum class Routine {
    None,  // no routine for these options: the job fails
    PrintNormal,
    PrintNormalLineState,
    PrintControlSequence,
    PrintFrames,
    PrintPackets,
    PrintPpp,
    CsvData,
    CsvFrames,
    Count,  // the number of values above; a new routine goes before it
};

struct Dispatch {
    Routine routine;
    int filter;  // BufferReader filter flags
};

// The options as a job runs them: Blocks clamped to 1..pcbuffer::kMaxBlocksLimit, and no GuideCut
// for the translations, which always carry their headers.
ConvertOptions JobOptions(const ConvertOptions& options);

// The routine whose row the options and the data-info body pick, with the
// filter its reader needs; Routine::None when no row does.
Dispatch ChooseRoutine(const ConvertOptions& options, const std::uint8_t* infoBody);

// Runs the routine's code for `job` (0 done, 1 failed; 1 for Routine::None).
int RunRoutine(Routine routine, ConvertJob& job);

}  // namespace textlib
