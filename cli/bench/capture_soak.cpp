// Soak run of `zamvex capture` against `zamvex simulate` at the simulator's
// fastest rate, ring buffer of 8 blocks: every 10 s the capture process's
// resident memory (now and its peak), open descriptors and threads, and the
// blocks it went through. At the end descriptors and threads must be flat, memory must not
// grow from the first half of the run to the second, and nothing be lost.
//
// ZAMVEX_SOAK_SECONDS (default 600) and ZAMVEX_SOAK_INTERVAL (default 10)
// shorten it while developing.
#include <dirent.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "process_util.h"
#include "testing/temp_dir.h"

namespace {

using namespace cli_test;

struct Sample {
    int second = 0;
    long rss_kib = 0;
    long peak_kib = 0;
    int fds = 0;
    int threads = 0;
    int newest_block = -1;
};

long status_field(int pid, const std::string& name) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(name + ":", 0) == 0) return std::strtol(line.c_str() + name.size() + 1, nullptr, 10);
    return -1;
}

int count_entries(const std::string& folder, bool blocks_only, int* newest = nullptr) {
    int n = 0;
    if (DIR* d = ::opendir(folder.c_str())) {
        while (const dirent* e = ::readdir(d)) {
            if (e->d_name[0] == '.') continue;
            const std::string name = e->d_name;
            if (blocks_only && (name.size() != 12 || name.substr(8) != ".mkw")) continue;
            ++n;
            if (newest && name != "datainfo.mkw") *newest = std::max(*newest, std::atoi(name.c_str()));
        }
        ::closedir(d);
    }
    return n;
}

int env_int(const char* name, int fallback) {
    const char* v = std::getenv(name);
    return v && std::atoi(v) > 0 ? std::atoi(v) : fallback;
}

// Flat: after the first sample (start-up) the values stay within `tolerance`
// of each other, or, for memory that breathes with the load (queued line data
// while a block file is flushed), the second half's floor is no higher than
// the first half's plus `tolerance`: nothing accumulates over time.
template <class Get>
bool flat(const std::vector<Sample>& samples, Get get, long tolerance, bool floors, const char* what) {
    if (samples.size() < 3) return true;
    long low = get(samples[1]), high = low, first_floor = LONG_MAX, second_floor = LONG_MAX;
    const std::size_t half = 1 + (samples.size() - 1) / 2;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        const long v = get(samples[i]);
        low = std::min(low, v);
        high = std::max(high, v);
        long& floor = i < half ? first_floor : second_floor;
        floor = std::min(floor, v);
    }
    const bool ok = floors ? second_floor <= first_floor + tolerance : high - low <= tolerance;
    std::printf("%-8s %ld..%ld after the first sample, floor %ld then %ld: %s\n", what, low, high, first_floor,
                second_floor, ok ? "flat" : "GROWING");
    return ok;
}

}  // namespace

int main() {
    const int seconds = env_int("ZAMVEX_SOAK_SECONDS", 600);
    const int interval = env_int("ZAMVEX_SOAK_INTERVAL", 10);
    testing_util::TempDir dir;
    const std::string buffer = dir.file("buffer");
    Simulator sim({"--seed", "1", "--rate", "0"});
    Background capture({"capture", "--port", sim.device(), "--folder", buffer, "--ring", "--max-blocks", "8",
                        "--seconds", std::to_string(seconds)},
                       dir.file("out"), dir.file("err"));
    std::printf("capture soak: %d s at the simulator's fastest rate, ring of 8 blocks, a sample every %d s\n", seconds,
                interval);
    std::printf("%6s %10s %10s %5s %8s %8s\n", "second", "RSS KiB", "peak KiB", "fds", "threads", "block");
    std::vector<Sample> samples;
    for (int t = interval; t < seconds; t += interval) {
        std::this_thread::sleep_for(std::chrono::seconds(interval));
        Sample s;
        s.second = t;
        s.rss_kib = status_field(capture.pid(), "VmRSS");
        s.peak_kib = status_field(capture.pid(), "VmHWM");
        s.threads = static_cast<int>(status_field(capture.pid(), "Threads"));
        s.fds = count_entries("/proc/" + std::to_string(capture.pid()) + "/fd", false);
        count_entries(buffer, true, &s.newest_block);
        std::printf("%6d %10ld %10ld %5d %8d %8d\n", s.second, s.rss_kib, s.peak_kib, s.fds, s.threads, s.newest_block);
        std::fflush(stdout);
        samples.push_back(s);
    }
    const int code = capture.wait(std::chrono::seconds(90));
    const std::string out = read_text(dir.file("out"));
    std::printf("zamvex capture exit %d: %s%s", code, out.c_str(), read_text(dir.file("err")).c_str());

    bool ok = code == 0;
    ok = flat(
             samples, [](const Sample& s) { return s.rss_kib; }, 2048, true, "RSS KiB") &&
         ok;
    ok = flat(
             samples, [](const Sample& s) { return static_cast<long>(s.fds); }, 1, false, "fds") &&
         ok;
    ok = flat(
             samples, [](const Sample& s) { return static_cast<long>(s.threads); }, 0, false, "threads") &&
         ok;
    const bool lost_none = out.find("; 0 data losses") != std::string::npos;
    std::printf("data losses 0: %s\n", lost_none ? "yes" : "NO");
    ok = ok && lost_none;
    std::printf("capture soak: %s\n", ok ? "PASS" : "FAIL");
    return ok ? 0 : 1;
}
