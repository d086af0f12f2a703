// Print-format throughput: a 64-block buffer of ASYNC records converted as
// CharHex, SDRD, guides on, timed side by side with xxd on the same 64 MiB.
// Prints input MiB/s for both and the conversion's peak resident memory.
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "buffer_builder.h"
#include "convert_harness.h"

using namespace textlib_test;
namespace fs = std::filesystem;

namespace {

constexpr int kBlocks = 64;

// A terminal session: commands on SD, answers on RD, idle times between
// lines and a time stamp now and then, as a monitored modem line looks.
std::vector<std::uint32_t> Block(int number) {
    static const char* sd[] = {"AT&F\r", "ATDT0312345678\r", "LOGIN guest\r", "GET /status\r\n", "ls -l\r"};
    static const char* rd[] = {"OK\r\n", "CONNECT 9600\r\n", "Password: ", "HTTP/1.0 200 OK\r\n", "total 42\r\n"};
    std::vector<std::uint32_t> w;
    w.reserve(kBlockWords);
    for (int line = number * 1000; w.size() < kBlockWords; ++line) {
        if (line % 50 == 0) w.push_back(TimeStamp(line % 3 == 0, line / 3600 % 24, line / 60 % 60, line % 60));
        for (const char* c = sd[line % 5]; *c && w.size() < kBlockWords; ++c)
            w.push_back(Sd(static_cast<unsigned char>(*c)));
        if (w.size() < kBlockWords) w.push_back(Idle(static_cast<unsigned>(line % 1200)));
        for (const char* c = rd[line % 5]; *c && w.size() < kBlockWords; ++c)
            w.push_back(Rd(static_cast<unsigned char>(*c)));
        if (line % 17 == 0 && w.size() < kBlockWords) w.push_back(SdRd('+', '~', 2, 3));
    }
    return w;
}

long StatusKb(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string key;
    long value = -1;
    while (in >> key) {
        if (key == field) {
            in >> value;
            return value;
        }
        in.ignore(1 << 12, '\n');
    }
    return value;
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// User plus system CPU seconds of this process (all threads) or of its waited-for children.
double CpuSeconds(int who) {
    rusage u{};
    getrusage(who, &u);
    auto s = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return s(u.ru_utime) + s(u.ru_stime);
}

struct Timing {
    double wall = 1e9, cpu = 1e9;
    void Keep(const Timing& t) {
        wall = std::min(wall, t.wall);
        cpu = std::min(cpu, t.cpu);
    }
};

template <typename Run>
Timing Measure(int who, Run run) {
    double cpu0 = CpuSeconds(who);
    auto start = std::chrono::steady_clock::now();
    run();
    return Timing{Seconds(std::chrono::steady_clock::now() - start), CpuSeconds(who) - cpu0};
}

}  // namespace

int main() {
    testing_util::TempDir dir;
    std::string buffer = dir.file("buffer"), out = dir.file("out");
    fs::create_directory(buffer);
    fs::create_directory(out);
    WriteInfoFile(buffer, AsyncBody());
    for (int b = 0; b < kBlocks; ++b) {
        auto words = Block(b);
        auto bytes = WordBytes(words.data(), words.size());
        WriteBytes(BlockName(buffer, b), bytes.data(), bytes.size());
    }
    const double mib = kBlocks;

    // Peak memory from here on: the conversion only, not the buffer building.
    { std::ofstream("/proc/self/clear_refs") << "5"; }
    ConvertOptions o = DefaultOptions(out);
    o.MaxLines = 1 << 30;  // one output file
    const std::string xxdCmd = "for f in '" + buffer + "'/0*.mkw; do xxd \"$f\"; done > '" + out + "/xxd.txt'";

    // Two rounds, alternating, best of each: the build machines are shared.
    Timing ours, xxd;
    bool xxdRan = true;
    for (int round = 0; round < 2; ++round) {
        Converted r;
        ours.Keep(Measure(RUSAGE_SELF, [&] { r = Convert(buffer, o); }));
        if (r.code != 0) {
            std::fprintf(stderr, "conversion failed: %d\n", r.code ? *r.code : -1);
            return 1;
        }
        int status = 0;
        xxd.Keep(Measure(RUSAGE_CHILDREN, [&] { status = std::system(xxdCmd.c_str()); }));
        xxdRan = xxdRan && status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    long peakKb = StatusKb("VmHWM:");
    auto outBytes = fs::file_size(out + "/T_00000000.txt");

    std::printf("input              %.0f MiB (%d blocks of ASYNC records), best of 2 runs each\n", mib, kBlocks);
    std::printf("print CharHex SDRD %.3f s  %.1f MiB/s  (cpu %.3f s)  output %.1f MiB\n", ours.wall, mib / ours.wall,
                ours.cpu, outBytes / 1048576.0);
    if (xxdRan) {
        std::printf("xxd                %.3f s  %.1f MiB/s  (cpu %.3f s)\n", xxd.wall, mib / xxd.wall, xxd.cpu);
        std::printf("ratio              %.2f x xxd by wall time, %.2f x by cpu time\n", xxd.wall / ours.wall,
                    xxd.cpu / ours.cpu);
    } else {
        std::printf("xxd                not available\n");
    }
    std::printf("peak resident      %.1f MiB during the conversions\n", peakKb / 1024.0);

    // The same records with line states recorded (and none changing): the
    // line-state search at every block of columns must stay linear.
    InfoBody withStates = AsyncBody();
    withStates[33] = 1;
    WriteInfoFile(buffer, withStates);
    Converted r;
    Timing states;
    states.Keep(Measure(RUSAGE_SELF, [&] { r = Convert(buffer, o); }));
    if (r.code != 0) return 1;
    std::printf("print line states  %.3f s  %.1f MiB/s\n", states.wall, mib / states.wall);
    return 0;
}
