// The library's notification callback. It runs on commlib's protocol thread
// (or inside Request for status 2), touches no window state and only posts
// message 0x8001 to the window that is attached.
#pragma once
#include <atomic>

#include "commlib/remote.h"
#include "platform/window.h"

namespace capstore {

// The window that receives the notifications; null detaches.
void attach_notify_window(platform::Window* window);
int notify_callback(int code, int status, void* data);
// How many status-2 notifications were posted; MainController compares it
// around Request to tell a closed port from a request the library never took.
std::atomic<unsigned>& port_not_open_posts();

// The library rewrites its block-range storage with every report while the
// window reads it later on its own thread; the callback keeps a consistent
// copy of the latest range here instead.
void latest_blocks(int (&out)[3]);
// The same for the report of NtfyStoreFailed, which lives only during the call.
StoreFailure latest_store_failure();

}  // namespace capstore
