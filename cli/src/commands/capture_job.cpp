// The measurement sequence. Notifications update a small monitor; the main
// loop decides when to stop. Stopping always lets the library flush the last
// block: the analyzer reports the end, or the link reset closes the file.
// With --resume one capture is a row of such connections, an outage between
// each two.
#include "commands/capture_job.h"

#include <malloc.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <vector>

#include "commands/capture_report.h"
#include "commands/capture_resume.h"
#include "commands/store_checks.h"
#include "pcbuffer/buffer_names.h"
#include "platform/port_name.h"
#include "platform/whole_file.h"
#include "service/service_notify.h"
#include "service/state_file.h"
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
    std::vector<std::pair<int, int>> trimmed;  // NtfyTrimmed: blocks given up, oldest left

    void see(const Note& n) {
        if (n.code == NtfyMeasureState) measure_state = n.status;
        else if (n.code == NtfyBlockFill) fill = static_cast<int>(n.data);
        else if (n.code == NtfyRate) rate = n.status;
        else if (n.code == NtfyLost) losses = static_cast<int>(n.data);
        else if (n.code == NtfyLinkLost) link_lost = true;
        else if (n.code == NtfyStoreFailed) store_failed = true;
        else if (n.code == NtfyTrimmed) trimmed.emplace_back(n.status, static_cast<int>(n.data));
    }
};

// What lasts from one connection to the next.
struct Run {
    Clock::time_point command_start;
    std::optional<Clock::time_point> started;  // when the first measurement began
    std::string model;                         // the analyzer's, at the first connect
    int losses_before = 0;                     // data losses of the connections before this one
    PortChoice port;                           // after a --speed auto search, the speed that answered
};

enum class Ending { Stopped, Outage, Failed };

struct SessionEnd {
    Ending how = Ending::Stopped;
    std::string error;      // the command's error text
    std::string why;        // an outage's cause, for the log
    bool measured = false;  // this connection's measurement ran
    int error_number = 0;   // the errno behind `error`, where there is one
};

SessionEnd failure(std::string text) { return {Ending::Failed, std::move(text), "", false}; }
// A failure of the line (port, link, silence): an outage that --resume waits out.
SessionEnd outage(std::string text) {
    std::string why = text;
    return {Ending::Outage, std::move(text), std::move(why), false};
}
SessionEnd outage_or_failure(const AnalyzerSession& s, std::string text) {
    return s.line_failed() ? outage(std::move(text)) : failure(std::move(text));
}

CaptureProgress progress_of(const Monitor& m, const Run& run) {
    return CaptureProgress{NotifyQueue::last_blocks(), m.fill, m.rate, run.losses_before + m.losses};
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

// What stops the capture whatever the line does: an interrupt, the live
// viewer, the time.
std::string stop_request(const CaptureJob& job, const Run& run) {
    if (interrupted()) return interrupt_cause();
    if (job.stop_check) {
        if (std::string why = job.stop_check(); !why.empty()) return why;
    }
    const auto since = run.started.value_or(run.command_start);
    if (job.seconds > 0 && Clock::now() - since >= std::chrono::duration<double>(job.seconds)) return "time";
    return "";
}

std::string stop_cause(const CaptureJob& job, const Monitor& m, const Run& run) {
    const auto b = NotifyQueue::last_blocks();
    const std::string request = stop_request(job, run);
    if (!request.empty() && request != "time") return request;
    if (m.link_lost) return "link lost";
    if (m.store_failed) return "store failure";
    if (m.measure_state == 0) return "the analyzer";
    const bool storing = !job.folder.empty();
    if (storing && (b[1] >= pcbuffer::kBlockNumberLimit || (!job.ring && b[2] >= job.max_blocks))) return "block limit";
    return request;
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

// nullopt once the measurement runs, else how the connection ended.
std::optional<SessionEnd> start_measurement(AnalyzerSession& s, Monitor& m) {
    const int start = s.call(ReqMeasure, 1, 10s);
    if (start == kLinkLost) return outage(link_lost_text(s.link_lost()));
    if (start == StatusNoAnswer || start == kNoNotification) {
        s.disconnect();
        return outage(message_text(Msg::NoAnswer));
    }
    // Any other refusal (258 for an unsupported start, too) has a stop reason to show.
    if (start != StatusDone) return failure(refused_start(s));
    if (!await_state(
            s, m, [](int st) { return st > 0; }, 15s)) {
        if (m.link_lost) return outage(link_lost_text(s.link_lost()));
        s.remote().ResetLink();
        s.disconnect();
        return outage(message_text(Msg::NoAnswer));
    }
    return std::nullopt;
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

// Connects, checks and starts (nullopt once the measurement runs); with an
// earlier measurement behind it, the analyzer must be the same model. With
// --resume one that measures already is stopped for the next attempt to
// start it; without, it is refused.
std::optional<SessionEnd> connect_and_start(const CaptureJob& job, Run& run, AnalyzerSession& s, Monitor& m,
                                            CaptureResult& r) {
    const bool again = run.started.has_value();
    if (auto e = s.connect(true, !job.resume)) return outage_or_failure(s, *e);
    const std::string model = s.model_name();
    if (again && model != run.model) {
        s.disconnect();
        return failure("the analyzer on " + job.port.port + " is now a " + model + ", not the " + run.model +
                       " this capture began with; not measuring into the same folder");
    }
    run.model = model;
    r.analyzer = describe_analyzer(s);
    if (const int st = s.call(ReqGetSetup, 0, 60s); st != StatusDone) {
        s.disconnect();
        if (st == kLinkLost) return outage(link_lost_text(s.link_lost()));
        const std::string text =
            with_status(message_text(Msg::Connection), st == kNoNotification ? StatusNoAnswer : st);
        return st == kNoNotification || st == StatusNoAnswer ? outage(text) : failure(text);
    }
    if (interrupted()) {
        // Ctrl-C before anything was measured: nothing to keep, just leave.
        s.disconnect();
        if (again) {
            r.ended_by = interrupt_cause();
            return SessionEnd{};
        }
        return failure(std::string("stopped by ") + interrupt_cause() + " before the measurement started");
    }
    if (job.resume && IsMeasuring(s.remote().GetStatus())) {
        // It went on measuring while the PC could not reach it (or the capture
        // before this one was killed), and a session with a measuring analyzer
        // hears nothing of it: stopped now, it measures again from the next
        // attempt on.
        s.call(ReqMeasure, 0, 10s);
        s.disconnect();
        return outage("the analyzer had gone on measuring; it was stopped, to measure again into the same folder");
    }
    return start_measurement(s, m);
}

// One connection: open, connect, start, measure until a stop cause, stop, disconnect.
SessionEnd measure_once(const CaptureJob& job, Run& run, CaptureReport& report, CaptureResult& r) {
    const bool storing = !job.folder.empty() || !job.attach;
    AnalyzerSession s;
    s.set_report(job.warn ? stderr : nullptr);  // a --speed auto search says what it found there
    limit_timed_capture(s, job, run.command_start);
    const BufferSettings buffer{job.folder.c_str(), job.max_blocks, 0, static_cast<std::uint8_t>(job.ring)};
    const CaptureOptions options{job.resume ? 1 : 0, 0, job.keep_free};
    if (s.remote().SetCaptureOptions(&options) != 0) return failure("the communication library refused --keep-free");
    if (auto e = s.open(run.port, storing ? &buffer : nullptr); !e.ok()) {
        SessionEnd end = outage_or_failure(s, e.message());
        end.error_number = e.errorNumber();
        return end;
    }
    if (job.attach) job.attach(s.remote());
    Monitor m;
    s.set_observer([&m](const Note& n) { m.see(n); });
    if (auto end = connect_and_start(job, run, s, m, r)) return *end;
    run.port = s.port();  // a reconnect reaches the same analyzer at once, without searching again

    if (!run.started) run.started = Clock::now();
    report.measuring(r.analyzer, progress_of(m, run));
    auto heard = Clock::now();
    while ((r.ended_by = stop_cause(job, m, run)).empty()) {
        if (const auto n = s.next(200ms)) {
            m.see(*n);
            heard = Clock::now();
        }
        for (const auto& [count, oldest] : m.trimmed) report.trimmed(count, oldest, job.keep_free);
        m.trimmed.clear();
        // The protocol thread reports the fill every 200 ms while it lives.
        report.progress(progress_of(m, run), Clock::now() - heard < 2s);
    }
    const std::string stop_error = stop_measurement(s, m);
    report.progress(progress_of(m, run), true);
    s.disconnect();
    const auto b = NotifyQueue::last_blocks();
    r.first = b[0];
    r.next = b[1];
    r.count = b[2];
    r.losses = run.losses_before + m.losses;
    run.losses_before = r.losses;
    SessionEnd end;
    if (s.link_lost() >= 0) end = SessionEnd{Ending::Outage, link_lost_error(s, job), link_lost_text(s.link_lost())};
    else if (m.store_failed) end = failure(store_failure_error(stop_error, r.losses));
    else if (!stop_error.empty()) end = failure(stop_error);
    end.measured = true;
    return end;
}

ReportSinks system_sinks(ServiceNotifier& notifier, StateFile& state) {
    ReportSinks sinks;
    sinks.log = [](Priority p, const std::string& text) { say(p, text); };
    if (notifier.active()) sinks.notify = [&notifier](const std::string& message) { notifier.send(message); };
    sinks.state = [&state](const CaptureState& s) { state.write(s); };
    sinks.journal = stderr_is_journal();
    sinks.watchdog = notifier.watchdog().has_value();
    return sinks;
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
    Run run{Clock::now(), std::nullopt, "", 0, job.port};
    CaptureResult r;
    // A folder made here goes again when the measurement never starts. A
    // live viewer without a folder keeps no PC buffer.
    const bool storing = !job.folder.empty() || !job.attach;
    platform::NewFolders made;
    auto failed = [&r](platform::Status status) {
        r.exit_code = kExitFailed;
        r.error = std::move(status);
        return r;
    };
    // A failure of the folder's checks or of the measurement, with its text.
    auto capture_failure = [&job](std::string text, int error_number = 0) {
        return platform::Status::failureWithMessage("capture", job.folder, error_number, std::move(text));
    };
    if (storing) {
        if (auto s = made.make(job.folder); !s.ok()) return failed(s);
        if (auto e = check_buffer_folder(job.folder, job.max_blocks, job.warn)) return failed(capture_failure(*e));
        if (auto e = check_held_blocks(job.folder, job.force, job.resume)) return failed(capture_failure(*e));
    }
    ServiceNotifier notifier;
    StateFile state;
    CaptureReport report({job.program, job.port.port, job.folder, job.max_blocks, job.status},
                         system_sinks(notifier, state));
    auto finish = [&](SessionEnd end) {
        r.outages = report.outages();
        if (end.how != Ending::Stopped) {
            report.ended(false, end.error);
            return failed(capture_failure(end.error, end.error_number));
        }
        report.ended(true, capture_summary(r, job.folder));
        return r;
    };
    const std::string device = platform::devicePath(job.port.port);
    // The wait before the next attempt: 1 s after an outage (or a first start
    // that failed), twice the last one after each failed attempt.
    auto delay = kFirstRetry;
    bool waited = false;
    for (;;) {
        SessionEnd end = measure_once(job, run, report, r);
        if (run.started) made.keep();
        if (end.how != Ending::Outage || !job.resume) return finish(end);
        // What the session's threads held goes back to the system, so a
        // capture that lives through many outages keeps its size.
        ::malloc_trim(0);
        if (end.measured) {
            report.outage(end.why, CaptureProgress{{r.first, r.next, r.count}, 0, 0, r.losses});
            delay = kFirstRetry;
        } else {
            if (waited) delay = next_retry(delay);
            report.attempt_failed(end.why, delay);
        }
        if (auto why = wait_before_attempt(device, delay, report, [&] { return stop_request(job, run); })) {
            r.ended_by = *why;
            if (!run.started) r.analyzer = "no analyzer reached on " + job.port.port;
            return finish({});
        }
        waited = true;
    }
}

std::string capture_summary(const CaptureResult& r, const std::string& folder) {
    std::string line = r.analyzer + ": stopped by " + r.ended_by;
    if (!folder.empty()) {
        line += "; " + std::to_string(r.count) + " block" + (r.count == 1 ? "" : "s") + " held (" +
                pcbuffer::BlockFileName(r.first) + " to " + pcbuffer::BlockFileName(r.next > 0 ? r.next - 1 : 0) +
                ") in " + folder;
    }
    line += "; " + std::to_string(r.losses) + (r.losses == 1 ? " data loss" : " data losses");
    if (r.outages > 0) line += "; " + std::to_string(r.outages) + (r.outages == 1 ? " outage" : " outages");
    return line;
}

}  // namespace cli
