// The command's own message queue: commlib's notifications and textlib's
// conversion messages are posted here from the libraries' threads and handled
// on the main thread, as the window programs handle them on their GUI thread.
#pragma once
#include <array>
#include <chrono>
#include <cstdint>
#include <optional>

#include "commlib/analyzer_words.h"
#include "commlib/remote.h"
#include "platform/message_queue.h"
#include "platform/window.h"
#include "textlib/text_convert.h"

namespace cli {

// Notifications come as NotifyMessage (commlib/analyzer_words.h).
inline constexpr unsigned kConvertMessage = 0x8002;  // wParam as textlib posts it

// One notification as the main thread sees it.
struct Note {
    int code = 0;
    int status = 0;
    std::intptr_t data = 0;  // the value itself; pointers are read on the library's thread
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

    // The callback to give to Remote::Initialize; it posts to the queue that was
    // created last (one session at a time per process).
    static NotifyFn callback();
    // The last block range that NtfyBlocks reported (first, next, count).
    static std::array<int, 3> last_blocks();
    // What the last NtfyStoreFailed reported, if one came since the queue was made.
    static std::optional<StoreFailure> last_store_failure();

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
    TextTarget text_window_{*this};
};

// Splits a NotifyMessage into its notification.
Note note_of(const platform::Message& m);

}  // namespace cli
