// What the soak benchmarks sample of a running capture process (resident
// memory, its peak, descriptors, threads) and the rule by which those must
// stay flat over the run.
#pragma once
#include <dirent.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace soak {

struct Sample {
    int second = 0;
    long rss_kib = 0;
    long peak_kib = 0;
    int fds = 0;
    int threads = 0;
    int newest_block = -1;
};

inline long status_field(int pid, const std::string& name) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(name + ":", 0) == 0) return std::strtol(line.c_str() + name.size() + 1, nullptr, 10);
    return -1;
}

// Entries of a folder (blocks_only: block files, the highest number into *newest).
inline int count_entries(const std::string& folder, bool blocks_only, int* newest = nullptr) {
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

// A sample of the process now, `second` into the run, with the newest block of `buffer`.
inline Sample sample(int pid, int second, const std::string& buffer) {
    Sample s;
    s.second = second;
    s.rss_kib = status_field(pid, "VmRSS");
    s.peak_kib = status_field(pid, "VmHWM");
    s.threads = static_cast<int>(status_field(pid, "Threads"));
    s.fds = count_entries("/proc/" + std::to_string(pid) + "/fd", false);
    count_entries(buffer, true, &s.newest_block);
    return s;
}

inline int env_int(const char* name, int fallback) {
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

// The three checks both soaks make.
inline bool all_flat(const std::vector<Sample>& samples) {
    bool ok = flat(
        samples, [](const Sample& s) { return s.rss_kib; }, 2048, true, "RSS KiB");
    ok = flat(
             samples, [](const Sample& s) { return static_cast<long>(s.fds); }, 1, false, "fds") &&
         ok;
    return flat(
               samples, [](const Sample& s) { return static_cast<long>(s.threads); }, 0, false, "threads") &&
           ok;
}

}  // namespace soak
