// The notification mailbox between a library's thread and a reader that
// waits for its wake-ups in a message queue, as the command-line tool does.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "platform/message_queue.h"
#include "platform/notify_mailbox.h"

namespace platform {
namespace {

class QueueWindow : public Window {
public:
    bool post(unsigned message, std::uintptr_t w, std::intptr_t l) override { return queue.post({message, w, l}); }
    MessageQueue queue;
};

TEST(NotifyMailboxThreads, EveryCopyArrivesInOrderWhileThePosterReusesItsBuffer) {
    constexpr int PostCount = 3000;
    QueueWindow window;
    NotifyMailbox box;
    box.setWake(&window, 0x8001);
    std::thread library([&box] {
        int range[3];
        for (int i = 0; i < PostCount; ++i) {
            range[0] = i, range[1] = i + 1, range[2] = -i;
            box.post(copyNotification(0x9004, i, range, sizeof range));
        }
    });
    int next = 0;
    int wrong = 0;  // copies that are not the next one as it was posted
    Message m;
    while (next < PostCount && window.queue.get(m)) {
        const auto n = box.take();
        if (!n) continue;
        int range[3];
        std::memcpy(range, n->bytes.data(), sizeof range);
        if (m.message != 0x8001u || n->status != next || range[0] != next || range[1] != next + 1 || range[2] != -next)
            ++wrong;
        ++next;
    }
    library.join();
    EXPECT_EQ(next, PostCount);
    EXPECT_EQ(wrong, 0);
    EXPECT_FALSE(box.take());
}

}  // namespace
}  // namespace platform
