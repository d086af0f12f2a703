// What a running capture tells besides its result: the operator's log on
// stderr (with the journal's priorities under systemd), the live status line
// on a terminal, the service manager (READY=1, STATUS=, WATCHDOG=1) and the
// state file that `zamvex status` reads. The capture sequence reports what
// happens; this decides what goes where and how often:
// - always logged: each outage, each failed attempt to resume, each resume,
//   blocks given up for free space;
// - in the journal only: the start, the stop and a line every hour (on a
//   terminal the live line and the closing summary say the same);
// - the state file and STATUS= at every change and every few seconds;
//   WATCHDOG=1 at most once a second, while the protocol thread is heard from
//   or the capture waits for its port.
// Threads: the main thread.
#pragma once
#include <array>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "pcbuffer/buffer_names.h"
#include "service/capture_state.h"
#include "text/stderr_lines.h"

namespace cli {

struct CaptureProgress {
    std::array<int, 3> blocks{};  // first, next, count (NtfyBlocks)
    int fill = 0;                 // bytes in the block being written
    int gauge = 0;                // receive-rate gauge, 0..1000
    int losses = 0;               // data losses since the command started
};

struct ReportSinks {
    std::function<void(Priority, const std::string&)> log;  // one line (or more), "zamvex capture: " in front
    std::function<void(const std::string&)> notify;         // "READY=1\nSTATUS=...", "WATCHDOG=1", ...
    std::function<void(const CaptureState&)> state;         // the state file's new contents
    bool journal = false;                                   // the log is the journal
    bool watchdog = false;                                  // the service manager wants WATCHDOG=1
};

struct ReportSetup {
    std::string program;  // "zamvex capture": how log lines and the state file name it
    std::string port;
    std::string folder;  // empty: no PC buffer
    int max_blocks = pcbuffer::kDefaultMaxBlocks;
    std::FILE* status_line = nullptr;  // a terminal for the live line, or none
};

class CaptureReport {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    using WallClock = std::function<long long()>;  // Unix seconds

    CaptureReport(ReportSetup setup, ReportSinks sinks, Clock clock = std::chrono::steady_clock::now,
                  WallClock wall = nullptr);

    // The measurement runs: the first time (READY=1), or again after an outage.
    void measuring(const std::string& analyzer, const CaptureProgress& p);
    // Every turn of the measurement loop; `alive`: the protocol thread was heard from lately.
    void progress(const CaptureProgress& p, bool alive);
    // The line went away; the capture waits for it.
    void outage(const std::string& why, const CaptureProgress& p);
    void port_missing();
    void attempt_failed(const std::string& why, std::chrono::seconds next);
    // Every turn of a wait for the port.
    void waiting();
    // The ring gave up `count` blocks to keep `keep_free` bytes free; `oldest` is the first one left.
    void trimmed(int count, int oldest, long long keep_free);
    // The capture has ended: its summary (`ok`) or its error, which the command prints itself.
    void ended(bool ok, const std::string& text);

    int outages() const { return outages_; }
    // "12 blocks (00000000.mkw to 00000011.mkw), 3.2 KiB/s, 0 data losses, 1 outage"
    std::string figures() const;

private:
    void log(Priority priority, const std::string& text);
    void publish(bool now);  // state file and STATUS=
    void feed_watchdog();
    void update_rate();
    long long stored() const;

    ReportSetup setup_;
    ReportSinks sinks_;
    Clock clock_;
    WallClock wall_;
    CaptureState state_;
    CaptureProgress last_{};
    bool ready_ = false;
    int outages_ = 0;
    std::chrono::steady_clock::time_point started_{}, outage_at_{}, last_publish_{}, last_status_{}, last_ping_{},
        next_hourly_{}, rate_mark_{};
    long long stored_at_start_ = 0, rate_mark_bytes_ = 0;
    int attempts_ = 0;
    bool line_shown_ = false;  // the live line is on the terminal
};

}  // namespace cli
