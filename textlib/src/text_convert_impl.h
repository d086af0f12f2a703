// The conversion object: owns the buffer reader and runs one job at a time on
// a worker thread of its own. The public operations belong to the caller's
// thread; the job and its routine (and the routine slots) run on the worker.
#pragma once
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "buffer_reader.h"
#include "convert_job.h"
#include "live/live_session.h"
#include "textlib/text_convert.h"
#include "worker_queue.h"

namespace textlib {

class TextConvertImpl final : public TextConvert, private JobNotifier {
public:
    TextConvertImpl() = default;

    // A job still running refuses Open (the reader is in its hands).
    bool Open(const char* bufferPath, TextWindow* notifyWindow, TextThread* notifyThread,
              unsigned notifyMessage) override;
    void Close() override;
    bool Start(const ConvertOptions* options, const char* filePrefix) override;
    void Stop() override;
    bool StartLive(const ConvertOptions* options, TextLiveSink* sink) override {
        return options != nullptr && sink != nullptr && live_.Start(*options, *sink);
    }
    void LiveInfo(const std::uint8_t* body) override { live_.Info(body); }
    void LiveWords(const std::uint32_t* words, std::size_t count) override { live_.Words(words, count); }
    void StopLive(bool drain) override { live_.Stop(drain); }

protected:
    ~TextConvertImpl() override;

    // The worker routine slots keep their places for the binary interface;
    // each runs its routine's row of the routine table, as the worker does.
    int PrintNormal() override { return job_->CallRoutine(Routine::PrintNormal); }
    int PrintNormalLineState() override { return job_->CallRoutine(Routine::PrintNormalLineState); }
    int PrintControlSequence() override { return job_->CallRoutine(Routine::PrintControlSequence); }
    int PrintFrames() override { return job_->CallRoutine(Routine::PrintFrames); }
    int PrintPackets() override { return job_->CallRoutine(Routine::PrintPackets); }
    int PrintPpp() override { return job_->CallRoutine(Routine::PrintPpp); }
    int CsvData() override { return job_->CallRoutine(Routine::CsvData); }
    int CsvFrames() override { return job_->CallRoutine(Routine::CsvFrames); }

private:
    void PostNotification(std::uintptr_t wParam) override;
    void Post(std::uintptr_t wParam, std::intptr_t lParam);
    void WorkerMain();
    bool WorkerEnded();
    void JoinEndedWorker();

    // Notification target; written only while no worker runs.
    TextWindow* window_ = nullptr;
    TextThread* thread_ = nullptr;
    unsigned message_ = kConvertIdleMessage;

    std::thread worker_;
    WorkerQueue queue_;
    std::mutex mutex_;
    std::condition_variable ended_;
    bool workerEnded_ = true;  // guarded by mutex_

    ConvertOptions options_{};
    BufferReader reader_;
    std::string prefix_;
    std::unique_ptr<ConvertJob> job_;
    LiveSession live_;  // the live conversion, beside the job
};

}  // namespace textlib
