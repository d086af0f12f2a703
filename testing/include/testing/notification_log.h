// What a library reported through its notification callback, in order, and
// waits for the reports a test expects. For end-to-end tests of a library whose
// callback is a plain function: the test's callback records here (any thread).
//
// Errors: a wait that times out returns false; the test says what was missing.
// Threads: record from any thread; wait on the test's.
#pragma once
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>
#include <vector>

namespace testing_util {

class NotificationLog {
public:
    // Appends a report; `also` runs first under the same lock (to keep more of it).
    template <class Also>
    void record(int code, int status, Also also) {
        {
            std::lock_guard lock(mutex_);
            also();
            notes_.emplace_back(code, status);
        }
        cv_.notify_all();
    }
    void record(int code, int status) {
        record(code, status, [] {});
    }
    // Forgets every report; `also` runs under the lock.
    template <class Also>
    void clear(Also also) {
        std::lock_guard lock(mutex_);
        also();
        notes_.clear();
    }
    void clear() {
        clear([] {});
    }

    // Runs `look` under the lock (to read what `record` kept).
    template <class Look>
    void look(Look look) {
        std::lock_guard lock(mutex_);
        look();
    }

    // Waits until pred() holds (called under the lock); false after `limit`.
    template <class Pred>
    bool wait_until(Pred pred, std::chrono::milliseconds limit) {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, limit, [&] { return pred(); });
    }
    // The status of the next report with this code, which is taken together
    // with the reports before it; kNone when none came within `limit`.
    static constexpr int kNone = -1000;
    int take(int code, std::chrono::milliseconds limit) {
        int status = kNone;
        wait_until(
            [&] {
                for (auto it = notes_.begin(); it != notes_.end(); ++it)
                    if (it->first == code) {
                        status = it->second;
                        notes_.erase(notes_.begin(), it + 1);
                        return true;
                    }
                return false;
            },
            limit);
        return status;
    }
    // Whether a report with this code and status came within `limit`; nothing is taken.
    bool came(int code, int status, std::chrono::milliseconds limit) {
        return wait_until(
            [&] {
                for (const auto& n : notes_)
                    if (n.first == code && n.second == status) return true;
                return false;
            },
            limit);
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<std::pair<int, int>> notes_;  // code, status
};

}  // namespace testing_util
