// The routine table of the conversion worker: output format, layout and
// measurement mode pick the routine; each adds the record kinds it drops.
#include "job_dispatch.h"

#include <algorithm>

#include "textlib/buffer_format.h"

namespace textlib {
namespace {

Dispatch PrintNormalRoutine(const ConvertOptions& o, const std::uint8_t* body, int filter) {
    if (o.IdleTimeCut) filter |= kSkipIdle;
    if (o.TimeStampCut) filter |= kSkipTimeStamp;
    if (o.LineStateCut == 0 && body[info::kLineStates] != 0) return {Routine::PrintNormalLineState, filter};
    return {Routine::PrintNormal, filter | kSkipLineState};
}

Dispatch TranslateRoutine(const ConvertOptions& o, const std::uint8_t* body, int filter) {
    filter |= kSkipIdle;
    switch (body[info::kMode]) {
    case kAsync:
    case kSync:
        return {Routine::PrintControlSequence, filter};
    case kHdlc:
    case kNrzi:
        return {o.TranslatePacket == 0 ? Routine::PrintFrames : Routine::PrintPackets, filter};
    case kPpp:
        return {Routine::PrintPpp, filter};
    default:
        return {Routine::None, filter};
    }
}

}  // namespace

ConvertOptions JobOptions(const ConvertOptions& options) {
    ConvertOptions o = options;
    o.Blocks = std::clamp(o.Blocks, 1, 1024);
    if (o.PrintFormat == 1) o.GuideCut = 0;
    return o;
}

Dispatch ChooseRoutine(const ConvertOptions& o, const std::uint8_t* body) {
    int filter = o.Line == 1 ? kHideRd : o.Line == 2 ? kHideSd : 0;
    if (o.Format == 0) {
        if (o.PrintFormat == 0) return PrintNormalRoutine(o, body, filter);
        if (o.PrintFormat == 1) return TranslateRoutine(o, body, filter);
    } else if (o.Format == 1) {
        if (o.CsvForm == 0) return {Routine::CsvData, filter | kSkipLineState | kSkipIdle | kSkipTimeStamp};
        if (o.CsvForm == 1) return {Routine::CsvFrames, filter | kSkipIdle};
    }
    return {Routine::None, filter};
}

}  // namespace textlib
