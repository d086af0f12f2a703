// The posting interface that stands in for a window handle: commlib and the
// applications post (message, wParam, lParam) to it from any thread. Qt
// programs queue an event to their window; the command-line tool its queue.
//
// Errors: post() is false when the message could not be queued.
// Threads: post from any thread; the message is handled on the owner's thread.
#pragma once
#include <cstdint>

namespace platform {

class Window {
public:
    virtual ~Window() = default;
    // Queues the message for the window's own thread; false when it could not.
    // Must be safe to call from any thread.
    virtual bool post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
    // The window's title (capstore's prompt uses it as the message box caption).
    virtual const char* title() const { return ""; }
};
// It crosses into libcommlib.so by address (WindowHandle): entries and size never change.
static_assert(sizeof(Window) == sizeof(void*));

}  // namespace platform
