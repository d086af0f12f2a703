// The live conversion's thread and its line sink: the job writes to a stream
// whose every write is cut into lines for the sink.
#include "live/live_session.h"

#include <cstdio>
#include <string>

#include "convert_job.h"

namespace textlib {
namespace {

class NoProgress final : public JobNotifier {
public:
    void PostNotification(std::uintptr_t) override {}
};

// The stream's far end: gathers bytes into lines and hands each complete one
// on, marked as the job says of the line it has just ended.
struct LineCutter {
    TextLiveSink& sink;
    const ConvertJob* job = nullptr;
    std::string partial;

    static ssize_t Write(void* cookie, const char* data, std::size_t size) {
        auto& cut = *static_cast<LineCutter*>(cookie);
        std::size_t from = 0;
        for (std::size_t i = 0; i < size; ++i) {
            if (data[i] != '\n') continue;
            const bool marked = cut.job != nullptr && cut.job->LineMarked();
            if (cut.partial.empty()) {
                cut.sink.PostLine(data + from, i - from, marked);
            } else {
                cut.partial.append(data + from, i - from);
                cut.sink.PostLine(cut.partial.data(), cut.partial.size(), marked);
                cut.partial.clear();
            }
            from = i + 1;
        }
        cut.partial.append(data + from, size - from);
        return static_cast<ssize_t>(size);
    }
};

}  // namespace

int RunLiveLines(LiveRecords& live, const ConvertOptions& options, TextLiveSink& sink) {
    auto body = std::make_unique<LiveRecords::Body>();
    if (!live.WaitInfo(*body)) return kConvertFailed;
    LineCutter cutter{sink, nullptr, {}};
    cookie_io_functions_t io{};
    io.write = &LineCutter::Write;
    std::FILE* out = ::fopencookie(&cutter, "w", io);
    if (out == nullptr) return kConvertFailed;
    static_cast<void>(std::setvbuf(out, nullptr, _IONBF, 0));
    int code = kConvertFailed;
    {
        BufferReader reader;
        reader.OpenLive(live, body->data());
        NoProgress progress;
        ConvertJob job(reader, JobOptions(options), "", nullptr, progress);
        cutter.job = &job;
        job.UseStream(out, true);
        code = job.Run([&job](Routine r) { return job.CallRoutine(r); });
    }
    std::fclose(out);
    if (!cutter.partial.empty() && !live.Abandoned())
        sink.PostLine(cutter.partial.data(), cutter.partial.size(), false);
    return live.Abandoned() ? kConvertFailed : code;
}

bool LiveSession::Start(const ConvertOptions& options, TextLiveSink& sink) {
    std::lock_guard lock(mutex_);
    if (records_ != nullptr) return false;
    auto records = std::make_shared<LiveRecords>();
    try {
        thread_ = std::thread([records, options, &sink] { sink.PostEnd(RunLiveLines(*records, options, sink)); });
    } catch (...) {
        return false;
    }
    records_ = std::move(records);
    return true;
}

void LiveSession::Info(const std::uint8_t* body) {
    std::lock_guard lock(mutex_);
    if (records_ != nullptr) records_->SetInfo(body);
}

void LiveSession::Words(const std::uint32_t* words, std::size_t count) {
    std::lock_guard lock(mutex_);
    if (records_ != nullptr) records_->Append(words, count);
}

void LiveSession::Stop(bool drain) {
    std::shared_ptr<LiveRecords> records;
    {
        std::lock_guard lock(mutex_);
        records = std::move(records_);
        records_.reset();
    }
    if (records != nullptr) {
        if (drain) records->Finish();
        else records->Abandon();
    }
    if (thread_.joinable()) thread_.join();
}

}  // namespace textlib
