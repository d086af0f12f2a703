// The notification mailbox: copies that outlive the caller's buffer, the
// order of taking, one wake-up pending at a time, gauges coalescing beyond
// the capacity while events stay, and the newest copy of a code.
#include <gtest/gtest.h>

#include <vector>

#include "platform/notify_mailbox.h"

namespace platform {
namespace {

class WakeLog : public Window {
public:
    bool post(unsigned message, std::uintptr_t, std::intptr_t) override {
        wakes.push_back(message);
        return true;
    }
    std::vector<unsigned> wakes;
};

// Read as the programs read a block range or a StoreFailure: through a typed
// pointer, which must be aligned (UBSan says so when it is not).
int intAt(const Notification& n, std::size_t i) {
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(n.data()) % alignof(std::max_align_t), 0u);
    return static_cast<const int*>(n.data())[i];
}

TEST(NotifyMailbox, CopiesTheBytesAndBoundsThem) {
    int range[3] = {4, 9, 5};
    const Notification copied = copyNotification(7, 0, range, sizeof range);
    range[0] = range[1] = range[2] = -1;  // the library reuses its storage once the call returns
    ASSERT_EQ(copied.size, sizeof range);
    EXPECT_EQ(intAt(copied, 0), 4);
    EXPECT_EQ(intAt(copied, 2), 5);
    EXPECT_EQ(copied.value, 0);
    EXPECT_EQ(copied.data(), copied.bytes.data());

    unsigned char big[NotificationBytesMax + 10];
    for (std::size_t i = 0; i < sizeof big; ++i) big[i] = static_cast<unsigned char>(i);
    const Notification cut = copyNotification(8, 0, big, sizeof big);
    EXPECT_EQ(cut.size, NotificationBytesMax);
    EXPECT_EQ(cut.bytes.back(), NotificationBytesMax - 1);

    const Notification number = copyNotification(9, 3, reinterpret_cast<void*>(std::intptr_t{1234}), 0);
    EXPECT_EQ(number.value, 1234);
    EXPECT_EQ(number.size, 0u);
    EXPECT_EQ(number.data(), reinterpret_cast<const void*>(std::intptr_t{1234}));
    EXPECT_EQ(copyNotification(14, 4, nullptr, sizeof(int)).size, 0u);  // nothing to copy
}

TEST(NotifyMailbox, TakesInOrderWithOneWakeUpPendingAtATime) {
    NotifyMailbox box;
    box.post(copyNotification(1, 0, nullptr, 0));  // no reader yet: dropped
    WakeLog log;
    box.setWake(&log, 0x8001);
    int value = 10;
    for (int code = 1; code <= 3; ++code, ++value) box.post(copyNotification(code, code * 100, &value, sizeof value));
    value = -1;
    EXPECT_EQ(log.wakes, std::vector<unsigned>{0x8001});  // one wake-up for all three
    for (int code = 1; code <= 3; ++code) {
        const auto n = box.take();
        ASSERT_TRUE(n) << code;
        EXPECT_EQ(n->code, code);
        EXPECT_EQ(n->status, code * 100);
        EXPECT_EQ(intAt(*n, 0), 9 + code);
        // Woken again while more are unread, and not after the last one.
        EXPECT_EQ(log.wakes.size(), code < 3 ? 1u + code : 3u);
    }
    EXPECT_FALSE(box.take());
    box.post(copyNotification(4, 0, nullptr, 0));
    EXPECT_EQ(log.wakes.size(), 4u);

    box.setWake(nullptr, 0);  // the reader is gone: unread and later posts are dropped
    box.post(copyNotification(5, 0, nullptr, 0));
    EXPECT_FALSE(box.take());
    EXPECT_EQ(log.wakes.size(), 4u);
}

TEST(NotifyMailbox, BeyondItsCapacityGaugesCoalesceAndEventsStay) {
    NotifyMailbox box(3);
    WakeLog log;
    box.setWake(&log, 1);
    const auto gauge = [](int code, int status) { return copyNotification(code, status, nullptr, 0, true); };
    box.post(gauge(50, 1));
    box.post(copyNotification(60, 0, nullptr, 0));
    box.post(gauge(50, 2));  // at the capacity, not beyond: kept
    box.post(gauge(50, 3));  // replaces the oldest unread one of its code
    box.post(gauge(70, 1));  // no unread one of its code: kept
    for (int i = 0; i < 3; ++i) box.post(copyNotification(60, i + 1, nullptr, 0));  // events always stay

    std::vector<std::pair<int, int>> taken;
    while (auto n = box.take()) taken.emplace_back(n->code, n->status);
    EXPECT_EQ(taken, (std::vector<std::pair<int, int>>{{60, 0}, {50, 2}, {50, 3}, {70, 1}, {60, 1}, {60, 2}, {60, 3}}));

    // latest: the newest posted per code, whether taken or not.
    box.post(gauge(50, 9));
    ASSERT_TRUE(box.latest(50));
    EXPECT_EQ(box.latest(50)->status, 9);
    EXPECT_EQ(box.latest(60)->status, 3);
    EXPECT_FALSE(box.latest(80));
}

}  // namespace
}  // namespace platform
