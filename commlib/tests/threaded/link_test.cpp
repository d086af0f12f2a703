// The running link over a pty pair: what the writer puts on the line, what
// the reader hands to the protocol thread (split at every position, through
// injected read errors, dropped while idle, discarded on reset), requests,
// ticks, modem lines and quitting in the middle of a write.
#include <gtest/gtest.h>

#include <sys/ioctl.h>
#include <deque>
#include <future>
#include <thread>

#include "../fake_engine.h"
#include "link/framing.h"
#include "link/link_context.h"
#include "link/serial_link.h"
#include "testing/pty_pair.h"

namespace commlib {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing_fake::FakeEngine;
using testing_fake::Seen;
using namespace std::chrono_literals;

// Passes calls to the kernel, counting the bytes the reader took, failing
// reads on request and recording modem-line changes.
class ObservedCalls : public platform::SysCalls {
public:
    ssize_t read(int fd, void* buf, std::size_t size) override {
        {
            std::lock_guard lock(mutex_);
            if (!readErrors_.empty()) {
                errno = readErrors_.front();
                readErrors_.pop_front();
                ++failedReads_;
                cv_.notify_all();
                return -1;
            }
        }
        const ssize_t n = SysCalls::read(fd, buf, size);
        if (n > 0) {
            std::lock_guard lock(mutex_);
            bytesRead_ += static_cast<std::size_t>(n);
            cv_.notify_all();
        }
        return n;
    }
    ssize_t write(int fd, const void* buf, std::size_t size) override {
        {
            std::lock_guard lock(mutex_);
            if (!writeErrors_.empty()) {
                errno = writeErrors_.front();
                writeErrors_.pop_front();
                return -1;
            }
        }
        const ssize_t n = SysCalls::write(fd, buf, size);
        // Refused or only partly taken: the line is not keeping up.
        if ((n < 0 && errno == EAGAIN) || (n >= 0 && static_cast<std::size_t>(n) < size)) {
            std::lock_guard lock(mutex_);
            ++writesRefused_;
            cv_.notify_all();
        }
        return n;
    }
    bool WaitWriteRefused() {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, 10s, [&] { return writesRefused_ > 0; });
    }
    int ioctl(int fd, unsigned long request, void* arg) override {
        if (request == TIOCMBIS || request == TIOCMBIC) {
            const int bits = *static_cast<int*>(arg);
            std::lock_guard lock(mutex_);
            // Appended rather than "+" + std::string(...): g++ 12 at -O3 warns
            // (-Wrestrict) about that operator+ on a path it cannot rule out.
            std::string change = request == TIOCMBIS ? "+" : "-";
            change += bits == TIOCM_DTR ? "DTR" : "RTS";
            modem_.push_back(change);
            if (modemError_ != 0) {
                errno = modemError_;
                return -1;
            }
        }
        return SysCalls::ioctl(fd, request, arg);
    }
    // Every modem-line change fails with err from now on.
    void FailModem(int err) {
        std::lock_guard lock(mutex_);
        modemError_ = err;
    }
    void FailReads(std::initializer_list<int> errors) {
        std::lock_guard lock(mutex_);
        readErrors_.insert(readErrors_.end(), errors);
    }
    void FailWrites(std::initializer_list<int> errors) {
        std::lock_guard lock(mutex_);
        writeErrors_.insert(writeErrors_.end(), errors);
    }
    std::size_t BytesRead() {
        std::lock_guard lock(mutex_);
        return bytesRead_;
    }
    bool WaitBytesRead(std::size_t total) {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, 10s, [&] { return bytesRead_ >= total; });
    }
    std::vector<std::string> Modem() {
        std::lock_guard lock(mutex_);
        return modem_;
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<int> readErrors_, writeErrors_;
    std::size_t bytesRead_ = 0;
    int failedReads_ = 0;
    int writesRefused_ = 0;
    int modemError_ = 0;
    std::vector<std::string> modem_;
};

class Link : public ::testing::Test {
protected:
    testing_util::PtyPair pty;
    ObservedCalls calls;
    SerialLink link{calls};
    FakeEngine engine{link};

    void SetUp() override {
        link.Attach(engine);
        ASSERT_EQ(link.Open(pty.slave_path(), {115200, platform::Parity::None, false}), LinkOpen::Ok);
    }
    // The link must stop before the engine it drives goes away.
    void TearDown() override { link.Close(); }
};

Bytes BytesOf(std::string_view s) { return Bytes(s.begin(), s.end()); }

TEST_F(Link, WriterPutsRawBytesAndFramesOnTheLineUnchanged) {
    Bytes all(256);
    for (int i = 0; i < 256; ++i) all[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    engine.onRequest = [&](int, int) {
        engine.out.SendRaw(MakeMessage(FramingText, "###"));
        engine.out.SendFrame(MakeMessage(FramingSyn, Bytes{0x30, 0x00}));
        engine.out.SendRaw(MakeMessage(FramingText, all));
    };
    ASSERT_TRUE(link.Request(ReqConnect, 0, 0));
    Bytes expected = BytesOf("###");
    for (std::uint8_t b : {0x16, 0x30, 0x00, 0xE5, 0xB9, 0x16}) expected.push_back(b);
    expected.insert(expected.end(), all.begin(), all.end());
    EXPECT_EQ(pty.read(expected.size(), 10s), expected);
    // Each completed write is reported to the protocol thread.
    EXPECT_TRUE(engine.WaitFor([](auto& s) { return FakeEngine::Count(s, Seen::Event) >= 3; }));
    for (const Seen& s : engine.Events()) EXPECT_EQ(s.a, EvWriteDone);
}

TEST_F(Link, RequestsReachTheEngineWithCodeAndParam) {
    ASSERT_TRUE(link.Request(ReqKey, 0x1234, 77));
    ASSERT_TRUE(link.Request(ReqMeasure, 1, 0));
    const auto seen = engine.AllSeen();
    std::vector<Seen> requests;
    for (const Seen& s : seen)
        if (s.kind == Seen::Request) requests.push_back(s);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].a, ReqKey);
    EXPECT_EQ(requests[0].b, 0x1234);
    EXPECT_EQ(requests[0].data, 77);
    EXPECT_NE(requests[0].thread, std::this_thread::get_id());
    EXPECT_EQ(requests[1].a, ReqMeasure);
    EXPECT_EQ(requests[1].b, 1);
}

TEST_F(Link, ReceivedBytesArriveAsEventsWhereverTheyAreSplit) {
    Bytes stream = BytesOf("*?RV-7030 1.05\r%@X\r$0102FD\r");
    const Bytes frame = SynFrame(Bytes{0x41, 0x00, 0x02, 0x34, 0x10, 0x16});
    stream.insert(stream.end(), frame.begin(), frame.end());
    const std::vector<int> expected{EvAck, EvNak, EvLine, EvPercentLine, EvLine, EvFrame};
    std::size_t fed = 0;
    for (std::size_t cut = 1; cut < stream.size(); ++cut) {
        // The first part is read on its own before the rest is written.
        pty.write(Bytes(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(cut)));
        ASSERT_TRUE(calls.WaitBytesRead(fed + cut));
        pty.write(Bytes(stream.begin() + static_cast<std::ptrdiff_t>(cut), stream.end()));
        fed += stream.size();
        ASSERT_TRUE(engine.WaitForEvents(expected.size())) << "cut at " << cut;
        const auto events = engine.Events();
        ASSERT_EQ(events.size(), expected.size()) << "cut at " << cut;
        for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(events[i].a, expected[i]) << "cut " << cut;
        EXPECT_EQ(events[2].bytes, BytesOf("RV-7030 1.05"));
        EXPECT_EQ(events[4].bytes, (Bytes{0x01, 0x02}));
        EXPECT_EQ(events[5].bytes, (Bytes{0x41, 0x00, 0x02, 0x34, 0x10, 0x16}));
        EXPECT_NE(events[5].thread, std::this_thread::get_id());
        // After a frame the reader waits inside the next one; the engine's
        // reset makes it start afresh for the next round.
        link.ResetEngine();
        engine.Clear();
    }
}

TEST_F(Link, ReadErrorsDoNotLoseTheStream) {
    // Errors that pass; EIO and the like mean the device is gone (below).
    calls.FailReads({ENOMEM, EAGAIN, EINTR, ENOMEM});
    pty.write("%T1\r*");
    ASSERT_TRUE(engine.WaitForEvents(2));
    const auto events = engine.Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].a, EvPercentLine);
    EXPECT_EQ(events[0].bytes, BytesOf("T1"));
    EXPECT_EQ(events[1].a, EvAck);
}

TEST_F(Link, AStalledEngineHoldsTheLineInThePortNotInMemory) {
    // The engine stops at the first event, as when a block file write stalls.
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    engine.onEvent = [released](int) { released.wait(); };
    constexpr int Lines = 4000;  // twice what may leave the port while the engine stands still
    std::string lines;
    for (int i = 0; i < Lines; ++i) lines += "%AB\r";
    std::thread writer([&] { pty.write(lines); });  // blocks while the port's buffers are full
    ASSERT_TRUE(calls.WaitBytesRead(4 * MaxReceivedQueued));
    std::this_thread::sleep_for(300ms);
    // At most the allowed backlog, plus what one read takes in, left the port.
    EXPECT_LE(calls.BytesRead(), 4u * (MaxReceivedQueued + 1) + 4096u);
    release.set_value();  // from here on every event passes at once
    writer.join();
    ASSERT_TRUE(engine.WaitForEvents(Lines));
    const auto events = engine.Events();
    ASSERT_EQ(events.size(), static_cast<std::size_t>(Lines));
    for (const Seen& s : events) EXPECT_EQ(s.bytes, BytesOf("AB"));
}

// How a port can go away for good, each seen by the reader or the writer.
enum class Gone { ReadEio, ReadEnxio, WriteEio, WriteEnxio, MasterClosed };

TEST(LinkGone, APortThatFailsForGoodIsReportedOnceAndTheLinkStillCloses) {
    for (Gone how : {Gone::ReadEio, Gone::ReadEnxio, Gone::WriteEio, Gone::WriteEnxio, Gone::MasterClosed}) {
        SCOPED_TRACE(static_cast<int>(how));
        testing_util::PtyPair pty;
        ObservedCalls calls;
        SerialLink link{calls};
        FakeEngine engine{link};
        link.Attach(engine);
        ASSERT_EQ(link.Open(pty.slave_path(), {115200, platform::Parity::None, false}), LinkOpen::Ok);
        pty.write("*");  // what came before is still delivered
        ASSERT_TRUE(engine.WaitForEvents(1));
        switch (how) {
        case Gone::ReadEio:
            calls.FailReads({EIO});
            pty.write("?");
            break;
        case Gone::ReadEnxio:
            calls.FailReads({ENXIO});
            pty.write("?");
            break;
        case Gone::WriteEio:
        case Gone::WriteEnxio:
            calls.FailWrites({how == Gone::WriteEio ? EIO : ENXIO});
            engine.onRequest = [&](int, int) { engine.out.SendRaw(MakeMessage(FramingText, "###")); };
            ASSERT_TRUE(link.Request(ReqConnect, 0, 0));
            break;
        case Gone::MasterClosed: pty.close_master(); break;
        }
        ASSERT_TRUE(engine.WaitForEvents(2));
        std::this_thread::sleep_for(100ms);  // nothing else follows
        const auto events = engine.Events();
        ASSERT_EQ(events.size(), 2u);
        EXPECT_EQ(events[0].a, EvAck);
        EXPECT_EQ(events[1].a, EvLineGone);
        link.Close();
        EXPECT_FALSE(link.IsOpen());
    }
}

TEST_F(Link, BytesWhileIdleAreDroppedAndResetDiscardsThePartialMessage) {
    engine.currentState = 0;
    const std::size_t asked = engine.StateQueries();
    pty.write("*");
    // The reader has looked at the engine's state for this byte: it is gone.
    ASSERT_TRUE(engine.WaitStateQueries(asked + 1));
    engine.currentState = 1;
    pty.write("%T0");
    ASSERT_TRUE(calls.WaitBytesRead(4));
    link.ResetEngine();
    pty.write("?");
    ASSERT_TRUE(engine.WaitForEvents(1));
    const auto events = engine.Events();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].a, EvNak);
}

TEST_F(Link, TicksEvery200MsAndResetRunOnTheProtocolThread) {
    ASSERT_TRUE(engine.WaitFor([](auto& s) { return FakeEngine::Count(s, Seen::Tick) >= 3; }));
    link.ResetEngine();
    const auto seen = engine.AllSeen();
    std::thread::id protocol;
    for (const Seen& s : seen) {
        if (s.kind != Seen::Tick && s.kind != Seen::Reset) continue;
        if (protocol == std::thread::id()) protocol = s.thread;
        EXPECT_EQ(s.thread, protocol);
    }
    EXPECT_NE(protocol, std::this_thread::get_id());
    EXPECT_EQ(FakeEngine::Count(seen, Seen::Reset), 1u);
}

TEST_F(Link, ModemLinesRiseWithTheProtocolThreadAndFallInReverse) {
    link.Close();
    EXPECT_EQ(calls.Modem(), (std::vector<std::string>{"+DTR", "+RTS", "-RTS", "-DTR"}));
    EXPECT_FALSE(link.Cts());
    // Close ran the engine reset first.
    EXPECT_EQ(FakeEngine::Count(engine.AllSeen(), Seen::Reset), 1u);
}

TEST_F(Link, ADeviceThatRefusesItsModemLinesFailsTheOpen) {
    link.Close();
    calls.FailModem(EIO);
    EXPECT_EQ(link.Open(pty.slave_path(), {115200, platform::Parity::None, false}), LinkOpen::Failed);
    EXPECT_EQ(link.OpenFailure().step, platform::PortStep::Configure);
    EXPECT_EQ(link.OpenFailure().error, EIO);
    calls.FailModem(ENOTTY);  // no modem lines at all, as on this pty: nothing to refuse
    EXPECT_EQ(link.Open(pty.slave_path(), {115200, platform::Parity::None, false}), LinkOpen::Ok);
}

TEST_F(Link, CloseEndsAtOnceWhileAWriteIsStuck) {
    // Nobody reads the far end: the pty's buffer fills and the writer waits.
    const Bytes big(2000, 'x');
    engine.onRequest = [&](int, int) {
        for (int i = 0; i < 200; ++i) engine.out.SendRaw(MakeMessage(FramingText, big));
    };
    ASSERT_TRUE(link.Request(ReqPutSetup, 0, 0));
    ASSERT_TRUE(calls.WaitWriteRefused());
    const auto start = std::chrono::steady_clock::now();
    link.Close();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_FALSE(link.IsOpen());
}

}  // namespace
}  // namespace commlib
