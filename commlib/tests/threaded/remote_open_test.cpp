// The interface object with the port open on a pty: requests handed over,
// accessors, and fifty Open/Close rounds that leave no thread or descriptor.
#include <gtest/gtest.h>

#include <dirent.h>
#include <atomic>
#include <cstring>
#include <string>

#include "../fake_engine.h"
#include "remote/remote_impl.h"
#include "testing/pty_pair.h"

namespace commlib {
namespace {

using testing_fake::FakeEngine;
using testing_fake::Seen;

std::size_t CountEntries(const char* dir) {
    std::size_t n = 0;
    if (DIR* d = ::opendir(dir)) {
        while (::readdir(d)) ++n;
        ::closedir(d);
    }
    return n;
}

std::atomic<int> notified{0};
int CountNote(int, int, void*) { return ++notified, 0; }

class RemoteOpen : public ::testing::Test {
protected:
    testing_util::PtyPair pty;
    RemoteImpl remote{testing_fake::MakeFakeEngine};
    FakeEngine& Fake() { return static_cast<FakeEngine&>(remote.GetEngine()); }
    void SetUp() override {
        const PortSettings port{pty.slave_path().c_str(), 230400, 0, 1};
        ASSERT_EQ(remote.Initialize(nullptr, CountNote, &port, nullptr), 0);
    }
};

TEST_F(RemoteOpen, RequestIsTakenByTheProtocolThreadAndAccessorsForward) {
    ASSERT_EQ(remote.Open(), 0);
    EXPECT_EQ(remote.Request(ReqGetTable, 0, 0), 1);
    auto seen = Fake().AllSeen();
    ASSERT_EQ(FakeEngine::Count(seen, Seen::Request), 1u);
    char name[5];
    EXPECT_STREQ(remote.GetModelName(name, sizeof name), "RV-7");
    EXPECT_EQ(remote.GetVersion(), 0x102000);
    EXPECT_EQ(remote.GetLinkMode(), 2);
    EXPECT_EQ(remote.GetStatus(), 0x100);
    EXPECT_EQ(remote.ResetLink(), 0);
    remote.Close();
    const int before = notified.load();
    EXPECT_EQ(remote.Request(ReqConnect, 0, 0), 0);  // closed again: answered at once
    EXPECT_EQ(notified.load(), before + 1);
    EXPECT_EQ(remote.GetLinkMode(), 0);
    EXPECT_EQ(remote.GetVersion(), 0);
    EXPECT_STREQ(remote.GetModelName(name, sizeof name), "");
    // ResetLink, and Close's own reset.
    EXPECT_EQ(FakeEngine::Count(Fake().AllSeen(), Seen::Reset), 2u);
}

TEST_F(RemoteOpen, RequestGivesUpWhenTheProtocolThreadDoesNotTakeIt) {
    std::atomic<bool> release{false};
    Fake().onRequest = [&](int code, int) {
        if (code != ReqMeasure) return;
        while (!release.load()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    };
    ASSERT_EQ(remote.Open(), 0);
    const auto start = std::chrono::steady_clock::now();
    std::thread unblock([&] {
        // Keep the engine busy past Request's 3 s limit, then let it go.
        std::this_thread::sleep_for(std::chrono::milliseconds(3500));
        release = true;
    });
    EXPECT_EQ(remote.Request(ReqMeasure, 1, 0), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2900));
    unblock.join();
    remote.Close();
}

TEST_F(RemoteOpen, FiftyOpenCloseRoundsLeakNoThreadOrDescriptor) {
    ASSERT_EQ(remote.Open(), 0);  // warm up anything created once
    remote.Close();
    const std::size_t fds = CountEntries("/proc/self/fd");
    const std::size_t threads = CountEntries("/proc/self/task");
    const int failures = notified.load();
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(remote.Open(), 0) << "round " << i;
        remote.Close();
    }
    EXPECT_EQ(CountEntries("/proc/self/fd"), fds);
    EXPECT_EQ(CountEntries("/proc/self/task"), threads);
    EXPECT_EQ(notified.load(), failures);  // no open failed
    // Open on an open port closes first, and still leaks nothing.
    ASSERT_EQ(remote.Open(), 0);
    ASSERT_EQ(remote.Open(), 0);
    remote.Close();
    EXPECT_EQ(CountEntries("/proc/self/fd"), fds);
}

}  // namespace
}  // namespace commlib
