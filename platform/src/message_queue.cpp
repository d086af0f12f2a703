// Thread message queues: a deque under a mutex, a condition variable for
// blocking gets, and an eventfd that is readable exactly while there is
// something to take, so poll()-based threads can wait on it.
#include "platform/message_queue.h"

#include <sys/eventfd.h>
#include <unistd.h>
#include <stdexcept>

namespace platform {

MessageQueue::MessageQueue() {
    wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    quitFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd_ < 0 || quitFd_ < 0) {
        if (wakeFd_ >= 0) ::close(wakeFd_);
        if (quitFd_ >= 0) ::close(quitFd_);
        throw std::runtime_error("eventfd failed");
    }
}

MessageQueue::~MessageQueue() {
    for (const Message& m : queue_)
        if (m.dispose) m.dispose(m.lParam);
    ::close(wakeFd_);
    ::close(quitFd_);
}

// Keeps the eventfd readable exactly while a message or quit is waiting.
void MessageQueue::syncWakeLocked() {
    const bool want = quit_ || !queue_.empty();
    if (want == signalled_) return;
    if (want) {
        const std::uint64_t one = 1;
        [[maybe_unused]] ssize_t n = ::write(wakeFd_, &one, sizeof one);
    } else {
        std::uint64_t value = 0;
        [[maybe_unused]] ssize_t n = ::read(wakeFd_, &value, sizeof value);
    }
    signalled_ = want;
}

bool MessageQueue::post(const Message& msg) {
    {
        std::lock_guard lock(mutex_);
        if (quit_) return false;
        queue_.push_back(msg);
        syncWakeLocked();
    }
    cv_.notify_all();
    return true;
}

void MessageQueue::postQuit() {
    {
        std::lock_guard lock(mutex_);
        if (!quit_) {
            const std::uint64_t one = 1;
            [[maybe_unused]] ssize_t n = ::write(quitFd_, &one, sizeof one);
        }
        quit_ = true;
        syncWakeLocked();
    }
    cv_.notify_all();
}

bool MessageQueue::quitPosted() const {
    std::lock_guard lock(mutex_);
    return quit_;
}

std::optional<MessageQueue::Clock::time_point> MessageQueue::nextDueLocked() const {
    std::optional<Clock::time_point> next;
    for (const auto& [id, t] : timers_)
        if (!next || t.due < *next) next = t.due;
    return next;
}

// Quit first, then posted messages in order, then the most overdue timer.
std::optional<Message> MessageQueue::takeLocked(Clock::time_point now) {
    if (quit_) return Message{MsgQuit, 0, 0, nullptr};
    if (!queue_.empty()) {
        Message m = queue_.front();
        queue_.pop_front();
        syncWakeLocked();
        return m;
    }
    auto due = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it)
        if (it->second.due <= now && (due == timers_.end() || it->second.due < due->second.due)) due = it;
    if (due == timers_.end()) return std::nullopt;
    // Like a window-system timer, a late tick is delivered once and the
    // timer does not try to catch up on the ticks it missed.
    Timer& t = due->second;
    t.due += t.interval;
    if (t.due <= now) t.due = now + t.interval;
    return Message{MsgTimer, due->first, 0, nullptr};
}

bool MessageQueue::get(Message& out) {
    std::unique_lock lock(mutex_);
    for (;;) {
        if (auto m = takeLocked(Clock::now())) {
            out = *m;
            return out.message != MsgQuit;
        }
        if (auto next = nextDueLocked()) cv_.wait_until(lock, *next);
        else cv_.wait(lock);
    }
}

std::optional<Message> MessageQueue::peek() {
    std::lock_guard lock(mutex_);
    return takeLocked(Clock::now());
}

std::optional<Message> MessageQueue::wait(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    std::unique_lock lock(mutex_);
    for (;;) {
        if (auto m = takeLocked(Clock::now())) return m;
        auto until = deadline;
        if (auto next = nextDueLocked(); next && *next < until) until = *next;
        if (Clock::now() >= deadline) return std::nullopt;
        cv_.wait_until(lock, until);
    }
}

void MessageQueue::setTimer(std::uintptr_t id, std::chrono::milliseconds interval) {
    {
        std::lock_guard lock(mutex_);
        timers_[id] = Timer{interval, Clock::now() + interval};
    }
    cv_.notify_all();
}

void MessageQueue::killTimer(std::uintptr_t id) {
    std::lock_guard lock(mutex_);
    timers_.erase(id);
}

}  // namespace platform
