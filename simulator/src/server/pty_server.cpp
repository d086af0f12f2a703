// The analyzer's end of the line: a poll loop that moves bytes between the
// descriptor and the pure Analyzer, ticking it every 10 ms.
#include "simulator/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "screen/panel.h"
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

// Presses the keys of every complete line typed so far; false at end of input.
bool read_keys(int keys_fd, std::string& typed, Analyzer& analyzer, std::vector<std::uint8_t>& pending) {
    char buf[256];
    const ssize_t n = ::read(keys_fd, buf, sizeof buf);
    if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) return false;
    if (n > 0) typed.append(buf, static_cast<std::size_t>(n));
    for (std::size_t end; (end = typed.find('\n')) != std::string::npos; typed.erase(0, end + 1)) {
        std::string line = typed.substr(0, end);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (line.empty()) continue;
        if (const auto code = key_from_name(line)) append(pending, analyzer.press_local_key(*code, now_ms()));
        else std::fprintf(stderr, "no such key: %s\n", line.c_str());
    }
    if (typed.size() > 1024) typed.clear();   // not a key name, whatever it is
    return true;
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

void PtyServer::run(const std::atomic<bool>& stop, int keys_fd) { serve_descriptor(master_, options_, stop, keys_fd); }

void serve_descriptor(int fd, const AnalyzerOptions& options, const std::atomic<bool>& stop, int keys_fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    Analyzer analyzer(options, now_ms());
    std::vector<std::uint8_t> pending;
    std::uint8_t buf[4096];
    std::string typed;
    std::uint64_t next_tick = now_ms();
    while (!stop.load()) {
        pollfd p[2] = {{fd, static_cast<short>(POLLIN | (pending.empty() ? 0 : POLLOUT)), 0}, {keys_fd, POLLIN, 0}};
        const std::uint64_t t = now_ms();
        const int wait = next_tick > t ? static_cast<int>(next_tick - t) : 0;
        if (::poll(p, keys_fd >= 0 ? 2 : 1, wait) < 0 && errno != EINTR) return;
        if (keys_fd >= 0 && (p[1].revents & (POLLIN | POLLHUP)) && !read_keys(keys_fd, typed, analyzer, pending))
            keys_fd = -1;   // end of the typed keys; the line goes on
        if (p[0].revents & POLLIN) {
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
