// Runs a conversion job over a live reader to a stream.
#include "textlib/live_convert.h"

#include <memory>

#include "convert_job.h"

namespace textlib {
namespace {

// A live job has no progress to report: its lines are its progress.
class NoProgress final : public JobNotifier {
public:
    void PostNotification(std::uintptr_t) override {}
};

}  // namespace

int RunLiveConversion(LiveRecords& live, const ConvertOptions& options, std::FILE* out) {
    auto body = std::make_unique<LiveRecords::Body>();
    if (!live.WaitInfo(*body)) return kConvertFailed;
    BufferReader reader;
    reader.OpenLive(live, body->data());
    NoProgress progress;
    ConvertJob job(reader, JobOptions(options), "", nullptr, progress);
    job.UseStream(out);
    live.SetBeforeWait([&job, out] { return job.Flush() && std::fflush(out) == 0; });
    const int code = job.Run([&job](Routine r) { return job.CallRoutine(r); });
    live.SetBeforeWait({});
    if (code != kConvertDone || live.Abandoned()) {
        live.Abandon();
        return kConvertFailed;
    }
    return code;
}

}  // namespace textlib
