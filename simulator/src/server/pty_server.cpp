// The analyzer's end of the line: a poll loop that moves bytes between the
// descriptor and the pure Analyzer, ticking it every 10 ms, or as soon as the
// line has taken everything while it streams as fast as the line allows.
#include "simulator/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <stdexcept>
#include <vector>

#include "screen/panel.h"
#include "server/line_speed.h"
#include "simulator/analyzer.h"

namespace simulator {
namespace {

std::uint64_t now_ms() {
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
}

[[noreturn]] void fail(const char* what) { throw std::runtime_error(std::string(what) + ": " + std::strerror(errno)); }

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
    if (typed.size() > 1024) typed.clear();  // not a key name, whatever it is
    return true;
}

void serve(int fd, Analyzer& analyzer, std::mutex& guard, const AnalyzerOptions& options, const std::atomic<bool>& stop,
           int keys_fd, const PtyServer::ReplayListener& listener);

// A replay's stamps show the local time of day: the offset from our clock to it.
AnalyzerOptions with_clock(AnalyzerOptions o) {
    if (!o.replay || o.replay->day_offset_ms) return o;
    const auto wall = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(wall);
    std::tm local{};
    localtime_r(&t, &local);
    const auto ms_of_second =
        std::chrono::duration_cast<std::chrono::milliseconds>(wall.time_since_epoch()).count() % 1000;
    const std::int64_t of_day = ((local.tm_hour * 60LL + local.tm_min) * 60 + local.tm_sec) * 1000 + ms_of_second;
    o.replay->day_offset_ms = of_day - static_cast<std::int64_t>(now_ms());
    return o;
}

}  // namespace

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

void PtyServer::run(const std::atomic<bool>& stop, int keys_fd) {
    {
        std::lock_guard lock(mutex_);
        analyzer_ = std::make_unique<Analyzer>(with_clock(options_), now_ms());
    }
    serve(master_, *analyzer_, mutex_, options_, stop, keys_fd, listener_);
}

std::vector<std::uint8_t> PtyServer::data_set(std::uint16_t item) const {
    std::lock_guard lock(mutex_);
    return analyzer_ ? analyzer_->data_set(item) : std::vector<std::uint8_t>{};
}

namespace {

void serve(int fd, Analyzer& analyzer, std::mutex& guard, const AnalyzerOptions& options, const std::atomic<bool>& stop,
           int keys_fd, const PtyServer::ReplayListener& listener) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    std::vector<std::uint8_t> pending;
    std::uint8_t buf[4096];
    std::string typed;
    std::uint64_t next_tick = now_ms();
    // "As fast as the line allows": while the last tick had captured data to
    // send, the next one follows as soon as the line has taken it all, not 10 ms
    // later. When nothing goes out (no subscription, text mode, a held frame) the
    // ordinary 10 ms tick keeps the loop from spinning.
    const bool unpaced = options.replay ? options.replay->speed <= 0 : options.records_per_second <= 0;
    bool streaming = false;
    while (!stop.load()) {
        std::unique_lock lock(guard);
        const bool flood = unpaced && streaming && pending.empty() && analyzer.measuring();
        lock.unlock();
        pollfd p[2] = {{fd, static_cast<short>(POLLIN | (pending.empty() ? 0 : POLLOUT)), 0}, {keys_fd, POLLIN, 0}};
        const std::uint64_t t = now_ms();
        const int wait = flood || next_tick <= t ? 0 : static_cast<int>(next_tick - t);
        if (::poll(p, keys_fd >= 0 ? 2 : 1, wait) < 0 && errno != EINTR) break;
        lock.lock();  // not across the poll, so a reader of the data sets never waits long
        if (keys_fd >= 0 && (p[1].revents & (POLLIN | POLLHUP)) && !read_keys(keys_fd, typed, analyzer, pending))
            keys_fd = -1;  // end of the typed keys; the line goes on
        if (p[0].revents & POLLIN) {
            const ssize_t n = ::read(fd, buf, sizeof buf);
            // Bytes sent at another speed never make sense to the analyzer.
            if (n > 0 && line_at_speed(fd, options.speed))
                append(pending, analyzer.receive({buf, static_cast<std::size_t>(n)}, now_ms()));
            else if (n < 0 && errno != EAGAIN && errno != EINTR && errno != EIO) break;
        }
        if (now_ms() >= next_tick || (flood && pending.empty())) {
            const std::vector<std::uint8_t> out = analyzer.tick(now_ms(), pending.empty());
            streaming = !out.empty();
            append(pending, out);
            next_tick = now_ms() + 10;
        }
        const auto ended = analyzer.take_replay_report();
        lock.unlock();
        if (ended && listener) listener(*ended);
        if (!flush(fd, pending)) break;
    }
    std::unique_lock lock(guard);
    const auto running = analyzer.take_replay_report(true);
    lock.unlock();
    if (running && listener) listener(*running);
}

}  // namespace

}  // namespace simulator
