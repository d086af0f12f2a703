// The capture's log lines, live line, service messages and state file.
#include "commands/capture_report.h"

#include <ctime>

#include "pcbuffer/buffer_names.h"

namespace cli {
namespace {

using namespace std::chrono_literals;

constexpr auto kPublishEvery = 2s;  // the state file
constexpr auto kStatusEvery = 5s;   // STATUS= while nothing else changes
constexpr auto kPingEvery = 1s;     // WATCHDOG=1
constexpr auto kHourly = std::chrono::hours(1);
constexpr auto kRateWindow = 5s;

std::string mib(long long bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MiB", static_cast<double>(bytes) / (1 << 20));
    return text;
}

std::string seconds_text(std::chrono::steady_clock::duration d) {
    return std::to_string(std::chrono::duration_cast<std::chrono::seconds>(d).count()) + " s";
}

long long unix_now() { return static_cast<long long>(std::time(nullptr)); }

}  // namespace

CaptureReport::CaptureReport(ReportSetup setup, ReportSinks sinks, Clock clock, WallClock wall)
    : setup_(std::move(setup)), sinks_(std::move(sinks)), clock_(std::move(clock)), wall_(wall ? wall : unix_now) {
    state_.command = setup_.program;
    state_.port = setup_.port;
    state_.folder = setup_.folder;
    state_.since = wall_();
    state_.state = kStarting;
    publish(true);
}

void CaptureReport::log(Priority priority, const std::string& text) {
    if (line_shown_) {
        std::fputs("\r\033[K", setup_.status_line);
        line_shown_ = false;
    }
    if (sinks_.log) sinks_.log(priority, setup_.program + ": " + text);
}

long long CaptureReport::stored() const {
    return static_cast<long long>(last_.blocks[1]) * pcbuffer::kBlockBytes + last_.fill;
}

std::string CaptureReport::figures() const { return state_figures(state_); }

void CaptureReport::publish(bool now) {
    const auto t = clock_();
    if (sinks_.state && (now || t - last_publish_ >= kPublishEvery)) {
        sinks_.state(state_);
        last_publish_ = t;
    }
    if (sinks_.notify && ready_ && (now || t - last_status_ >= kStatusEvery)) {
        sinks_.notify("STATUS=" + state_.state + ": " + figures());
        last_status_ = t;
    }
}

void CaptureReport::feed_watchdog() {
    const auto t = clock_();
    if (!sinks_.watchdog || !sinks_.notify || t - last_ping_ < kPingEvery) return;
    sinks_.notify("WATCHDOG=1");
    last_ping_ = t;
}

void CaptureReport::update_rate() {
    const auto t = clock_();
    if (t - rate_mark_ < kRateWindow) return;
    const double seconds = std::chrono::duration<double>(t - rate_mark_).count();
    state_.rate = static_cast<long long>(static_cast<double>(stored() - rate_mark_bytes_) / seconds);
    rate_mark_ = t;
    rate_mark_bytes_ = stored();
}

void CaptureReport::measuring(const std::string& analyzer, const CaptureProgress& p) {
    last_ = p;
    const auto t = clock_();
    rate_mark_ = t;
    rate_mark_bytes_ = stored();
    state_.state = kMeasuring;
    progress(p, true);
    const std::string where = setup_.folder.empty() ? " on " + setup_.port
                                                    : " on " + setup_.port + " into " + setup_.folder + " from block " +
                                                          pcbuffer::BlockFileName(p.blocks[1]);
    if (!ready_) {
        ready_ = true;
        started_ = t;
        next_hourly_ = t + kHourly;
        stored_at_start_ = stored();
        if (sinks_.journal) log(Priority::Info, "started: " + analyzer + where);
        if (sinks_.notify) sinks_.notify("READY=1\nSTATUS=" + state_.state + ": " + figures());
        last_status_ = t;
    } else {
        log(Priority::Info, "resumed after " + seconds_text(t - outage_at_) + " (attempt " +
                                std::to_string(attempts_ + 1) + "): " + analyzer + " measuring again" + where);
    }
    attempts_ = 0;
    publish(true);
}

void CaptureReport::progress(const CaptureProgress& p, bool alive) {
    last_ = p;
    state_.first_block = p.blocks[0];
    state_.next_block = p.blocks[1];
    state_.blocks = p.blocks[2];
    state_.losses = p.losses;
    update_rate();
    if (alive) feed_watchdog();
    publish(false);
    const auto t = clock_();
    if (sinks_.journal && ready_ && t >= next_hourly_) {
        next_hourly_ += kHourly;
        const auto hours = std::chrono::duration_cast<std::chrono::hours>(t - started_).count();
        log(Priority::Info, std::to_string(hours) + " h: " + mib(stored() - stored_at_start_) + " stored, " +
                                figures() + " since the start");
    }
    if (setup_.status_line) {
        const int bars = p.gauge < 0 ? 0 : (p.gauge + 99) / 100;
        std::fprintf(setup_.status_line, "\rblocks %d/%d  block %3d%%  rate [%-10.*s]  losses %d ", p.blocks[2],
                     setup_.max_blocks, static_cast<int>((static_cast<long long>(p.fill) * 100) >> 20), bars,
                     "##########", p.losses);
        std::fflush(setup_.status_line);
        line_shown_ = true;
    }
}

void CaptureReport::outage(const std::string& why, const CaptureProgress& p) {
    last_ = p;
    ++outages_;
    state_.outages = outages_;
    state_.state = kWaiting;
    state_.rate = 0;
    outage_at_ = clock_();
    attempts_ = 0;
    std::string kept;
    if (!setup_.folder.empty() && p.blocks[1] > 0)
        kept = "; block " + pcbuffer::BlockFileName(p.blocks[1] - 1) + " and those before it are kept";
    log(Priority::Warning, "outage: " + why + kept + "; waiting for " + setup_.port + " to answer again");
    publish(true);
}

void CaptureReport::port_missing() { log(Priority::Info, setup_.port + " is not there; waiting for it to come back"); }

void CaptureReport::attempt_failed(const std::string& why, std::chrono::seconds next) {
    ++attempts_;
    std::string flat = why;
    for (char& c : flat)
        if (c == '\n') c = ' ';
    log(Priority::Warning, "attempt " + std::to_string(attempts_) + " failed: " + flat + "; next attempt in " +
                               std::to_string(next.count()) + " s");
    publish(true);
}

void CaptureReport::waiting() {
    feed_watchdog();
    publish(false);
}

void CaptureReport::trimmed(int count, int oldest, long long keep_free) {
    const std::string blocks =
        count == 1 ? "block " + pcbuffer::BlockFileName(oldest - 1)
                   : "blocks " + pcbuffer::BlockFileName(oldest - count) + " to " + pcbuffer::BlockFileName(oldest - 1);
    log(Priority::Info, "gave up " + blocks + " to keep " + mib(keep_free) + " free on the disk");
}

void CaptureReport::ended(bool ok, const std::string& text) {
    if (line_shown_) {
        std::fputc('\n', setup_.status_line);
        line_shown_ = false;
    }
    if (ok && sinks_.journal) log(Priority::Info, text);
    std::string flat = text;
    for (char& c : flat)
        if (c == '\n') c = ' ';
    if (sinks_.notify) sinks_.notify("STOPPING=1\nSTATUS=" + std::string(ok ? "stopped: " : "failed: ") + flat);
}

}  // namespace cli
