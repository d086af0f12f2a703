// A manual-reset event: stays signalled once set until reset; any number of
// threads may wait on it with a timeout.
//
// Errors: none.
// Threads: any thread may set, reset and wait.
#pragma once
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace platform {

class ManualResetEvent {
public:
    void set();
    void reset();
    bool isSet() const;
    // True when the event was (or became) signalled within the timeout.
    bool wait(std::chrono::milliseconds timeout) const;

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable cv_;
    bool set_ = false;
};

}  // namespace platform
