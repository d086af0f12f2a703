// Every conversion layout, the pcapng export and `zamvex stats`, each a whole
// `zamvex` process, timed side by side with xxd on the same block files and
// with `tshark -r` on the same frames (the export of the buffer), on a buffer
// of each line mode captured from `zamvex simulate` at its fastest rate.
// Prints input MiB/s, the ratios and each run's peak resident memory, then
// converts a 1024-block buffer, and takes its stats, to check the memory bound.
//
// Targets: every layout at least 2.5x xxd's input speed; `stats` (with its
// per-minute rows and chart) at least as fast as the CSV frame layout on the
// same buffer; under 64 MiB resident for 1024 blocks. Output goes to /dev/shm when there is one (the formatting
// speed, not the disk's, is measured; xxd writes to the same place).
//
// ZAMVEX_BENCH_BLOCKS (default 32) and ZAMVEX_BENCH_ROUNDS (default 3, the best
// run counts) change the work; ZAMVEX_BENCH_MODES="HDLC X.25,PPP" picks line
// modes; ZAMVEX_BENCH_EXE times another build of zamvex (an older one, say) on
// the same buffers.
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "process_util.h"
#include "testing/temp_dir.h"

namespace {

using namespace cli_test;
namespace fs = std::filesystem;

constexpr double kTargetRatio = 2.5;
constexpr double kStatsTargetRatio = 1.0;  // stats over the CSV frame layout
constexpr double kMemoryLimitMiB = 64;
constexpr int kMemoryBlocks = 1024;

struct Layout {
    const char* name;
    std::vector<std::string> args;  // after `zamvex convert BUFFER --out DIR` (or the export's)
    bool exported = false;          // `zamvex export --pcapng` rather than convert
    bool stats = false;             // `zamvex stats BUFFER --per-minute --svg FILE` and these args
};

struct LineMode {
    const char* name;
    std::vector<std::string> simulate;  // options of `zamvex simulate`
    std::vector<Layout> layouts;
    std::vector<std::string> export_args;  // for the pcapng tshark reads
};

std::vector<std::string> convert(std::initializer_list<const char*> a) { return {a.begin(), a.end()}; }

const std::vector<LineMode>& modes() {
    static const Layout kNormal{"print normal", convert({"--print", "normal"})};
    static const Layout kStates{"print normal, 4 line states",
                                convert({"--print", "normal", "--line-states", "RS,CS,CD,ER"})};
    static const Layout kCsvData{"csv data", convert({"--format", "csv"})};
    static const Layout kCsvFrame{"csv frame", convert({"--format", "csv", "--csv-form", "frame"})};
    static const Layout kStats{"stats", {}, false, true};
    static const std::vector<LineMode> kModes{
        {"ASYNC",
         {"--mode", "async"},
         {kNormal,
          kStates,
          {"control sequences", convert({"--print", "translate"})},
          kCsvData,
          kCsvFrame,
          kStats,
          {"pcapng export", {}, true}},
         {}},
        {"SYNC",
         {"--mode", "sync"},
         {kNormal,
          kStates,
          {"control sequences", convert({"--print", "translate"})},
          kCsvData,
          kCsvFrame,
          kStats,
          {"pcapng export", {}, true}},
         {}},
        {"HDLC X.25",
         {"--mode", "hdlc", "--protocol", "x25"},
         {kNormal,
          kStates,
          {"translate x25", convert({"--print", "translate", "--frame", "x25"})},
          {"translate sdlc", convert({"--print", "translate", "--frame", "sdlc"})},
          {"translate x25ua", convert({"--print", "translate", "--frame", "x25ua"})},
          {"packets x25", convert({"--print", "translate", "--frame", "x25", "--packet", "x25"})},
          kCsvData,
          kCsvFrame,
          {"stats, frames by kind", {"--frame", "x25", "--packet", "x25"}, false, true},
          {"pcapng export", {}, true}},
         {}},
        {"HDLC LAPD",
         {"--mode", "hdlc", "--protocol", "lapd"},
         {{"translate lapd", convert({"--print", "translate", "--frame", "lapd"})},
          {"packets q931", convert({"--print", "translate", "--frame", "lapd", "--packet", "lapd"})},
          {"pcapng export", {"--frame", "lapd"}, true}},
         {"--frame", "lapd"}},
        {"NRZI X.25 mod 128",
         {"--mode", "nrzi", "--protocol", "x25x"},
         {{"translate x25x", convert({"--print", "translate", "--frame", "x25x"})},
          {"packets ddx", convert({"--print", "translate", "--frame", "x25x", "--packet", "ddx"})},
          {"pcapng export", {"--frame", "x25x"}, true}},
         {"--frame", "x25x"}},
        {"PPP",
         {"--mode", "ppp"},
         {kNormal,
          {"translate ppp", convert({"--print", "translate"})},
          kCsvFrame,
          kStats,
          {"pcapng export", {}, true}},
         {}},
    };
    return kModes;
}

int env_int(const char* name, int fallback) {
    const char* v = std::getenv(name);
    return v && std::atoi(v) > 0 ? std::atoi(v) : fallback;
}

struct Run {
    double wall = 1e9;  // seconds
    double peak_mib = 0;
    bool ok = false;
};

// Runs a program to its end; wall time and its peak resident memory.
Run timed(const std::string& exe, const std::vector<std::string>& args, const std::string& out_file) {
    const int out_fd = ::open(out_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err_fd = ::open("/dev/null", O_WRONLY);
    const auto start = std::chrono::steady_clock::now();
    const int pid = spawn_program(exe, args, out_fd, err_fd);
    int status = 0;
    rusage use{};
    ::wait4(pid, &status, 0, &use);
    Run r;
    r.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    r.peak_mib = static_cast<double>(use.ru_maxrss) / 1024.0;
    r.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    ::close(out_fd);
    ::close(err_fd);
    return r;
}

void keep(Run& best, const Run& r) {
    if (!r.ok) return;
    best.wall = std::min(best.wall, r.wall);
    best.peak_mib = std::max(best.peak_mib, r.peak_mib);
    best.ok = true;
}

bool captured(const std::string& folder, const LineMode& mode, int blocks) {
    std::vector<std::string> sim{"--rate", "0", "--seed", "1"};
    sim.insert(sim.end(), mode.simulate.begin(), mode.simulate.end());
    Simulator simulator(sim);
    const Outcome r =
        zamvex({"capture", "--port", simulator.device(), "--folder", folder, "--max-blocks", std::to_string(blocks)},
               std::chrono::seconds(600));
    if (r.exit_code != 0) std::fprintf(stderr, "capture of %s failed: %s%s", mode.name, r.out.c_str(), r.err.c_str());
    return r.exit_code == 0;
}

std::vector<std::string> block_files(const std::string& folder) {
    std::vector<std::string> files;
    for (const auto& e : fs::directory_iterator(folder))
        if (e.path().filename() != "datainfo.mkw") files.push_back(e.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

std::string output_root(testing_util::TempDir& dir) {
    struct stat st {};
    if (::stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) && ::access("/dev/shm", W_OK) == 0) {
        char tmpl[] = "/dev/shm/zamvex-bench-XXXXXX";
        if (const char* made = ::mkdtemp(tmpl)) return made;
    }
    return dir.file("out");
}

bool picked(const char* mode) {
    const char* pick = std::getenv("ZAMVEX_BENCH_MODES");
    if (pick == nullptr) return true;
    std::string list = std::string(",") + pick + ",";
    return list.find(std::string(",") + mode + ",") != std::string::npos;
}

}  // namespace

// The program whose conversions are timed (buffers are always captured with this build's).
std::string converter() {
    const char* other = std::getenv("ZAMVEX_BENCH_EXE");
    return other != nullptr && *other != '\0' ? other : ZAMVEX_EXE;
}

int main() {
    const int blocks = env_int("ZAMVEX_BENCH_BLOCKS", 32);
    const int rounds = env_int("ZAMVEX_BENCH_ROUNDS", 3);
    const bool have_xxd = std::system("command -v xxd >/dev/null 2>&1") == 0;
    const bool have_tshark = std::system("command -v tshark >/dev/null 2>&1") == 0;
    if (!have_xxd) {
        std::printf("layout speed: xxd is not installed (Debian package xxd); nothing to compare with\n");
        return 1;
    }
    testing_util::TempDir dir;
    const std::string out_root = output_root(dir);
    fs::create_directories(out_root);
    std::printf(
        "layout speed of %s: %d blocks of each line mode from `zamvex simulate --rate 0`,\n"
        "best of %d runs, output in %s; ratios are xxd's (and tshark -r's) wall time over ours\n\n",
        converter().c_str(), blocks, rounds, out_root.c_str());
    std::printf("%-18s %-30s %8s %7s %8s %9s\n", "line mode", "layout", "MiB/s", "x xxd", "x tshark", "peak MiB");

    bool all_fast = true;
    std::string memory_buffer;
    for (const LineMode& mode : modes()) {
        if (!picked(mode.name)) continue;
        const std::string buffer = dir.file(std::string("buffer-") + std::to_string(&mode - modes().data()));
        if (!captured(buffer, mode, blocks)) return 1;
        if (memory_buffer.empty()) memory_buffer = buffer;
        const std::vector<std::string> files = block_files(buffer);
        double mib = 0;
        for (const std::string& f : files) mib += static_cast<double>(fs::file_size(f)) / 1048576.0;
        std::string xxd_script = "for f in";
        for (const std::string& f : files) xxd_script += " '" + f + "'";
        xxd_script += "; do xxd \"$f\"; done";

        // tshark reads the frames of the buffer once, from our own export.
        Run tshark;
        if (have_tshark) {
            const std::string pcap = out_root + "/frames.pcapng";
            std::vector<std::string> args{"export", buffer, "--pcapng", pcap};
            args.insert(args.end(), mode.export_args.begin(), mode.export_args.end());
            if (timed(ZAMVEX_EXE, args, "/dev/null").ok)
                for (int i = 0; i < rounds; ++i)
                    keep(tshark, timed("/usr/bin/env", {"tshark", "-r", pcap}, out_root + "/tshark.txt"));
            fs::remove(pcap);
        }

        double csv_frame_wall = 0;  // the CSV frame layout's time, for stats
        for (const Layout& layout : mode.layouts) {
            Run ours, xxd;
            for (int i = 0; i < rounds; ++i) {
                fs::remove_all(out_root + "/conv");
                std::vector<std::string> args;
                if (layout.exported) args = {"export", buffer, "--pcapng", out_root + "/conv.pcapng"};
                else if (layout.stats) args = {"stats", buffer, "--per-minute", "--svg", out_root + "/conv.svg"};
                else args = {"convert", buffer, "--out", out_root + "/conv", "--max-lines", "999999"};
                args.insert(args.end(), layout.args.begin(), layout.args.end());
                keep(ours, timed(converter(), args, "/dev/null"));
                keep(xxd, timed("/bin/sh", {"-c", xxd_script}, out_root + "/xxd.txt"));
            }
            if (!ours.ok) {
                std::printf("%-18s %-30s failed\n", mode.name, layout.name);
                return 1;
            }
            const double ratio = xxd.wall / ours.wall;
            char vs_tshark[16] = "-";
            if (tshark.ok) std::snprintf(vs_tshark, sizeof vs_tshark, "%.1f", tshark.wall / ours.wall);
            if (std::string(layout.name) == "csv frame") csv_frame_wall = ours.wall;
            bool fast = ratio >= kTargetRatio;
            char vs_csv[48] = "";
            if (layout.stats && csv_frame_wall > 0) {
                const double over_csv = csv_frame_wall / ours.wall;
                fast = fast && over_csv >= kStatsTargetRatio;
                std::snprintf(vs_csv, sizeof vs_csv, "  %.2fx csv frame%s", over_csv,
                              over_csv >= kStatsTargetRatio ? "" : " (below 1x)");
            }
            all_fast = all_fast && fast;
            std::printf("%-18s %-30s %8.1f %7.2f %8s %9.1f%s%s\n", mode.name, layout.name, mib / ours.wall, ratio,
                        vs_tshark, ours.peak_mib, vs_csv, ratio >= kTargetRatio ? "" : "  below 2.5x");
            std::fflush(stdout);
        }
        if (tshark.ok)
            std::printf("%-18s %-30s %8.1f %7s %8s %9.1f\n", mode.name, "(tshark -r of its export)", mib / tshark.wall,
                        "", "1.0", tshark.peak_mib);
        fs::remove(out_root + "/xxd.txt");
        fs::remove(out_root + "/tshark.txt");
        fs::remove(out_root + "/conv.pcapng");
        fs::remove(out_root + "/conv.svg");
    }

    // Memory: the first buffer's blocks linked over and over into a 1024-block folder.
    bool small = true;
    if (!memory_buffer.empty()) {
        const std::string big = dir.file("buffer-1024");
        fs::create_directories(big);
        fs::copy_file(memory_buffer + "/datainfo.mkw", big + "/datainfo.mkw");
        const std::vector<std::string> files = block_files(memory_buffer);
        for (int b = 0; b < kMemoryBlocks; ++b) {
            char name[16];
            std::snprintf(name, sizeof name, "%08d.mkw", b);
            fs::create_hard_link(files[static_cast<std::size_t>(b) % files.size()], big + "/" + name);
        }
        fs::remove_all(out_root + "/conv");
        const Run r = timed(converter(),
                            {"convert", big, "--out", out_root + "/conv", "--max-lines", "999999", "--print", "normal",
                             "--line", "sd", "--data", "hex"},
                            "/dev/null");
        fs::remove_all(out_root + "/conv");
        small = r.ok && r.peak_mib < kMemoryLimitMiB;
        std::printf("\n%d blocks, print normal: %.1f s, peak resident %.1f MiB (limit %.0f)%s\n", kMemoryBlocks, r.wall,
                    r.peak_mib, kMemoryLimitMiB, small ? "" : "  OVER");
        const Run st = timed(converter(), {"stats", big, "--per-minute", "--svg", out_root + "/big.svg"}, "/dev/null");
        fs::remove(out_root + "/big.svg");
        const bool stats_small = st.ok && st.peak_mib < kMemoryLimitMiB;
        small = small && stats_small;
        std::printf("%d blocks, stats --per-minute --svg: %.1f s, peak resident %.1f MiB (limit %.0f)%s\n",
                    kMemoryBlocks, st.wall, st.peak_mib, kMemoryLimitMiB, stats_small ? "" : "  OVER");
    }
    fs::remove_all(out_root);
    std::printf("layout speed: %s\n", all_fast && small ? "PASS" : "FAIL");
    return all_fast && small ? 0 : 1;
}
