// The notification callback frontpad gives the library. It runs on the
// library's protocol thread (and inside Request for "port not open"), so it
// only posts NotifyMessage to the window (its word packed as
// commlib/analyzer_words.h says); the window handles it later.
//
// Errors: none; a notification with no target is dropped.
// Threads: forwardNotification on any thread (the library's); setNotifyTarget
// from any.
#pragma once
#include "commlib/analyzer_words.h"

namespace platform {
class Window;
}  // namespace platform

namespace frontpad {

// Where the callback posts; null drops notifications. Safe from any thread.
void setNotifyTarget(platform::Window* target);

// The NotifyFn: NtfyKey answers 1 and posts nothing; code 14 posts wParam 14
// and the reason (or -1); everything else posts (status << 16) | code with
// the data as a number (commlib/notification_data.h: 0 for the notifications
// whose data points into the library's storage, which the panel never reads).
int forwardNotification(int code, int status, void* data);

// How often the callback ran on the calling thread. A Request that answered
// at once (port not open) ran it inline, which tells such a request apart
// from one the library did not take.
unsigned inlineNotifications();

}  // namespace frontpad
