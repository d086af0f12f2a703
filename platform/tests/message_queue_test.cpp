// Message queues: order, quit, disposal of unread messages, timers and the
// wake-up descriptor that poll()-based threads wait on.
#include <gtest/gtest.h>

#include <poll.h>
#include <thread>

#include "platform/message_queue.h"

namespace platform {
namespace {

bool readable(int fd) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 0) == 1 && (p.revents & POLLIN);
}

TEST(MessageQueue, DeliversInOrderAndSignalsWhileNotEmpty) {
    MessageQueue q;
    EXPECT_FALSE(readable(q.wakeFd()));
    EXPECT_FALSE(q.peek().has_value());
    ASSERT_TRUE(q.post({0x8000, 1, 10}));
    ASSERT_TRUE(q.post({0x8001, 2, 20}));
    EXPECT_TRUE(readable(q.wakeFd()));
    Message m;
    ASSERT_TRUE(q.get(m));
    EXPECT_EQ(m.message, 0x8000u);
    EXPECT_EQ(m.lParam, 10);
    EXPECT_TRUE(readable(q.wakeFd()));
    auto p = q.peek();
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(p->wParam, 2u);
    EXPECT_FALSE(readable(q.wakeFd()));
}

int disposed = 0;
void countDispose(std::intptr_t value) { disposed += static_cast<int>(value); }

TEST(MessageQueue, QuitOvertakesQueuedMessagesWhichAreDisposed) {
    disposed = 0;
    {
        MessageQueue q;
        q.post({0x8000, 0, 5, countDispose});
        q.post({0x8000, 0, 7, countDispose});
        EXPECT_FALSE(readable(q.quitFd()));
        q.postQuit();
        EXPECT_TRUE(readable(q.quitFd()));
        EXPECT_TRUE(q.quitPosted());
        EXPECT_TRUE(readable(q.wakeFd()));
        Message m;
        EXPECT_FALSE(q.get(m));
        EXPECT_EQ(m.message, MsgQuit);
        EXPECT_EQ(q.peek()->message, MsgQuit);
        // A post after quit is refused and stays the caller's.
        EXPECT_FALSE(q.post({0x8000, 0, 100, countDispose}));
        EXPECT_EQ(disposed, 0);
    }
    EXPECT_EQ(disposed, 12);
}

TEST(MessageQueue, PeriodicTimerTicksAndCanBeKilled) {
    MessageQueue q;
    q.setTimer(7, std::chrono::milliseconds(5));
    for (int i = 0; i < 3; ++i) {
        auto m = q.wait(std::chrono::seconds(5));
        ASSERT_TRUE(m.has_value());
        EXPECT_EQ(m->message, MsgTimer);
        EXPECT_EQ(m->wParam, 7u);
    }
    // Posted messages come before a due tick.
    q.post({0x8001, 0, 0});
    EXPECT_EQ(q.wait(std::chrono::seconds(5))->message, 0x8001u);
    q.killTimer(7);
    EXPECT_FALSE(q.wait(std::chrono::milliseconds(30)).has_value());
}

TEST(MessageQueue, LateTimerDoesNotCatchUp) {
    MessageQueue q;
    q.setTimer(1, std::chrono::milliseconds(2));
    // Nobody takes messages for a while; one tick is then due, not a burst.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_TRUE(q.peek().has_value());
    EXPECT_FALSE(q.peek().has_value());
}

}  // namespace
}  // namespace platform
