// The measurement sequence. Notifications update a small monitor; the main
// loop decides when to stop. Stopping always lets the library flush the last
// block: the analyzer reports the end, or the link reset closes the file.
#include "commands/capture_job.h"

#include <chrono>
#include <filesystem>

#include "commands/store_checks.h"
#include "pcbuffer/buffer_names.h"
#include "platform/whole_file.h"
#include "session/interrupt.h"
#include "text/messages.h"

namespace cli {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

struct Monitor {
    int measure_state = -1;  // -1: not reported yet
    int fill = 0;            // bytes in the current block
    int rate = 0;            // 0..1000
    int losses = 0;
    bool link_lost = false;
    bool store_failed = false;

    void see(const Note& n) {
        if (n.code == NtfyMeasureState) measure_state = n.status;
        else if (n.code == NtfyBlockFill) fill = static_cast<int>(n.data);
        else if (n.code == NtfyRate) rate = n.status;
        else if (n.code == NtfyLost) losses = static_cast<int>(n.data);
        else if (n.code == NtfyLinkLost) link_lost = true;
        else if (n.code == NtfyStoreFailed) store_failed = true;
    }
};

void show_status(std::FILE* to, const Monitor& m, int max_blocks) {
    if (!to) return;
    const auto b = NotifyQueue::last_blocks();
    const int bars = m.rate < 0 ? 0 : (m.rate + 99) / 100;
    std::fprintf(to, "\rblocks %d/%d  block %3d%%  rate [%-10.*s]  losses %d ", b[2], max_blocks,
                 static_cast<int>((static_cast<long long>(m.fill) * 100) >> 20), bars, "##########", m.losses);
    std::fflush(to);
}

// Waits until the measurement state satisfies `done`, feeding the monitor.
template <class Done>
bool await_state(AnalyzerSession& s, Monitor& m, Done done, std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    while (!done(m.measure_state) && !m.link_lost) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return false;
        // Nothing within the limit, or the command's deadline has come.
        const auto n = s.next(left);
        if (!n) break;
        m.see(*n);
    }
    return done(m.measure_state);
}

// A refused start: ask why, disconnect, and say it.
std::string refused_start(AnalyzerSession& s) {
    int reason = -1;
    if (s.call(ReqGetStopReason, 0, 5s) == StatusDone) reason = static_cast<int>(s.last_data());
    s.disconnect();
    return stop_reason_text(reason) + " (stop reason " + std::to_string(reason) + ")";
}

std::string stop_cause(const CaptureJob& job, const Monitor& m, Clock::time_point started) {
    const auto b = NotifyQueue::last_blocks();
    if (interrupted()) return interrupt_cause();
    if (job.stop_check) {
        if (std::string why = job.stop_check(); !why.empty()) return why;
    }
    if (m.link_lost) return "link lost";
    if (m.store_failed) return "store failure";
    if (m.measure_state == 0) return "the analyzer";
    const bool storing = !job.folder.empty();
    if (storing && (b[1] >= pcbuffer::BlockNumberLimit || (!job.ring && b[2] >= job.max_blocks))) return "block limit";
    if (job.seconds > 0 && Clock::now() - started >= std::chrono::duration<double>(job.seconds)) return "time";
    return "";
}

// Stops a running measurement and waits for the analyzer to report the end.
std::string stop_measurement(AnalyzerSession& s, Monitor& m) {
    if (m.measure_state != 0 && !m.link_lost) s.call(ReqMeasure, 0, 10s);
    if (!await_state(
            s, m, [](int st) { return st == 0; }, 15s) &&
        !m.link_lost) {
        // The link reset closes (and so flushes) the block file all the same.
        s.remote().ResetLink();
        s.remote().Close();
        return message_text(Msg::NoAnswer);
    }
    return "";
}

std::string start_measurement(AnalyzerSession& s, Monitor& m) {
    const int start = s.call(ReqMeasure, 1, 10s);
    if (start == kLinkLost) return link_lost_text(s.link_lost());
    if (start == StatusNoAnswer || start == kNoNotification) {
        s.disconnect();
        return message_text(Msg::NoAnswer);
    }
    // Any other refusal (258 for an unsupported start, too) has a stop reason to show.
    if (start != StatusDone) return refused_start(s);
    if (!await_state(
            s, m, [](int st) { return st > 0; }, 15s)) {
        if (m.link_lost) return link_lost_text(s.link_lost());
        s.remote().ResetLink();
        s.disconnect();
        return message_text(Msg::NoAnswer);
    }
    return "";
}

// How long a timed capture may take beyond its seconds, start and stop included,
// whatever the analyzer does: the session's waits end by then.
constexpr auto kTimedCaptureMargin = 18s;

void limit_timed_capture(AnalyzerSession& s, const CaptureJob& job, Clock::time_point command_start) {
    if (job.seconds > 0)
        s.set_deadline(command_start + std::chrono::duration_cast<Clock::duration>(
                                           std::chrono::duration<double>(job.seconds) + kTimedCaptureMargin));
}

// The link went away mid-measurement: say so, and what was kept.
std::string link_lost_error(const AnalyzerSession& s, const CaptureJob& job) {
    const auto b = NotifyQueue::last_blocks();
    std::string text = link_lost_text(s.link_lost());
    if (b[2] == 0) return text + "; no block was stored";
    if (b[2] == 1) return text + "; block " + pcbuffer::BlockFileName(b[0]) + " is kept in " + job.folder;
    return text + "; the " + std::to_string(b[2]) + " blocks " + pcbuffer::BlockFileName(b[0]) + " to " +
           pcbuffer::BlockFileName(b[1] - 1) + " are kept in " + job.folder;
}

// The measurement was stopped because the folder could not be written: the
// library's report, how the stop went and the losses, as the command's error.
std::string store_failure_error(const std::string& stop_error, int losses) {
    const auto failure = NotifyQueue::last_store_failure();
    if (!failure) return "could not store the measurement";
    std::string outcome = stop_error.empty() ? "the analyzer was stopped" : "stopping the analyzer: " + stop_error;
    outcome += "; " + std::to_string(losses) + (losses == 1 ? " data loss" : " data losses");
    return store_failure_text(*failure, outcome);
}

}  // namespace

int count_block_files(const std::string& folder) {
    int n = 0;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(folder, ec))
        if (pcbuffer::IsWrittenBlockName(e.path().filename().string())) ++n;
    return n;
}

CaptureResult run_capture(const CaptureJob& job) {
    const auto command_start = Clock::now();
    CaptureResult r;
    auto failed = [&r](std::string text) {
        r.exit_code = kExitFailed;
        r.error = std::move(text);
        return r;
    };
    // A folder made here goes again when the measurement never starts. A
    // live viewer without a folder keeps no PC buffer.
    const bool storing = !job.folder.empty() || !job.attach;
    platform::NewFolders made;
    if (storing) {
        if (auto e = made.make(job.folder); !e.empty()) return failed(e);
        if (auto e = check_buffer_folder(job.folder, job.max_blocks, job.warnings)) return failed(*e);
        if (!job.force && count_block_files(job.folder) > 0)
            return failed(std::string(message_text(Msg::StartWithData)) + "\nAdd --force to start anyway.");
    }

    AnalyzerSession s;
    s.set_report(job.warnings);  // a --speed auto search says what it found there
    limit_timed_capture(s, job, command_start);
    const BufferSettings buffer{job.folder.c_str(), job.max_blocks, 0, static_cast<std::uint8_t>(job.ring)};
    if (auto e = s.open(job.port, storing ? &buffer : nullptr)) return failed(*e);
    if (job.attach) job.attach(s.remote());
    if (auto e = s.connect(true, true)) return failed(*e);
    r.analyzer = describe_analyzer(s);
    Monitor m;
    s.set_observer([&m](const Note& n) { m.see(n); });
    if (const int st = s.call(ReqGetSetup, 0, 60s); st != StatusDone) {
        s.disconnect();
        if (st == kLinkLost) return failed(link_lost_text(s.link_lost()));
        return failed(with_status(message_text(Msg::Connection), st == kNoNotification ? StatusNoAnswer : st));
    }
    if (interrupted()) {
        // Ctrl-C before anything was measured: nothing to keep, just leave.
        s.disconnect();
        return failed(std::string("stopped by ") + interrupt_cause() + " before the measurement started");
    }
    if (auto e = start_measurement(s, m); !e.empty()) return failed(e);
    made.keep();

    const auto started = Clock::now();
    while ((r.ended_by = stop_cause(job, m, started)).empty()) {
        if (const auto n = s.next(200ms)) m.see(*n);
        show_status(job.status, m, job.max_blocks);
    }
    const std::string stop_error = stop_measurement(s, m);
    show_status(job.status, m, job.max_blocks);
    if (job.status) std::fputc('\n', job.status);
    s.disconnect();
    const auto b = NotifyQueue::last_blocks();
    r.first = b[0];
    r.next = b[1];
    r.count = b[2];
    r.losses = m.losses;
    if (s.link_lost() >= 0) return failed(link_lost_error(s, job));
    if (m.store_failed) return failed(store_failure_error(stop_error, m.losses));
    if (!stop_error.empty()) return failed(stop_error);
    return r;
}

std::string capture_summary(const CaptureResult& r, const std::string& folder) {
    std::string line = r.analyzer + ": stopped by " + r.ended_by;
    if (!folder.empty()) {
        line += "; " + std::to_string(r.count) + " block" + (r.count == 1 ? "" : "s") + " held (" +
                pcbuffer::BlockFileName(r.first) + " to " + pcbuffer::BlockFileName(r.next > 0 ? r.next - 1 : 0) +
                ") in " + folder;
    }
    line += "; " + std::to_string(r.losses) + (r.losses == 1 ? " data loss" : " data losses");
    return line;
}

}  // namespace cli
