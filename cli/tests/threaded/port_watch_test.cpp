// Waiting for a port's path: a link made by another thread wakes the wait at
// once, also when the folders on the way to it appear first; an interrupt
// ends the wait; nothing wakes it while nothing changes.
#include <gtest/gtest.h>
#include <pthread.h>

#include <csignal>

#include <chrono>
#include <filesystem>
#include <thread>

#include "session/interrupt.h"
#include "session/port_watch.h"
#include "testing/temp_dir.h"

namespace cli {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

// Waits in turns of up to `turn` until the path is there; how long it took.
Clock::duration wait_until_present(PortWatch& watch, std::chrono::milliseconds turn, Clock::duration limit) {
    const auto start = Clock::now();
    while (!watch.present() && Clock::now() - start < limit) watch.wait(turn);
    return Clock::now() - start;
}

TEST(PortWatch, ALinkThatAppearsBelowNewFoldersWakesTheWaitAtOnce) {
    testing_util::TempDir dir;
    const std::string port = dir.file("serial/by-id/usb-FTDI-port0");
    PortWatch watch(port);
    EXPECT_FALSE(watch.present());
    std::thread plug([&] {
        std::this_thread::sleep_for(150ms);
        fs::create_directories(dir.file("serial/by-id"));
        std::this_thread::sleep_for(50ms);
        fs::create_symlink("/dev/null", port);
    });
    // Turns of 10 s: only the watch can end them this soon.
    EXPECT_LT(wait_until_present(watch, 10s, 20s), 3s);
    plug.join();
    EXPECT_TRUE(watch.present());

    // A dangling link is not a port.
    const std::string stale = dir.file("stale");
    fs::create_symlink(dir.file("gone"), stale);
    EXPECT_FALSE(PortWatch(stale).present());
}

TEST(PortWatch, AnInterruptEndsTheWaitAndQuietMeansNoWakeUp) {
    testing_util::TempDir dir;
    PortWatch watch(dir.file("ttyUSB0"));
    const auto quiet = Clock::now();
    watch.wait(300ms);
    EXPECT_GE(Clock::now() - quiet, 290ms);
    catch_interrupts();
    const pthread_t waiter = pthread_self();
    std::thread stop([waiter] {
        std::this_thread::sleep_for(100ms);
        pthread_kill(waiter, SIGTERM);
    });
    const auto start = Clock::now();
    while (!interrupted() && Clock::now() - start < 20s) watch.wait(10s);
    stop.join();
    EXPECT_TRUE(interrupted());
    EXPECT_LT(Clock::now() - start, 3s);
    clear_interrupt();
}

}  // namespace
}  // namespace cli
