// The command's own message queue: textlib's conversion messages are posted
// here from the libraries' threads, and commlib's notifications are copied
// into the queue's mailbox, which wakes the queue with NotifyMessage; the main
// thread handles both, as the window programs handle them on their GUI thread.
#pragma once
#include <array>
#include <chrono>
#include <cstdint>
#include <optional>

#include "commlib/analyzer_words.h"
#include "commlib/remote.h"
#include "platform/message_queue.h"
#include "platform/notify_mailbox.h"
#include "platform/window.h"
#include "textlib/text_convert.h"

namespace cli {

// Notifications wake the queue as NotifyMessage (commlib/analyzer_words.h).
inline constexpr unsigned kConvertMessage = 0x8002;  // wParam as textlib posts it

// One notification as the main thread sees it.
struct Note {
    int code = 0;
    int status = 0;
    std::intptr_t data = 0;  // the value itself, or the stop reason; pointers are copied on the library's thread
};

class NotifyQueue final : public platform::Window {
public:
    NotifyQueue();
    ~NotifyQueue() override;
    NotifyQueue(const NotifyQueue&) = delete;
    NotifyQueue& operator=(const NotifyQueue&) = delete;

    bool post(unsigned message, std::uintptr_t w_param, std::intptr_t l_param) override;
    const char* title() const override { return "zamvex"; }

    // Main thread: the next message, or nothing after `limit`.
    std::optional<platform::Message> wait(std::chrono::milliseconds limit) { return queue_.wait(limit); }
    // Main thread, for each NotifyMessage: the notification it wakes for, if any.
    std::optional<Note> take_note();
    // Main thread: drops every unread notification and message.
    void discard();

    // The callback to give to Remote::Initialize; it posts to the queue that was
    // created last (one session at a time per process).
    static NotifyFn callback();
    // The last block range that NtfyBlocks reported (first, next, count), read
    // or not yet, to the queue that was created last.
    static std::array<int, 3> last_blocks();
    // What the last NtfyStoreFailed reported, if one came since that queue was made.
    static std::optional<StoreFailure> last_store_failure();

    // Where the callback posts the library's notifications.
    platform::NotifyMailbox& mailbox() { return mailbox_; }
    // The same queue as textlib's notification target.
    TextWindow* text_window() { return &text_window_; }

private:
    class TextTarget final : public TextWindow {
    public:
        explicit TextTarget(NotifyQueue& q) : q_(q) {}
        void post(unsigned message, std::uintptr_t w_param, std::intptr_t l_param) override {
            q_.post(message, w_param, l_param);
        }

    private:
        NotifyQueue& q_;
    };

    platform::MessageQueue queue_;
    platform::NotifyMailbox mailbox_;  // wakes queue_, so it goes first
    TextTarget text_window_{*this};
};

}  // namespace cli
