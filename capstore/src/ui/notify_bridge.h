// The library's notification callback. It runs on commlib's protocol thread
// (or inside Request for status 2), touches no window state and only posts
// a copy to the mailbox, which wakes the attached window with NotifyMessage.
#pragma once
#include <atomic>
#include <optional>

#include "commlib/remote.h"
#include "platform/notify_mailbox.h"
#include "platform/window.h"

namespace capstore {

// The window that is woken for the notifications; null detaches and drops
// what it has not read.
void attach_notify_window(platform::Window* window);
int notify_callback(int code, int status, void* data);
// How many status-2 notifications were posted; MainController compares it
// around Request to tell a closed port from a request the library never took.
std::atomic<unsigned>& port_not_open_posts();

// The GUI thread, for each NotifyMessage: the next notification, if any. Its
// block range and store failure are the copies the callback made.
std::optional<platform::Notification> take_notification();

}  // namespace capstore
