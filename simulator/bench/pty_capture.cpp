// A capture over a pseudo-terminal with the simulator's own pty server sending
// as fast as the line takes it: sustained MB/s of record words stored, the loss
// count (must stay 0) and commlib's CPU time per MB (the server's thread is
// measured apart and left out).
#include <pthread.h>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <thread>

#include "pcbuffer/buffer_names.h"
#include "remote/remote_impl.h"
#include "simulator/pty_server.h"
#include "testing/temp_dir.h"

namespace {

using namespace std::chrono_literals;

struct Seen {
    std::mutex mutex;
    std::condition_variable cv;
    int measure_state = -1;
    std::array<int, 3> range{};
    long lost = 0;
    std::vector<std::pair<int, int>> done;  // request notifications
} seen;

int record(int code, int status, void* data) {
    std::lock_guard lock(seen.mutex);
    if (code == NtfyBlocks) {
        const int* r = static_cast<const int*>(data);
        seen.range = {r[0], r[1], r[2]};
    } else if (code == NtfyLost) {
        seen.lost = static_cast<long>(reinterpret_cast<std::intptr_t>(data));
    } else if (code == NtfyMeasureState) {
        seen.measure_state = status;
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

bool await_state(int state) {
    std::unique_lock lock(seen.mutex);
    return seen.cv.wait_for(lock, 30s, [&] { return seen.measure_state == state; });
}

double cpu(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

int run(const char* label, const std::string& path, std::thread& serving, std::chrono::seconds length);

}  // namespace

int main() {
    simulator::AnalyzerOptions options;
    options.seed = 5;
    options.records_per_second = 0;  // as fast as the line takes them
    simulator::PtyServer server(options);
    std::atomic<bool> stop{false};
    std::thread serving([&] { server.run(stop); });
    const int rc = run("pty capture, simulator server:", server.slave_path(), serving, 5s);
    stop = true;
    serving.join();
    return rc;
}

namespace {

int run(const char* label, const std::string& path, std::thread& serving, std::chrono::seconds length) {
    {
        std::lock_guard lock(seen.mutex);
        seen.measure_state = -1;
        seen.range = {};
        seen.lost = 0;
        seen.done.clear();
    }
    testing_util::TempDir dir;
    clockid_t sim_clock{};
    pthread_getcpuclockid(serving.native_handle(), &sim_clock);

    commlib::RemoteImpl remote;
    const PortSettings port{path.c_str(), 115200, 0, 0};
    // A ring of 16 blocks keeps the disk use bounded however fast it runs.
    const BufferSettings buffer{dir.path().c_str(), 16, 0, 1};
    int rc = 1;
    if (remote.Initialize(nullptr, record, &port, &buffer) == 0 && remote.Open() == 0 &&
        request(remote, ReqConnect, 0) && request(remote, ReqMeasure, 1) && await_state(1)) {
        const double process0 = cpu(CLOCK_PROCESS_CPUTIME_ID), sim0 = cpu(sim_clock);
        const auto t0 = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(length);
        request(remote, ReqMeasure, 0);
        await_state(0);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        const double commlib_cpu = (cpu(CLOCK_PROCESS_CPUTIME_ID) - process0) - (cpu(sim_clock) - sim0);
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
        const auto last = std::filesystem::file_size(pcbuffer::BlockFilePath(dir.path(), range[1] - 1), ec);
        const double bytes = (range[1] - 1.0) * pcbuffer::kBlockBytes + (ec ? 0.0 : static_cast<double>(last));
        const double mb = bytes / 1e6;
        std::printf(
            "%-27s %6.2f MB/s of record words sustained for %.1f s (%.1f MB, blocks %d..%d), "
            "lost %ld, commlib CPU %.3f s = %.1f ms per MB\n",
            label, mb / seconds, seconds, mb, range[0], range[1] - 1, lost, commlib_cpu,
            mb > 0 ? commlib_cpu * 1000 / mb : 0.0);
        rc = lost == 0 ? 0 : 2;
    } else {
        std::printf("%s the measurement did not start\n", label);
    }
    return rc;
}

}  // namespace
