// Posting the library's notifications: the key code is answered here, the
// stop reason is read here (its storage may change once the call returns),
// and everything else travels as (status << 16 | code, data).
#include "ui/notify_bridge.h"

#include <mutex>

#include "app/notify_codes.h"
#include "commlib/remote.h"

#include <cstring>

namespace capstore {
namespace {

std::atomic<platform::Window*> g_window{nullptr};
std::atomic<unsigned> g_port_not_open{0};
std::mutex g_blocks_mutex;
int g_blocks[3] = {};
StoreFailure g_store_failure{};

}  // namespace

void attach_notify_window(platform::Window* window) { g_window.store(window); }

std::atomic<unsigned>& port_not_open_posts() { return g_port_not_open; }

StoreFailure latest_store_failure() {
    const std::lock_guard lock(g_blocks_mutex);
    return g_store_failure;
}

void latest_blocks(int (&out)[3]) {
    const std::lock_guard lock(g_blocks_mutex);
    std::memcpy(out, g_blocks, sizeof g_blocks);
}

int notify_callback(int code, int status, void* data) {
    if (code == NtfyKey) return 1;
    platform::Window* window = g_window.load();
    if (status == StatusPortNotOpen) ++g_port_not_open;
    if (!window) return 0;
    if (code == NtfyBlocks && data) {
        const std::lock_guard lock(g_blocks_mutex);
        std::memcpy(g_blocks, data, sizeof g_blocks);
    }
    if (code == NtfyStoreFailed && data) {
        const std::lock_guard lock(g_blocks_mutex);
        g_store_failure = *static_cast<const StoreFailure*>(data);
    }
    if (code == ReqGetStopReason) {
        const std::intptr_t reason = status == StatusDone && data ? *static_cast<const int*>(data) : -1;
        window->post(NotifyMessage, static_cast<std::uintptr_t>(ReqGetStopReason), reason);
        return 0;
    }
    window->post(NotifyMessage, PackNotification(status, code), reinterpret_cast<std::intptr_t>(data));
    return 0;
}

}  // namespace capstore
