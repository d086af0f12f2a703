// Soak run of `zamvex capture` against `zamvex simulate` at the simulator's
// fastest rate, ring buffer of 8 blocks: every 10 s the capture process's
// resident memory (now and its peak), open descriptors and threads, and the
// blocks it went through. At the end descriptors and threads must be flat, memory must not
// grow from the first half of the run to the second, and nothing be lost.
//
// ZAMVEX_SOAK_SECONDS (default 600) and ZAMVEX_SOAK_INTERVAL (default 10)
// shorten it while developing.
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "process_util.h"
#include "soak_samples.h"
#include "testing/temp_dir.h"

using namespace cli_test;
using namespace soak;

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
        const Sample s = sample(capture.pid(), t, buffer);
        std::printf("%6d %10ld %10ld %5d %8d %8d\n", s.second, s.rss_kib, s.peak_kib, s.fds, s.threads, s.newest_block);
        std::fflush(stdout);
        samples.push_back(s);
    }
    const int code = capture.wait(std::chrono::seconds(90));
    const std::string out = read_text(dir.file("out"));
    std::printf("zamvex capture exit %d: %s%s", code, out.c_str(), read_text(dir.file("err")).c_str());

    bool ok = all_flat(samples) && code == 0;
    const bool lost_none = out.find("; 0 data losses") != std::string::npos;
    std::printf("data losses 0: %s\n", lost_none ? "yes" : "NO");
    ok = ok && lost_none;
    std::printf("capture soak: %s\n", ok ? "PASS" : "FAIL");
    return ok ? 0 : 1;
}
