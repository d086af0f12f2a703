// A thread's message queue, standing in for thread messages: any thread may
// post; the owning thread gets (blocking) or peeks. Periodic timers deliver
// MsgTimer when due, and a wake-up descriptor lets a thread poll() its queue
// together with a device.
//
// Errors: post() is false once the queue no longer takes messages.
// Threads: post from any thread; get, peek, wait and timers on the owning thread
// only.
#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>

namespace platform {

inline constexpr unsigned MsgQuit = 0x0012;
inline constexpr unsigned MsgTimer = 0x0113;  // wParam = timer id

struct Message {
    unsigned message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
    // Frees what lParam owns when the queue drops the message unread (after
    // quit or at destruction). A thread that takes the message takes lParam.
    void (*dispose)(std::intptr_t lParam) = nullptr;
};

class MessageQueue {
public:
    MessageQueue();
    ~MessageQueue();  // disposes every message left
    MessageQueue(const MessageQueue&) = delete;
    MessageQueue& operator=(const MessageQueue&) = delete;

    // Any thread. False when the queue no longer accepts messages (quit was
    // posted); the caller still owns lParam then.
    bool post(const Message& msg);
    // Any thread. Makes get() return false at once, ahead of queued messages,
    // which stay unread and are disposed with the queue.
    void postQuit();
    bool quitPosted() const;

    // Owning thread. Blocks until a message (or a due timer) is there; false on quit.
    bool get(Message& out);
    // Owning thread. Takes the next message if one is there (timers included); never blocks.
    // With quit posted it returns a MsgQuit message.
    std::optional<Message> peek();
    // Owning thread. Like get() but gives up after timeout (nullopt).
    std::optional<Message> wait(std::chrono::milliseconds timeout);

    // Readable while a message is queued or quit was posted (not for due
    // timers: a thread that uses timers waits with get()).
    int wakeFd() const { return wakeFd_; }
    // Readable once quit was posted, and only then: a thread busy with one
    // job (a pending write) waits on this so that other messages stay queued.
    int quitFd() const { return quitFd_; }

    // Owning thread. Periodic timer `id` every `interval` (replaces one with the same id).
    void setTimer(std::uintptr_t id, std::chrono::milliseconds interval);
    void killTimer(std::uintptr_t id);

private:
    using Clock = std::chrono::steady_clock;
    struct Timer {
        std::chrono::milliseconds interval;
        Clock::time_point due;
    };
    std::optional<Message> takeLocked(Clock::time_point now);
    std::optional<Clock::time_point> nextDueLocked() const;
    void syncWakeLocked();

    mutable std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<Message> queue_;
    std::map<std::uintptr_t, Timer> timers_;
    bool quit_ = false;
    bool signalled_ = false;
    int wakeFd_ = -1;
    int quitFd_ = -1;
};

}  // namespace platform
