// The notification mailbox: a library's callback, on the library's thread,
// copies each notification (its code, status and the bytes its data points
// to, which may change once the call returns) and posts it; the program's own
// thread takes the copies in the order they were posted. Each post wakes the
// reader through its Window (the Qt programs turn that into an event, the
// command-line tool into a queue message); the reader takes one notification
// per wake-up and the mailbox wakes it again while more are unread, so at most
// one wake-up waits in the reader's queue and a nested event loop on the
// reader's thread still gets every notification.
//
// Beyond its capacity of unread notifications a gauge (a notification of which
// only the newest value counts) replaces the unread one of its code; every
// other notification is always kept, so nothing a sequence waits for is lost.
//
// Errors: none; posts while no window is set are dropped.
// Threads: post from any thread; take, latest and setWake on any thread, but
// one reader takes.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/window.h"

namespace platform {

inline constexpr std::size_t NotificationBytesMax = 64;     // what one notification's data may carry
inline constexpr std::size_t NotifyMailboxCapacity = 1024;  // unread notifications before gauges coalesce

// One notification, owned: nothing in it points back into the library.
struct Notification {
    int code = 0;
    int status = 0;
    std::intptr_t value = 0;  // the data argument as a number; 0 when its bytes were copied
    std::size_t size = 0;     // bytes copied from where the data pointed (0..NotificationBytesMax)
    bool gauge = false;       // only the newest of this code counts
    // Aligned for any record a notification points to (int[3], StoreFailure).
    alignas(std::max_align_t) std::array<unsigned char, NotificationBytesMax> bytes{};

    // The copied bytes, or the value as a pointer when none were copied.
    const void* data() const { return size ? bytes.data() : reinterpret_cast<const void*>(value); }
};

// The callback's copy: `size` bytes from `data` (cut at NotificationBytesMax),
// or, with size 0, data itself as the value. A null data copies nothing.
Notification copyNotification(int code, int status, const void* data, std::size_t size, bool gauge = false);

class NotifyMailbox {
public:
    explicit NotifyMailbox(std::size_t capacity = NotifyMailboxCapacity);
    NotifyMailbox(const NotifyMailbox&) = delete;
    NotifyMailbox& operator=(const NotifyMailbox&) = delete;

    // The reader's window, woken with (message, 0, 0); null drops every post
    // from now on and what was unread. Its post must only queue.
    void setWake(Window* window, unsigned message);

    // Any thread: queues the copy and wakes the reader. Never waits for the reader.
    void post(const Notification& notification);
    // The reader, once per wake-up: the oldest unread notification, if any.
    std::optional<Notification> take();
    // The newest notification posted with this code, taken or not: the state it
    // reports as of now, ahead of the reader (kept for LatestCodesMax codes).
    std::optional<Notification> latest(int code) const;

    static constexpr std::size_t LatestCodesMax = 32;

private:
    void wakeLocked();

    const std::size_t capacity_;
    mutable std::mutex mutex_;
    std::deque<Notification> unread_;
    std::vector<Notification> latest_;
    Window* window_ = nullptr;
    unsigned message_ = 0;
    bool wakePending_ = false;
};

}  // namespace platform
