// Soak run of `zamvex capture --resume` against `zamvex simulate --link` at
// the simulator's fastest rate: every 20 s the simulator is killed (the plug
// pulled) and, a second later, started again on the same path with the next
// traffic seed. Every 10 s (half-way between pluggings) the capture's
// resident memory, descriptors and threads are sampled. At the end they must
// be flat after the first quarter of the run, the capture must have counted
// one outage and one data loss per unplugging and nothing else, and every
// stretch of records between two outage marks in the (ring) buffer must be
// exactly what its simulator sent, from its first record on.
//
// ZAMVEX_SOAK_SECONDS (default 600), ZAMVEX_SOAK_INTERVAL (default 10) and
// ZAMVEX_SOAK_REPLUG (default 20) shorten it while developing.
#include <dirent.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "buffer_words.h"
#include "process_util.h"
#include "soak_samples.h"
#include "testing/temp_dir.h"

namespace {

using namespace cli_test;
using namespace soak;
using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kOutageMark = 0x0000FF80;
// At the fastest rate a simulator fills some 240 blocks before it is
// unplugged: the ring holds the last three stretches whole.
constexpr int kRingBlocks = 1024;

std::vector<std::uint32_t> block_words(const std::string& folder, int number) {
    char name[16];
    std::snprintf(name, sizeof name, "/%08d.mkw", number);
    return read_words(folder + name);
}

// The block numbers in the folder, lowest first.
std::vector<int> block_numbers(const std::string& folder) {
    std::vector<int> numbers;
    if (DIR* d = ::opendir(folder.c_str())) {
        while (const dirent* e = ::readdir(d)) {
            const std::string name = e->d_name;
            if (name.size() == 12 && name.substr(8) == ".mkw") numbers.push_back(std::atoi(name.c_str()));
        }
        ::closedir(d);
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

std::vector<std::string> simulator_options(const std::string& link, int seed) {
    return {"--link", link, "--seed", std::to_string(seed), "--rate", "0"};
}

// The stretches between outage marks, checked word for word against the
// seeds that made them (the last stretch is the last simulator's), block by
// block; the first stretch may have lost its start to the ring and is left
// out. False at the first mismatch.
bool check_records(const std::string& buffer, int last_seed, std::int64_t& checked, int& stretches) {
    const std::vector<int> numbers = block_numbers(buffer);
    int marks = 0;
    for (const int n : numbers) {
        const auto words = block_words(buffer, n);
        marks += static_cast<int>(std::count(words.begin(), words.end(), kOutageMark));
    }
    std::unique_ptr<simulator::TrafficGenerator> sent;  // the stretch's simulator, once past its mark
    int seed = last_seed - marks;
    stretches = 0;
    checked = 0;
    for (const int n : numbers) {
        for (const std::uint32_t word : block_words(buffer, n)) {
            if (word == kOutageMark) {
                stretches += sent != nullptr;
                sent = std::make_unique<simulator::TrafficGenerator>(default_conditions(), ++seed);
            } else if (sent && sent->next() != word) {
                std::printf("block %d: a record differs from what the simulator with seed %d sent\n", n, seed);
                return false;
            } else {
                checked += sent != nullptr;
            }
        }
    }
    stretches += sent != nullptr;
    return true;
}

}  // namespace

int main() {
    const int seconds = env_int("ZAMVEX_SOAK_SECONDS", 600);
    const int interval = env_int("ZAMVEX_SOAK_INTERVAL", 10);
    const int replug = env_int("ZAMVEX_SOAK_REPLUG", 20);
    testing_util::TempDir dir;
    const ScopedEnv runtime("XDG_RUNTIME_DIR", dir.path());
    const std::string buffer = dir.file("buffer"), link = dir.file("rv7020");
    int seed = 1;
    auto sim = std::make_unique<Simulator>(simulator_options(link, seed));
    Background capture({"capture", "--resume", "--port", link, "--folder", buffer, "--ring", "--max-blocks",
                        std::to_string(kRingBlocks)},
                       dir.file("out"), dir.file("err"));
    std::printf("resume soak: %d s at the simulator's fastest rate, unplugged every %d s, ring of %d blocks\n", seconds,
                replug, kRingBlocks);
    std::printf("%6s %10s %10s %5s %8s %8s\n", "second", "RSS KiB", "peak KiB", "fds", "threads", "block");
    std::vector<Sample> samples;
    int unplugged = 0;
    const auto start = Clock::now();
    // Samples fall half-way between pluggings, while a session runs.
    auto next_sample = start + std::chrono::milliseconds(500 * interval),
         next_replug = start + std::chrono::seconds(replug);
    const auto end = start + std::chrono::seconds(seconds);
    while (Clock::now() < end) {
        std::this_thread::sleep_until(std::min({next_sample, next_replug, end}));
        const auto now = Clock::now();
        if (now >= next_replug && now < end) {
            sim->pull_plug();
            ++unplugged;
            std::this_thread::sleep_for(std::chrono::seconds(1));
            sim = std::make_unique<Simulator>(simulator_options(link, ++seed));
            next_replug += std::chrono::seconds(replug);
        }
        if (now >= next_sample && now < end) {
            const Sample s =
                sample(capture.pid(),
                       static_cast<int>(std::chrono::duration_cast<std::chrono::seconds>(now - start).count()), buffer);
            std::printf("%6d %10ld %10ld %5d %8d %8d\n", s.second, s.rss_kib, s.peak_kib, s.fds, s.threads,
                        s.newest_block);
            std::fflush(stdout);
            samples.push_back(s);
            next_sample += std::chrono::seconds(interval);
        }
    }
    capture.signal(SIGTERM);
    const int code = capture.wait(std::chrono::seconds(90));
    const std::string out = read_text(dir.file("out")), err = read_text(dir.file("err"));
    std::printf("zamvex capture exit %d: %s", code, out.c_str());
    std::printf("log: %d outages, %d resumes\n", count_of(err, "outage: "), count_of(err, "resumed after "));

    // Each session starts three threads afresh, and the allocator gives them
    // heaps that reach their working size one after the other: the first
    // quarter of the run is that settling, shown above but not judged.
    const std::size_t settling = samples.size() / 4;
    if (!samples.empty())
        std::printf("judged from second %d on (the first quarter is the allocator settling)\n",
                    samples[std::min(settling, samples.size() - 1)].second);
    bool ok = all_flat(std::vector<Sample>(samples.begin() + static_cast<std::ptrdiff_t>(settling), samples.end())) &&
              code == 0;
    const std::string counted =
        "; " + std::to_string(unplugged) + " data losses; " + std::to_string(unplugged) + " outages";
    const bool losses_are_outages =
        out.find(counted) != std::string::npos && count_of(err, "resumed after ") == unplugged;
    std::printf("%d unpluggings, as many outages, resumes and data losses: %s\n", unplugged,
                losses_are_outages ? "yes" : "NO");
    std::int64_t checked = 0;
    int stretches = 0;
    const bool exact = check_records(buffer, seed, checked, stretches);
    std::printf("records between outage marks as their simulators sent them: %s (%d stretches, %lld records)\n",
                exact ? "yes" : "NO", stretches, static_cast<long long>(checked));
    ok = ok && losses_are_outages && exact && stretches > 0;
    std::printf("resume soak: %s\n", ok ? "PASS" : "FAIL");
    return ok ? 0 : 1;
}
