// The interrupt flag: set from a signal handler, read by the main thread's loops.
#include "session/interrupt.h"

#include <atomic>
#include <csignal>

namespace cli {
namespace {

constexpr int kRequested = -1;  // request_interrupt, not a signal

std::atomic<int> g_count{0};
std::atomic<bool> g_flag{false};
std::atomic<int> g_signal{0};  // the first signal that set the flag

extern "C" void on_interrupt(int sig) {
    // A second Ctrl-C means the user does not want to wait for the clean end.
    if (g_count.fetch_add(1) > 0) {
        std::signal(sig, SIG_DFL);
        std::raise(sig);
    }
    int none = 0;
    g_signal.compare_exchange_strong(none, sig);
    g_flag.store(true);
}

}  // namespace

void catch_interrupts() {
    std::signal(SIGINT, on_interrupt);
    std::signal(SIGTERM, on_interrupt);
    // A hang-up (the terminal or the SSH channel closed) ends the work cleanly
    // too, unless the command was started to ignore it (nohup).
    if (std::signal(SIGHUP, on_interrupt) == SIG_IGN) std::signal(SIGHUP, SIG_IGN);
}

bool interrupted() { return g_flag.load(); }

void clear_interrupt() {
    g_flag.store(false);
    g_count.store(0);
    g_signal.store(0);
}

void request_interrupt() {
    int none = 0;
    g_signal.compare_exchange_strong(none, kRequested);
    g_flag.store(true);
}

const char* interrupt_cause() {
    if (!g_flag.load()) return "";
    switch (g_signal.load()) {
    case SIGINT: return "Ctrl-C";
    case SIGTERM: return "SIGTERM";
    case SIGHUP: return "SIGHUP";
    default: return "a stop request";
    }
}

}  // namespace cli
