// The worker thread's message queue: Stop posts the quit message, the worker
// looks for it before every character it writes. The look is one atomic load
// so it costs nothing while the queue is empty.
#pragma once
#include <atomic>
#include <deque>
#include <mutex>

namespace textlib {

constexpr unsigned kQuitMessage = 0x0012;  // the value of WM_QUIT

class WorkerQueue {
public:
    void Post(unsigned message) {
        std::lock_guard<std::mutex> lock(mutex_);
        messages_.push_back(message);
        count_.fetch_add(1, std::memory_order_release);
    }
    bool HasMessages() const { return count_.load(std::memory_order_acquire) != 0; }
    // Removes the oldest message; false when there is none.
    bool Take(unsigned& message) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (messages_.empty()) return false;
        message = messages_.front();
        messages_.pop_front();
        count_.fetch_sub(1, std::memory_order_release);
        return true;
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        messages_.clear();
        count_.store(0, std::memory_order_release);
    }

private:
    std::mutex mutex_;
    std::deque<unsigned> messages_;
    std::atomic<int> count_{0};
};

}  // namespace textlib
