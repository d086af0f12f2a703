// The queue behind the command's window stand-in, and the notification callback
// that runs on commlib's protocol thread and does nothing but post.
#include "session/notify_queue.h"

#include <atomic>
#include <mutex>

namespace cli {
namespace {

std::atomic<NotifyQueue*> g_target{nullptr};
std::mutex g_blocks_mutex;
std::array<int, 3> g_blocks{};
std::optional<StoreFailure> g_store_failure;

int on_notify(int code, int status, void* data) {
    // The analyzer's own panel keys stay with the analyzer: the command never echoes them.
    if (code == NtfyKey) return 1;
    std::intptr_t value = reinterpret_cast<std::intptr_t>(data);
    if (code == ReqGetStopReason) {
        // The library keeps the reason only until the next query; take it now.
        value = (status == StatusDone && data) ? *static_cast<const int*>(data) : -1;
    } else if (code == NtfyBlocks && data) {
        const int* r = static_cast<const int*>(data);
        std::lock_guard lock(g_blocks_mutex);
        g_blocks = {r[0], r[1], r[2]};
        value = 0;
    } else if (code == NtfyStoreFailed && data) {
        // Valid only during the call: keep a copy for the main thread.
        std::lock_guard lock(g_blocks_mutex);
        g_store_failure = *static_cast<const StoreFailure*>(data);
        value = 0;
    } else if (code != NtfyBlockFill && code != NtfyLost && code != NtfyTrimmed) {
        value = 0;  // other pointers belong to the library; the accessors read them later
    }
    if (NotifyQueue* q = g_target.load()) {
        q->post(NotifyMessage, PackNotification(status, code), value);
    }
    return 0;
}

}  // namespace

NotifyQueue::NotifyQueue() {
    {
        std::lock_guard lock(g_blocks_mutex);
        g_blocks = {};
        g_store_failure.reset();
    }
    g_target.store(this);
}

NotifyQueue::~NotifyQueue() {
    NotifyQueue* self = this;
    g_target.compare_exchange_strong(self, nullptr);
}

bool NotifyQueue::post(unsigned message, std::uintptr_t w_param, std::intptr_t l_param) {
    return queue_.post(platform::Message{message, w_param, l_param, nullptr});
}

NotifyFn NotifyQueue::callback() { return on_notify; }

std::array<int, 3> NotifyQueue::last_blocks() {
    std::lock_guard lock(g_blocks_mutex);
    return g_blocks;
}

std::optional<StoreFailure> NotifyQueue::last_store_failure() {
    std::lock_guard lock(g_blocks_mutex);
    return g_store_failure;
}

Note note_of(const platform::Message& m) {
    return Note{NotificationCode(m.wParam), NotificationStatus(m.wParam), m.lParam};
}

}  // namespace cli
