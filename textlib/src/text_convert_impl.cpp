// Open, Close, Start and Stop of the conversion object, and the worker thread
// that runs one job and posts its end.
#include "text_convert_impl.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>

namespace textlib {

TextConvertImpl::~TextConvertImpl() {
    live_.Stop(false);
    Close();
}

bool TextConvertImpl::Open(const char* bufferPath, TextWindow* notifyWindow, TextThread* notifyThread,
                           unsigned notifyMessage) {
    if (worker_.joinable() && !WorkerEnded()) return false;
    JoinEndedWorker();
    window_ = notifyWindow;
    thread_ = notifyThread;
    message_ = notifyMessage;
    return reader_.Open(bufferPath);
}

// Waits for the worker however long it takes: the job must never find its
// reader closed or its object gone.
void TextConvertImpl::Close() {
    Stop();
    if (worker_.joinable()) worker_.join();
    job_.reset();
    reader_.Close();
    message_ = kConvertIdleMessage;
    window_ = nullptr;
    thread_ = nullptr;
}

bool TextConvertImpl::Start(const ConvertOptions* options, const char* filePrefix) {
    if (options == nullptr) return false;
    if (worker_.joinable() && !WorkerEnded()) return false;  // one job at a time
    JoinEndedWorker();
    options_ = JobOptions(*options);
    prefix_.assign(filePrefix != nullptr ? filePrefix : "", filePrefix != nullptr ? strnlen(filePrefix, 259) : 0);
    queue_.Clear();
    JobNotifier& notifier = *this;
    job_ = std::make_unique<ConvertJob>(reader_, options_, prefix_, &queue_, notifier);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        workerEnded_ = false;
    }
    try {
        worker_ = std::thread(&TextConvertImpl::WorkerMain, this);
    } catch (...) {
        std::lock_guard<std::mutex> lock(mutex_);
        workerEnded_ = true;
        return false;
    }
    return true;
}

// Posts the quit message and waits up to 3000 ms. A worker that has not ended
// by then is left to finish; Start refuses and Close waits until it has.
void TextConvertImpl::Stop() {
    if (!worker_.joinable()) return;
    if (!WorkerEnded()) {
        queue_.Post(kQuitMessage);
        std::unique_lock<std::mutex> lock(mutex_);
        ended_.wait_for(lock, std::chrono::milliseconds(3000), [this] { return workerEnded_; });
    }
    JoinEndedWorker();
}

bool TextConvertImpl::WorkerEnded() {
    std::lock_guard<std::mutex> lock(mutex_);
    return workerEnded_;
}

void TextConvertImpl::JoinEndedWorker() {
    if (worker_.joinable() && WorkerEnded()) worker_.join();
}

void TextConvertImpl::PostNotification(std::uintptr_t wParam) { Post(wParam, 0); }

void TextConvertImpl::Post(std::uintptr_t wParam, std::intptr_t lParam) {
    if (window_ != nullptr) window_->post(message_, wParam, lParam);
    else if (thread_ != nullptr) thread_->post(message_, wParam, lParam);
}

void TextConvertImpl::WorkerMain() {
    // Below normal priority, so a long conversion leaves the capture alone.
    id_t tid = static_cast<id_t>(::gettid());
    int nice = ::getpriority(PRIO_PROCESS, tid);
    static_cast<void>(::setpriority(PRIO_PROCESS, tid, std::min(nice + 2, 19)));

    int code = job_->Run([this](Routine r) { return job_->CallRoutine(r); });
    const int error = job_->Error();
    // Marked ended before the finished notice goes out, so a caller that acts
    // on the notice at once finds the job over. Whoever sees the mark joins
    // this thread before touching the object, and the join waits for the post.
    {
        std::lock_guard<std::mutex> lock(mutex_);
        workerEnded_ = true;
        ended_.notify_all();
    }
    Post(static_cast<std::uintptr_t>(code) << 16, code == kConvertDone ? 0 : error);
}

}  // namespace textlib
