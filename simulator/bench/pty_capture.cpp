// A capture over a pseudo-terminal with the simulated analyzer sending as fast
// as the line takes it: sustained MB/s of record words stored, the loss count
// (must stay 0) and commlib's CPU time per MB (the analyzer's own thread is
// measured apart and left out). Two runs: the pty server as it paces a real
// measurement (a burst every 10 ms), and a flood that hands the analyzer a
// clock running ahead by 10 ms whenever the line has taken everything.
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <thread>

#include "buffer/buffer_names.h"
#include "remote/remote_impl.h"
#include "simulator/analyzer.h"
#include "simulator/pty_server.h"
#include "testing/temp_dir.h"

namespace {

using namespace std::chrono_literals;

struct Seen {
    std::mutex mutex;
    std::condition_variable cv;
    int measureState = -1;
    std::array<int, 3> range{};
    long lost = 0;
    std::vector<std::pair<int, int>> done;   // request notifications
} seen;

int record(int code, int status, void* data) {
    std::lock_guard lock(seen.mutex);
    if (code == NtfyBlocks) {
        const int* r = static_cast<const int*>(data);
        seen.range = {r[0], r[1], r[2]};
    } else if (code == NtfyLost) {
        seen.lost = static_cast<long>(reinterpret_cast<std::intptr_t>(data));
    } else if (code == NtfyMeasureState) {
        seen.measureState = status;
    } else if (code < 0x8000 || code == ReqKey) {
        seen.done.emplace_back(code, status);
    }
    seen.cv.notify_all();
    return 1;
}

bool request(Remote& remote, int code, int param) {
    if (remote.Request(code, param, 0) != 1) return false;
    std::unique_lock lock(seen.mutex);
    int status = -1;
    seen.cv.wait_for(lock, 30s, [&] {
        for (auto& [c, s] : seen.done)
            if (c == code) status = s;
        return status != -1;
    });
    seen.done.clear();
    return status == StatusDone;
}

bool awaitState(int state) {
    std::unique_lock lock(seen.mutex);
    return seen.cv.wait_for(lock, 30s, [&] { return seen.measureState == state; });
}

double Cpu(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

std::uint64_t NowMs() {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
}

// The analyzer on the pty master, ticked ahead as soon as the line is free
// while it measures; before and after, it runs on the real clock.
void Flood(int fd, const simulator::AnalyzerOptions& options, const std::atomic<bool>& stop) {
    simulator::Analyzer analyzer(options, NowMs());
    std::vector<std::uint8_t> pending;
    std::size_t sent = 0;
    std::uint8_t buf[4096];
    std::uint64_t clock = NowMs(), nextTick = clock;
    auto add = [&](std::vector<std::uint8_t> bytes) { pending.insert(pending.end(), bytes.begin(), bytes.end()); };
    while (!stop.load()) {
        const bool idle = sent == pending.size();
        const bool flood = idle && analyzer.measuring();
        pollfd p{fd, static_cast<short>(POLLIN | (idle ? 0 : POLLOUT)), 0};
        (void)::poll(&p, 1, flood ? 0 : 10);
        if (p.revents & POLLIN) {
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n > 0) add(analyzer.receive({buf, static_cast<std::size_t>(n)}, clock));
        }
        clock = std::max(clock, NowMs());
        if (flood || NowMs() >= nextTick) {
            if (flood) clock += 10;
            add(analyzer.tick(clock, sent == pending.size()));
            nextTick = NowMs() + 10;
        }
        while (sent < pending.size()) {
            const ssize_t n = ::write(fd, pending.data() + sent, pending.size() - sent);
            if (n <= 0) break;
            sent += static_cast<std::size_t>(n);
        }
        if (sent == pending.size()) {
            pending.clear();
            sent = 0;
        }
    }
}

struct PtyPair {
    int master = -1;
    int slave = -1;   // held open so the master never reads a hang-up
    std::string path;
    PtyPair() {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        ::grantpt(master);
        ::unlockpt(master);
        char name[128] = {};
        ::ptsname_r(master, name, sizeof name);
        path = name;
        slave = ::open(name, O_RDWR | O_NOCTTY);
        termios t{};
        ::tcgetattr(slave, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(slave, TCSANOW, &t);
        ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    }
    ~PtyPair() {
        ::close(slave);
        ::close(master);
    }
};

int Run(const char* label, const std::string& path, std::thread& serving, std::chrono::seconds length);

} // namespace

int main() {
    simulator::AnalyzerOptions options;
    options.seed = 5;
    options.records_per_second = 0;   // as fast as the line takes them
    int rc = 0;
    {
        simulator::PtyServer server(options);
        std::atomic<bool> stop{false};
        std::thread serving([&] { server.run(stop); });
        rc |= Run("pty capture, paced server:", server.slave_path(), serving, 5s);
        stop = true;
        serving.join();
    }
    {
        PtyPair pty;
        std::atomic<bool> stop{false};
        std::thread serving([&] { Flood(pty.master, options, stop); });
        rc |= Run("pty capture, flood:", pty.path, serving, 5s);
        stop = true;
        serving.join();
    }
    return rc;
}

namespace {

int Run(const char* label, const std::string& path, std::thread& serving, std::chrono::seconds length) {
    {
        std::lock_guard lock(seen.mutex);
        seen.measureState = -1;
        seen.range = {};
        seen.lost = 0;
        seen.done.clear();
    }
    testing_util::TempDir dir;
    clockid_t simClock{};
    pthread_getcpuclockid(serving.native_handle(), &simClock);

    commlib::RemoteImpl remote;
    const PortSettings port{path.c_str(), 115200, 0, 0};
    // A ring of 16 blocks keeps the disk use bounded however fast it runs.
    const BufferSettings buffer{dir.path().c_str(), 16, 0, 1};
    int rc = 1;
    if (remote.Initialize(nullptr, record, &port, &buffer) == 0 && remote.Open() == 0 &&
        request(remote, ReqConnect, 0) && request(remote, ReqMeasure, 1) && awaitState(1)) {
        const double process0 = Cpu(CLOCK_PROCESS_CPUTIME_ID), sim0 = Cpu(simClock);
        const auto t0 = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(length);
        request(remote, ReqMeasure, 0);
        awaitState(0);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        const double commlibCpu = (Cpu(CLOCK_PROCESS_CPUTIME_ID) - process0) - (Cpu(simClock) - sim0);
        request(remote, ReqDisconnect, 0);
        remote.Close();

        std::array<int, 3> range;
        long lost;
        {
            std::lock_guard lock(seen.mutex);
            range = seen.range;
            lost = seen.lost;
        }
        std::error_code ec;
        const auto last = std::filesystem::file_size(commlib::BlockFilePath(dir.path(), range[1] - 1), ec);
        const double bytes = (range[1] - 1.0) * commlib::BlockBytes + (ec ? 0.0 : static_cast<double>(last));
        const double mb = bytes / 1e6;
        std::printf("%-27s %6.2f MB/s of record words sustained for %.1f s (%.1f MB, blocks %d..%d), "
                    "lost %ld, commlib CPU %.3f s = %.1f ms per MB\n",
                    label, mb / seconds, seconds, mb, range[0], range[1] - 1, lost, commlibCpu,
                    mb > 0 ? commlibCpu * 1000 / mb : 0.0);
        rc = lost == 0 ? 0 : 2;
    } else {
        std::printf("%s the measurement did not start\n", label);
    }
    return rc;
}

} // namespace
