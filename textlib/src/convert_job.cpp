// The job's range and progress checks and the choice of its routine.
#include "convert_job.h"
#include "platform/ticks.h"

namespace textlib {

std::int64_t ConvertJob::StartIndex() const {
    if (reader_.IsSingleFile() || reader_.IsLive()) return 0;
    return (static_cast<std::int64_t>(options_.Start) - 1) * kBlockWords;
}

void ConvertJob::ReportProgress() {
    std::int64_t now = platform::nowMs();
    if (now - lastProgress_ < 250) return;
    lastProgress_ = now;
    BufferReader::Progress at = reader_.BlockProgress();
    int n = at.current - at.first + 1;
    if (n < 1) n = 1;
    notifier_.PostNotification((static_cast<std::uintptr_t>(n) << 16) + kConvertProgress);
}

void ConvertJob::StartProgressClock() {
    lastProgress_ = platform::nowMs() - 200;  // the first report comes about 50 ms into the job
    progressCalls_ = 0;
}

int ConvertJob::CallRoutine(Routine routine) {
    switch (routine) {
    case Routine::PrintNormal: return PrintNormal();
    case Routine::PrintNormalLineState: return PrintNormalLineState();
    case Routine::PrintFrames: return PrintFrames();
    case Routine::PrintPackets: return PrintPackets();
    case Routine::PrintPpp: return PrintPpp();
    case Routine::PrintControlSequence: return PrintControlSequence();
    case Routine::CsvData: return CsvData();
    case Routine::CsvFrames: return CsvFrames();
    case Routine::None: break;
    }
    return kConvertFailed;
}

}  // namespace textlib
