// How long a frame takes from the analyzer to the user while it measures: the
// simulated analyzer (served here, so we know when each record word went out
// on the line) sends HDLC frames at about 9600 baud; for each frame we take
// the time from the write of the word that closes it to its line on the
// stdout of `zamvex monitor` and to its packet in the fifo of `zamvex-extcap`.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "buffer_reader.h"
#include "frames/frame.h"
#include "simulator/analyzer.h"
#include "testing/temp_dir.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int kRecordsPerSecond = 960;  // 9600 baud, ten bits a character
constexpr auto kMeasureFor = 12s;

double ms_since(Clock::time_point start, Clock::time_point t) {
    return std::chrono::duration<double, std::milli>(t - start).count();
}

// The analyzer on a pty, with the time at which each record word was written.
class Line {
public:
    Line() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        grantpt(master_);
        unlockpt(master_);
        char name[128];
        ptsname_r(master_, name, sizeof name);
        path_ = name;
        slave_ = open(name, O_RDWR | O_NOCTTY);
        termios t{};
        tcgetattr(slave_, &t);
        cfmakeraw(&t);
        tcsetattr(slave_, TCSANOW, &t);
        simulator::AnalyzerOptions o;
        o.line_mode = simulator::LineMode::Hdlc;
        o.protocol = simulator::FrameProtocol::X25Mod8;
        o.records_per_second = kRecordsPerSecond;
        analyzer_ = std::make_unique<simulator::Analyzer>(o, now());
        thread_ = std::thread([this] { serve(); });
    }
    ~Line() {
        stop_ = true;
        thread_.join();
        close(slave_);
        close(master_);
    }
    const std::string& path() const { return path_; }
    // When record word `index` of the measurement was written, if it was.
    bool sent_at(std::int64_t index, Clock::time_point& at) {
        std::lock_guard lock(mutex_);
        for (const auto& [count, time] : sent_)
            if (count > static_cast<std::uint64_t>(index)) return at = time, true;
        return false;
    }
    void restart() {
        std::lock_guard lock(mutex_);
        sent_.clear();
    }

private:
    static std::uint64_t now() {
        return static_cast<std::uint64_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count());
    }
    void write_all(const std::vector<std::uint8_t>& bytes) {
        for (std::size_t at = 0; at < bytes.size();) {
            const ssize_t n = write(master_, bytes.data() + at, bytes.size() - at);
            if (n > 0) at += static_cast<std::size_t>(n);
            else if (n < 0 && errno != EINTR && errno != EAGAIN) return;
        }
    }
    void serve() {
        std::uint8_t buf[4096];
        while (!stop_) {
            pollfd p{master_, POLLIN, 0};
            if (poll(&p, 1, 2) == 1 && (p.revents & POLLIN)) {
                const ssize_t n = read(master_, buf, sizeof buf);
                if (n > 0) write_all(analyzer_->receive({buf, static_cast<std::size_t>(n)}, now()));
            }
            const std::uint64_t before = analyzer_->records_sent();
            write_all(analyzer_->tick(now(), true));
            const std::uint64_t after = analyzer_->records_sent();
            if (after != before) {
                std::lock_guard lock(mutex_);
                if (after < before) sent_.clear();  // a new measurement counts from 0
                sent_.emplace_back(after, Clock::now());
            }
        }
    }

    int master_ = -1, slave_ = -1;
    std::string path_;
    std::unique_ptr<simulator::Analyzer> analyzer_;
    std::mutex mutex_;
    std::vector<std::pair<std::uint64_t, Clock::time_point>> sent_;  // words sent so far, when
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// The index of the word that closed each frame of the kept buffer, in the
// order the frames go out ("Lost" frames included).
std::vector<std::int64_t> frame_ends(const std::string& buffer, bool with_lost) {
    textlib::BufferReader reader;
    std::vector<std::int64_t> ends;
    if (!reader.Open(buffer.c_str())) return ends;
    reader.Seek(0);
    auto frame = std::make_unique<textlib::Frame>();
    while (textlib::NextFrame(reader, *frame)) {
        if (frame->direction == textlib::kFrameLost) {
            if (with_lost) ends.push_back(reader.Pos() - 1);
            continue;
        }
        ends.push_back((frame->direction == textlib::kFrameRd ? reader.RdResume() : reader.SdResume()) - 1);
    }
    return ends;
}

int spawn(const std::vector<std::string>& args, int out_fd) {
    const int pid = fork();
    if (pid == 0) {
        std::vector<char*> argv;
        std::vector<std::string> copy = args;
        for (std::string& a : copy) argv.push_back(a.data());
        argv.push_back(nullptr);
        dup2(out_fd, STDOUT_FILENO);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDERR_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

// Reads `fd` until the child ends; `cut` splits what arrived into items (lines
// or packets) and the time each became complete is kept.
template <class Cut>
std::vector<Clock::time_point> collect(int fd, int pid, Cut cut) {
    std::vector<Clock::time_point> times;
    std::string pending;
    const auto stop_at = Clock::now() + kMeasureFor + 8s;
    bool stopped = false;
    for (;;) {
        if (!stopped && Clock::now() > stop_at - 8s) {
            kill(pid, SIGTERM);
            stopped = true;
        }
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 50) == 1) {
            char buf[65536];
            const ssize_t n = read(fd, buf, sizeof buf);
            if (n <= 0) break;
            pending.append(buf, static_cast<std::size_t>(n));
            const auto now = Clock::now();
            for (int k = cut(pending); k > 0; --k) times.push_back(now);
        }
        if (Clock::now() > stop_at) break;
    }
    waitpid(pid, nullptr, 0);
    return times;
}

struct Figures {
    std::size_t frames = 0;
    double least = 0, median = 0, p90 = 0, worst = 0;
};

Figures latencies(Line& line, const std::vector<std::int64_t>& ends, const std::vector<Clock::time_point>& arrived) {
    std::vector<double> ms;
    for (std::size_t k = 0; k < ends.size() && k < arrived.size(); ++k) {
        Clock::time_point sent;
        if (line.sent_at(ends[k], sent)) ms.push_back(ms_since(sent, arrived[k]));
    }
    Figures f;
    if (ms.empty()) return f;
    std::sort(ms.begin(), ms.end());
    f.frames = ms.size();
    f.least = ms.front();  // below 0 would mean the lines and the frames were paired wrongly
    f.median = ms[ms.size() / 2];
    f.p90 = ms[ms.size() * 9 / 10];
    f.worst = ms.back();
    return f;
}

void report(const char* what, const Figures& f) {
    std::printf("%-28s %5zu frames  min %5.2f ms  median %5.2f ms  p90 %5.2f ms  max %6.2f ms  %s\n", what, f.frames,
                f.least, f.median, f.p90, f.worst,
                f.frames > 0 && f.median < 100 ? "(target < 100 ms: met)" : "(target < 100 ms: MISSED)");
}

// Complete frame lines ("SD:", "RD:", "??:", "Lost") in the text so far.
int frame_lines(std::string& text) {
    int n = 0;
    for (std::size_t end; (end = text.find('\n')) != std::string::npos; text.erase(0, end + 1)) {
        const std::string line = text.substr(0, end);
        if (line.rfind("SD:", 0) == 0 || line.rfind("RD:", 0) == 0 || line.rfind("??:", 0) == 0 ||
            line.rfind("Lost", 0) == 0)
            ++n;
    }
    return n;
}

// Complete enhanced packet blocks in the pcapng bytes so far.
int packet_blocks(std::string& bytes) {
    int n = 0;
    while (bytes.size() >= 12) {
        std::uint32_t type, length;
        std::memcpy(&type, bytes.data(), 4);
        std::memcpy(&length, bytes.data() + 4, 4);
        if (length < 12 || bytes.size() < length) break;
        if (type == 6) ++n;
        bytes.erase(0, length);
    }
    return n;
}

}  // namespace

int main() {
    signal(SIGPIPE, SIG_IGN);
    testing_util::TempDir dir;
    Line line;
    std::printf("live latency at %d records/s (about 9600 baud), HDLC X.25 frames, %lld s each\n", kRecordsPerSecond,
                static_cast<long long>(kMeasureFor.count()));

    int fds[2];
    if (pipe(fds) != 0) return 1;
    const std::string text_buffer = dir.file("monitor");
    const int monitor =
        spawn({ZAMVEX_EXE, "monitor", "--port", line.path(), "--print", "translate", "--folder", text_buffer}, fds[1]);
    close(fds[1]);
    const auto lines = collect(fds[0], monitor, frame_lines);
    close(fds[0]);
    const Figures text = latencies(line, frame_ends(text_buffer, true), lines);
    line.restart();

    const std::string fifo = dir.file("fifo"), packet_buffer = dir.file("extcap");
    mkfifo(fifo.c_str(), 0600);
    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    const int null = open("/dev/null", O_WRONLY);
    const int extcap = spawn({ZAMVEX_EXTCAP_EXE, "--extcap-interface", "zamvex", "--capture", "--fifo", fifo, "--port",
                              line.path(), "--folder", packet_buffer},
                             null);
    close(null);
    const auto packets = collect(reader, extcap, packet_blocks);
    close(reader);
    const Figures pcap = latencies(line, frame_ends(packet_buffer, false), packets);

    report("closing flag -> stdout line", text);
    report("closing flag -> fifo packet", pcap);
    const bool paired = text.least >= 0 && pcap.least >= 0;
    if (!paired) std::printf("a line or packet came before its closing flag was sent: the pairing is wrong\n");
    return text.frames > 0 && pcap.frames > 0 && paired ? 0 : 1;
}
