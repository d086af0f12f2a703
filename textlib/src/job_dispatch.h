// Which worker routine a set of options runs, and the reader filter it needs.
#pragma once
#include <cstdint>

#include "textlib/text_convert.h"

namespace textlib {

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
};

struct Dispatch {
    Routine routine;
    int filter;  // BufferReader filter flags
};

// The options as a job runs them: Blocks clamped to 1..1024, and no GuideCut
// for the translations, which always carry their headers.
ConvertOptions JobOptions(const ConvertOptions& options);

Dispatch ChooseRoutine(const ConvertOptions& options, const std::uint8_t* infoBody);

}  // namespace textlib
