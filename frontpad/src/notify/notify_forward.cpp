// The library's callback: copy and post only, never touch the window's state here.
#include "frontpad/notify_forward.h"

#include <atomic>

#include "commlib/notification_data.h"
#include "commlib/remote.h"
#include "platform/window.h"

namespace frontpad {
namespace {

std::atomic<platform::Window*> target{nullptr};
thread_local unsigned callsOnThisThread = 0;

}  // namespace

void setNotifyTarget(platform::Window* window) { target.store(window); }

// Everything the panel reads of a notification fits the posted message, so
// the window's own event queue keeps them in order; the stop reason is read
// from the callback's copy of the library's storage.
int forwardNotification(int code, int status, void* data) {
    ++callsOnThisThread;
    if (code == NtfyKey) return 1;  // the panel's own keys are not echoed back
    platform::Window* window = target.load();
    if (!window) return 0;
    const platform::Notification n = CopyNotification(code, status, data);
    if (code == ReqGetStopReason) {
        window->post(NotifyMessage, static_cast<std::uintptr_t>(ReqGetStopReason), StopReasonOf(n));
        return 0;
    }
    window->post(NotifyMessage, PackNotification(status, code), n.value);
    return 0;
}

unsigned inlineNotifications() { return callsOnThisThread; }

}  // namespace frontpad
