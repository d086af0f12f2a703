// A capture file replayed as fast as the line allows, against the generated
// traffic it must keep up with. Generated traffic is captured for 5 s and
// exported; the first 100,000 of its frames become the file. That file is
// replayed once (every frame must come back, packet for packet, with no data
// loss); then, taking turns so that the load of the machine falls on both
// alike, three 5 s captures each of generated traffic and of the file looped
// give the record MB/s and frames/s (the best of each three is compared).
// Last the whole export is replayed once, a file many times the size. The
// simulator's peak resident memory must stay under 32 MiB throughout.
#include <unistd.h>
#include <chrono>
#include <cstdio>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "capture_builder.h"
#include "pcapfile/capture_reader.h"
#include "process_util.h"
#include "testing/temp_dir.h"

namespace {

using namespace cli_test;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kFileFrames = 100000;
constexpr int kSeconds = 5;
constexpr long kRssLimitKib = 32 * 1024;

long peak_kib(int pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

// User and system CPU seconds a process has used so far.
double cpu_seconds(int pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));  // after the command's name
    std::string f;
    double ticks = 0;
    for (int k = 3; k <= 15 && fields >> f; ++k)
        if (k >= 14) ticks += std::strtod(f.c_str(), nullptr);
    return ticks / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

double folder_mb(const std::string& folder) {
    std::uintmax_t bytes = 0;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        if (e.path().filename() != "datainfo.mkw") bytes += e.file_size();
    return static_cast<double>(bytes) / 1e6;
}

struct Run {
    double seconds = 0, mb = 0;
    long frames = 0;
    long rss_kib = 0;
    double sim_cpu = 0;  // the simulator's CPU seconds
    bool lossless = false;
    std::string pcapng;  // the capture, exported
};

// `zamvex simulate options`, `zamvex capture` (for `seconds`, or until the
// analyzer stops), and the capture exported.
Run capture(testing_util::TempDir& dir, const std::string& name, const std::vector<std::string>& options, int seconds) {
    Run r;
    Simulator sim(options);
    const std::string buffer = dir.file(name);
    std::vector<std::string> capture{"capture", "--port", sim.device(), "--folder", buffer, "--max-blocks", "1024"};
    if (seconds > 0) capture.insert(capture.end(), {"--seconds", std::to_string(seconds)});
    const auto t0 = Clock::now();
    const Outcome c = zamvex(capture, 600s);
    r.seconds = seconds > 0 ? seconds : std::chrono::duration<double>(Clock::now() - t0).count();
    r.rss_kib = peak_kib(sim.pid());
    r.sim_cpu = cpu_seconds(sim.pid());
    sim.stop();
    r.lossless = c.exit_code == 0 && c.out.find("; 0 data losses") != std::string::npos;
    if (c.exit_code != 0) std::printf("  %s: capture failed: %s%s", name.c_str(), c.out.c_str(), c.err.c_str());
    r.mb = folder_mb(buffer);
    r.pcapng = dir.file(name + ".pcapng");
    const Outcome e = zamvex({"export", buffer, "--pcapng", r.pcapng}, 600s);
    r.frames = std::strtol(e.out.c_str(), nullptr, 10);
    std::filesystem::remove_all(buffer);
    return r;
}

struct Frame {
    std::vector<std::uint8_t> bytes;
    std::uint32_t flags;
    bool operator==(const Frame&) const = default;
};

std::vector<Frame> frames_of(const std::string& path, std::size_t most = SIZE_MAX) {
    std::string error;
    auto reader = pcapfile::OpenCaptureFile(path, error);
    std::vector<Frame> list;
    pcapfile::Packet p;
    while (reader && list.size() < most && reader->Next(p))
        list.push_back({{p.data.begin(), p.data.end()}, p.flags.value_or(0)});
    return list;
}

// The frames as one pcapng file of link type 252 (the export's own).
void write_file(const std::string& path, const std::vector<Frame>& frames) {
    using namespace pcapfile_test;
    Bytes file = SectionHeader(false) + Interface(false, pcapfile::kLinkWiresharkPdu);
    for (std::size_t k = 0; k < frames.size(); ++k)
        file = file + PacketBlock(false, 0, k * 1000, frames[k].bytes, frames[k].flags);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
}

void line(const char* what, const Run& r) {
    std::printf(
        "%-28s %6.2f MB/s of record words, %7.0f frames/s (%ld frames in %.2f s), %s;\n"
        "%-28s simulator: peak RSS %.1f MiB, CPU %.0f ms per 100,000 frames\n",
        what, r.mb / r.seconds, static_cast<double>(r.frames) / r.seconds, r.frames, r.seconds,
        r.lossless ? "0 data losses" : "DATA LOST", "", static_cast<double>(r.rss_kib) / 1024,
        r.frames > 0 ? r.sim_cpu * 1000 * 100000 / static_cast<double>(r.frames) : 0.0);
}

}  // namespace

int main() {
    testing_util::TempDir dir;
    const Run generated = capture(dir, "generated", {"--rate", "0"}, kSeconds);
    line("generated traffic:", generated);
    std::vector<Frame> all = frames_of(generated.pcapng);
    if (all.size() < kFileFrames) {
        std::printf("only %zu frames generated; the file needs %zu\n", all.size(), kFileFrames);
        return 1;
    }
    const std::vector<Frame> first(all.begin(), all.begin() + kFileFrames);
    all.clear();
    const std::string file = dir.file("file.pcapng");
    write_file(file, first);

    const Run once = capture(dir, "once", {"--replay", file, "--replay-speed", "0"}, 0);
    const bool intact = frames_of(once.pcapng) == first;
    std::printf(
        "%-28s through capture in %.2f s (connecting and stopping included), %s, %s;\n"
        "%-28s simulator: peak RSS %.1f MiB\n",
        "100000-frame file, once:", once.seconds, once.lossless ? "0 data losses" : "DATA LOST",
        intact ? "every frame back, packet for packet" : "FRAMES DIFFER", "", static_cast<double>(once.rss_kib) / 1024);
    const auto rate = [](const Run& r) { return r.mb / r.seconds; };
    Run best_generated = generated, looped;
    bool lossless = generated.lossless;
    double cpu[2] = {0, 0}, frames[2] = {0, 0};  // the simulator's, generated and replayed, over the turns
    for (int turn = 0; turn < 3; ++turn) {
        const Run g = capture(dir, "generated", {"--rate", "0"}, kSeconds);
        line("generated traffic:", g);
        const Run l = capture(dir, "looped", {"--replay", file, "--replay-speed", "0", "--replay-loop"}, kSeconds);
        line("100000-frame file, looped:", l);
        lossless = lossless && g.lossless && l.lossless;
        cpu[0] += g.sim_cpu, frames[0] += static_cast<double>(g.frames);
        cpu[1] += l.sim_cpu, frames[1] += static_cast<double>(l.frames);
        if (turn == 0 || rate(g) > rate(best_generated)) best_generated = g;
        if (turn == 0 || rate(l) > rate(looped)) looped = l;
        if (l.rss_kib > looped.rss_kib) looped.rss_kib = l.rss_kib;
    }
    const Run big = capture(dir, "big", {"--replay", generated.pcapng, "--replay-speed", "0"}, 0);
    line("the whole export, once:", big);

    const double ratio = rate(looped) / rate(best_generated);
    std::printf("best of three: generated %.2f MB/s, replayed %.2f MB/s: ratio %.2f; files of %.1f and %.1f MB\n",
                rate(best_generated), rate(looped), ratio, static_cast<double>(std::filesystem::file_size(file)) / 1e6,
                static_cast<double>(std::filesystem::file_size(generated.pcapng)) / 1e6);
    bool ok = intact && once.lossless && lossless && big.lossless;
    for (const Run* r : {&once, static_cast<const Run*>(&looped), &big})
        ok = ok && r->rss_kib > 0 && r->rss_kib < kRssLimitKib;
    // The rates swing with the machine's load (the capture and the simulator
    // share its cores with whatever else runs); the simulator's CPU per frame
    // does not. Both verdicts are shown; the run fails only for lost or changed
    // frames and for memory.
    const double per_frame[2] = {cpu[0] * 1e8 / frames[0], cpu[1] * 1e8 / frames[1]};
    std::printf("simulator CPU per 100,000 frames over the turns: generated %.0f ms, replayed %.0f ms\n", per_frame[0],
                per_frame[1]);
    std::printf("the replay %s generated traffic's rate; it costs the simulator %s CPU per frame\n",
                ratio >= 1 ? "keeps up with" : "fell BEHIND", per_frame[1] <= per_frame[0] * 1.1 ? "no more" : "MORE");
    if (!ok) std::printf("replay: frames were lost or changed, or the simulator's memory passed 32 MiB\n");
    return ok ? 0 : 1;
}
