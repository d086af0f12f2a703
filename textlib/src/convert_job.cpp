// The job's range and its progress reports.
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

}  // namespace textlib
