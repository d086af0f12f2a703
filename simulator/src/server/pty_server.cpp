// The analyzer's end of the line: a poll loop that moves bytes between the
// descriptor and the pure Analyzer, ticking it every 10 ms.
#include "simulator/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "simulator/analyzer.h"

namespace simulator {
namespace {

std::uint64_t now_ms() {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
}

[[noreturn]] void fail(const char* what) {
    throw std::runtime_error(std::string(what) + ": " + std::strerror(errno));
}

// Writes what the line takes now; keeps the rest for the next round.
bool flush(int fd, std::vector<std::uint8_t>& pending) {
    while (!pending.empty()) {
        const ssize_t n = ::write(fd, pending.data(), pending.size());
        if (n > 0) {
            pending.erase(pending.begin(), pending.begin() + n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return true;
        } else {
            return false;
        }
    }
    return true;
}

void append(std::vector<std::uint8_t>& to, const std::vector<std::uint8_t>& from) {
    to.insert(to.end(), from.begin(), from.end());
}

} // namespace

PtyServer::PtyServer(const AnalyzerOptions& options) : options_(options) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) fail("posix_openpt");
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        ::close(master_);
        fail("grantpt/unlockpt");
    }
    char name[128];
    if (::ptsname_r(master_, name, sizeof name) != 0) {
        ::close(master_);
        fail("ptsname_r");
    }
    slave_path_ = name;
    slave_ = ::open(name, O_RDWR | O_NOCTTY);
    if (slave_ < 0) {
        ::close(master_);
        fail("open slave");
    }
    termios t{};
    if (::tcgetattr(slave_, &t) == 0) {
        ::cfmakeraw(&t);
        ::tcsetattr(slave_, TCSANOW, &t);
    }
}

PtyServer::~PtyServer() {
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
}

void PtyServer::run(const std::atomic<bool>& stop) { serve_descriptor(master_, options_, stop); }

void serve_descriptor(int fd, const AnalyzerOptions& options, const std::atomic<bool>& stop) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    Analyzer analyzer(options, now_ms());
    std::vector<std::uint8_t> pending;
    std::uint8_t buf[4096];
    std::uint64_t next_tick = now_ms();
    while (!stop.load()) {
        pollfd p{fd, static_cast<short>(POLLIN | (pending.empty() ? 0 : POLLOUT)), 0};
        const std::uint64_t t = now_ms();
        const int wait = next_tick > t ? static_cast<int>(next_tick - t) : 0;
        if (::poll(&p, 1, wait) < 0 && errno != EINTR) return;
        if (p.revents & POLLIN) {
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n > 0) append(pending, analyzer.receive({buf, static_cast<std::size_t>(n)}, now_ms()));
            else if (n < 0 && errno != EAGAIN && errno != EINTR && errno != EIO) return;
        }
        if (now_ms() >= next_tick) {
            append(pending, analyzer.tick(now_ms(), pending.empty()));
            next_tick = now_ms() + 10;
        }
        if (!flush(fd, pending)) return;
    }
}

} // namespace simulator
