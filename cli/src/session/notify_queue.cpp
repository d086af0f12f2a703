// The queue behind the command's window stand-in, and the notification callback
// that runs on commlib's protocol thread and does nothing but copy and post.
#include "session/notify_queue.h"

#include <atomic>
#include <cstring>

#include "commlib/notification_data.h"

namespace cli {
namespace {

std::atomic<NotifyQueue*> g_target{nullptr};

int on_notify(int code, int status, void* data) {
    // The analyzer's own panel keys stay with the analyzer: the command never echoes them.
    if (code == NtfyKey) return 1;
    if (NotifyQueue* q = g_target.load()) q->mailbox().post(CopyNotification(code, status, data));
    return 0;
}

// The copy of what NtfyBlocks or NtfyStoreFailed pointed to.
template <class T>
std::optional<T> latest_copy(int code) {
    NotifyQueue* q = g_target.load();
    const auto n = q ? q->mailbox().latest(code) : std::nullopt;
    if (!n || n->size != sizeof(T)) return std::nullopt;
    T value;
    std::memcpy(&value, n->bytes.data(), sizeof value);
    return value;
}

}  // namespace

NotifyQueue::NotifyQueue() {
    mailbox_.setWake(this, NotifyMessage);
    g_target.store(this);
}

NotifyQueue::~NotifyQueue() {
    NotifyQueue* self = this;
    g_target.compare_exchange_strong(self, nullptr);
    mailbox_.setWake(nullptr, 0);
}

bool NotifyQueue::post(unsigned message, std::uintptr_t w_param, std::intptr_t l_param) {
    return queue_.post(platform::Message{message, w_param, l_param, nullptr});
}

std::optional<Note> NotifyQueue::take_note() {
    const auto n = mailbox_.take();
    if (!n) return std::nullopt;
    // Block ranges and store failures are read through last_blocks and last_store_failure.
    return Note{n->code, n->status, n->code == ReqGetStopReason ? StopReasonOf(*n) : n->value};
}

void NotifyQueue::discard() {
    while (mailbox_.take()) {}
    while (queue_.wait(std::chrono::milliseconds(0))) {}
}

NotifyFn NotifyQueue::callback() { return on_notify; }

std::array<int, 3> NotifyQueue::last_blocks() {
    return latest_copy<std::array<int, 3>>(NtfyBlocks).value_or(std::array<int, 3>{});
}

std::optional<StoreFailure> NotifyQueue::last_store_failure() { return latest_copy<StoreFailure>(NtfyStoreFailed); }

}  // namespace cli
