// Queues and events used across threads, as the link's threads use them.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/event.h"
#include "platform/message_queue.h"

namespace platform {
namespace {

TEST(MessageQueueThreads, BlockingGetWakesForPostsFromOtherThreads) {
    MessageQueue q;
    constexpr int PerThread = 500;
    std::vector<std::thread> posters;
    for (int t = 0; t < 3; ++t)
        posters.emplace_back([&q, t] {
            for (int i = 0; i < PerThread; ++i) q.post({0x8000, static_cast<std::uintptr_t>(t), i});
        });
    std::vector<int> next(3, 0);
    Message m;
    for (int n = 0; n < 3 * PerThread; ++n) {
        ASSERT_TRUE(q.get(m));
        // Each poster's messages arrive in the order it posted them.
        EXPECT_EQ(m.lParam, next[m.wParam]++);
    }
    for (auto& t : posters) t.join();
    std::thread quitter([&q] { q.postQuit(); });
    EXPECT_FALSE(q.get(m));
    quitter.join();
}

TEST(ManualResetEventThreads, StaysSetUntilResetAndWakesWaiters) {
    ManualResetEvent e;
    EXPECT_FALSE(e.wait(std::chrono::milliseconds(1)));
    std::thread setter([&e] { e.set(); });
    EXPECT_TRUE(e.wait(std::chrono::seconds(10)));
    setter.join();
    EXPECT_TRUE(e.wait(std::chrono::milliseconds(0)));
    EXPECT_TRUE(e.isSet());
    e.reset();
    EXPECT_FALSE(e.isSet());
    EXPECT_FALSE(e.wait(std::chrono::milliseconds(1)));
}

}  // namespace
}  // namespace platform
