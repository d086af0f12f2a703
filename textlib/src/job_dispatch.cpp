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
    case kSync: return {Routine::PrintControlSequence, filter};
    case kHdlc:
    case kNrzi: return {o.TranslatePacket == PacketOff ? Routine::PrintFrames : Routine::PrintPackets, filter};
    case kPpp: return {Routine::PrintPpp, filter};
    default: return {Routine::None, filter};
    }
}

}  // namespace

ConvertOptions JobOptions(const ConvertOptions& options) {
    ConvertOptions o = options;
    o.Blocks = std::clamp(o.Blocks, 1, 1024);
    if (o.PrintFormat == PrintFormatTranslate) o.GuideCut = 0;
    return o;
}

Dispatch ChooseRoutine(const ConvertOptions& o, const std::uint8_t* body) {
    int filter = o.Line == LineSd ? kHideRd : o.Line == LineRd ? kHideSd : 0;
    if (o.Format == FormatPrint) {
        if (o.PrintFormat == PrintFormatNormal) return PrintNormalRoutine(o, body, filter);
        if (o.PrintFormat == PrintFormatTranslate) return TranslateRoutine(o, body, filter);
    } else if (o.Format == FormatCsv) {
        if (o.CsvForm == CsvFormData) return {Routine::CsvData, filter | kSkipLineState | kSkipIdle | kSkipTimeStamp};
        if (o.CsvForm == CsvFormFrame) return {Routine::CsvFrames, filter | kSkipIdle};
    }
    return {Routine::None, filter};
}

}  // namespace textlib
