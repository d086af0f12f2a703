// Posting the library's notifications: the key code is answered here, and
// everything else is copied into the mailbox (the data the library points to
// may change once the call returns) for the window to take in order.
#include "ui/notify_bridge.h"

#include "app/notify_codes.h"
#include "commlib/notification_data.h"

namespace capstore {
namespace {

std::atomic<unsigned> g_port_not_open{0};

platform::NotifyMailbox& mailbox() {
    static platform::NotifyMailbox box;
    return box;
}

}  // namespace

void attach_notify_window(platform::Window* window) { mailbox().setWake(window, NotifyMessage); }

std::atomic<unsigned>& port_not_open_posts() { return g_port_not_open; }

std::optional<platform::Notification> take_notification() { return mailbox().take(); }

int notify_callback(int code, int status, void* data) {
    if (code == NtfyKey) return 1;
    if (status == StatusPortNotOpen) ++g_port_not_open;
    mailbox().post(CopyNotification(code, status, data));
    return 0;
}

}  // namespace capstore
