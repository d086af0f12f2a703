// The notification mailbox: a deque of owned copies under one mutex, the
// newest copy of each code beside it, and one pending wake-up at a time.
#include "platform/notify_mailbox.h"

#include <algorithm>
#include <cstring>

namespace platform {

Notification copyNotification(int code, int status, const void* data, std::size_t size, bool gauge) {
    Notification n;
    n.code = code;
    n.status = status;
    n.gauge = gauge;
    if (size == 0) {
        n.value = reinterpret_cast<std::intptr_t>(data);
    } else if (data) {
        n.size = std::min(size, NotificationBytesMax);
        std::memcpy(n.bytes.data(), data, n.size);
    }
    return n;
}

NotifyMailbox::NotifyMailbox(std::size_t capacity) : capacity_(capacity) { latest_.reserve(LatestCodesMax); }

void NotifyMailbox::setWake(Window* window, unsigned message) {
    const std::lock_guard lock(mutex_);
    window_ = window;
    message_ = message;
    wakePending_ = false;
    if (!window_) unread_.clear();
}

// The wake-up is posted under the lock, so that once setWake has taken the
// window away no post reaches it any more.
void NotifyMailbox::wakeLocked() {
    if (wakePending_ || unread_.empty() || !window_) return;
    wakePending_ = window_->post(message_, 0, 0);
}

void NotifyMailbox::post(const Notification& notification) {
    const std::lock_guard lock(mutex_);
    if (!window_) return;
    const auto same = std::find_if(latest_.begin(), latest_.end(),
                                   [&](const Notification& n) { return n.code == notification.code; });
    if (same != latest_.end()) *same = notification;
    else if (latest_.size() < LatestCodesMax) latest_.push_back(notification);

    if (notification.gauge && unread_.size() >= capacity_) {
        const auto older = std::find_if(unread_.begin(), unread_.end(),
                                        [&](const Notification& n) { return n.code == notification.code; });
        if (older != unread_.end()) unread_.erase(older);
    }
    unread_.push_back(notification);
    wakeLocked();
}

std::optional<Notification> NotifyMailbox::take() {
    const std::lock_guard lock(mutex_);
    wakePending_ = false;  // this take answers the wake-up that was pending
    if (unread_.empty()) return std::nullopt;
    Notification n = unread_.front();
    unread_.pop_front();
    wakeLocked();
    return n;
}

std::optional<Notification> NotifyMailbox::latest(int code) const {
    const std::lock_guard lock(mutex_);
    for (const Notification& n : latest_)
        if (n.code == code) return n;
    return std::nullopt;
}

}  // namespace platform
