// The library's callback: post only, never touch the window's state here.
#include "frontpad/notify_forward.h"

#include <atomic>

#include "commlib/remote.h"
#include "platform/window.h"

namespace frontpad {
namespace {

std::atomic<platform::Window*> target{nullptr};
thread_local unsigned callsOnThisThread = 0;

}  // namespace

void setNotifyTarget(platform::Window* window) { target.store(window); }

int forwardNotification(int code, int status, void* data) {
    ++callsOnThisThread;
    if (code == NtfyKey) return 1;  // the panel's own keys are not echoed back
    platform::Window* window = target.load();
    if (!window) return 0;
    if (code == ReqGetStopReason) {
        const std::intptr_t reason = status == 0 && data ? *static_cast<const int*>(data) : -1;
        window->post(NotifyMessage, static_cast<std::uintptr_t>(ReqGetStopReason), reason);
        return 0;
    }
    window->post(NotifyMessage, PackNotification(status, code), reinterpret_cast<std::intptr_t>(data));
    return 0;
}

unsigned inlineNotifications() { return callsOnThisThread; }

}  // namespace frontpad
