// The connection sequence shared by capture, settings, table, screen and key.
#include "session/analyzer_session.h"

#include <unistd.h>

#include <cstdio>
#include <stdexcept>

#include "platform/port_name.h"
#include "platform/port_problem.h"
#include "session/interrupt.h"
#include "text/messages.h"

namespace cli {

using namespace std::chrono_literals;

AnalyzerSession::AnalyzerSession() {
    if (CreateMirlokeRemote(&remote_) != 1 || !remote_)
        throw std::runtime_error("the communication library could not create its object");
}

AnalyzerSession::~AnalyzerSession() {
    disconnect();
    remote_->Release();
}

platform::Status AnalyzerSession::open(const PortChoice& port, const BufferSettings* buffer) {
    port_ = port;
    device_ = platform::devicePath(port.port);
    buffer_.reset();
    if (buffer) {
        folder_ = buffer->Folder ? buffer->Folder : "";
        buffer_ = *buffer;
        if (buffer->Folder) buffer_->Folder = folder_.c_str();
    }
    return open_at(port.search.empty() ? port.speed : port.search.front());
}

platform::Status AnalyzerSession::open_at(int speed) {
    port_.speed = speed;
    const PortSettings settings{port_.port.c_str(), speed, port_.parity, 0};
    const BufferSettings* buffer = buffer_ ? &*buffer_ : nullptr;
    const int init = remote_->Initialize(&queue_, NotifyQueue::callback(), &settings, buffer);
    if (init != 0) {
        return platform::Status::failureWithMessage(
            "set up", device_, 0,
            "the communication library refused its settings (Initialize " + std::to_string(init) +
                (buffer && buffer->Folder ? "; does the buffer folder exist?)" : ")"));
    }
    const int opened = remote_->Open();
    PortError error{};
    if (opened != 0 || remote_->GetPortError(&error) != PortStepNone) {
        if (opened == 2) error.Step = PortStepNotSerial;
        line_failed_ = true;
        const platform::PortFailure failure{static_cast<platform::PortStep>(error.Step), error.Error};
        return platform::Status::failureWithMessage(
            "open", device_, failure.error,
            std::string(message_text(Msg::PortInit)) + "\n" + platform::portProblemText(device_, failure, speed));
    }
    return {};
}

// One connect per speed until one is answered, or Ctrl-C (for the commands
// that catch it) ends the search. A speed the port does not take is left out;
// the port is then closed, and the report of its failed open (a
// notification) is dropped with it. A terminal sees which speed is tried.
int AnalyzerSession::connect_searching() {
    const std::vector<int> speeds = port_.search.empty() ? std::vector<int>{port_.speed} : port_.search;
    const bool progress = speeds.size() > 1 && report_ && ::isatty(::fileno(report_));
    tried_.clear();
    int status = kNoNotification;
    for (std::size_t i = 0; i < speeds.size() && !(i > 0 && interrupted()); ++i) {
        if (i > 0 && !open_at(speeds[i]).ok()) {
            remote_->Close();
            queue_.discard();
            continue;
        }
        if (progress) std::fprintf(report_, "\rtrying %d baud (%zu of %zu) ", speeds[i], i + 1, speeds.size());
        tried_.push_back(speeds[i]);
        status = call(ReqConnect, 0, 40s);
        if ((status != StatusNoAnswer && status != kNoNotification) || port_failed_) break;
        remote_->Close();
    }
    if (progress) std::fputs("\r\033[K", report_);
    return status;
}

std::optional<std::string> AnalyzerSession::connect(bool need_packet_mode, bool refuse_measuring) {
    const bool searching = !port_.search.empty();
    const int status = connect_searching();
    if (status == kLinkLost) return link_lost_text(link_lost_);
    line_failed_ = port_failed_ || status == StatusNoAnswer || status == kNoNotification;
    if (port_failed_) return std::string(message_text(Msg::PortInit)) + "\nCannot open '" + device_ + "'.";
    if (status != StatusDone) {
        // A connect that got no answer leaves nothing to end on the analyzer's side.
        if (status != StatusNoAnswer && status != kNoNotification) {
            connected_ = true;
            disconnect();
        }
        remote_->Close();
        if (searching && interrupted())
            return std::string("stopped by ") + interrupt_cause() + " during the speed search, before any answer";
        const int shown = status == kNoNotification ? StatusNoAnswer : status;
        const std::string text = with_status(message_text(Msg::Connection), shown);
        if (shown != StatusNoAnswer) return text;
        return text + "\n" + platform::noAnswerHint(device_, tried_, platform::HintFor::Command);
    }
    connected_ = true;
    if (searching) {
        port_.search.clear();
        if (report_)
            std::fprintf(report_, "found %s at %d baud on %s\n", name_and_version(*this).c_str(), port_.speed,
                         device_.c_str());
    }
    if (need_packet_mode && remote_->GetLinkMode() <= 1) {
        disconnect();
        return message_text(Msg::Unsupported);
    }
    if (refuse_measuring && IsMeasuring(remote_->GetStatus())) {
        disconnect();
        return message_text(Msg::Measuring);
    }
    return std::nullopt;
}

std::optional<Note> AnalyzerSession::next(std::chrono::milliseconds limit) {
    const auto now = std::chrono::steady_clock::now();
    const auto deadline = deadline_ - now < limit ? deadline_ : now + limit;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return std::nullopt;
        const auto m = queue_.wait(left);
        if (!m) return std::nullopt;
        if (m->message != NotifyMessage) continue;
        const auto taken = queue_.take_note();
        if (!taken) continue;
        const Note note = *taken;
        if (note.code == NtfyLinkLost && link_lost_ < 0) {
            // The library has ended the session; the port is of no more use.
            link_lost_ = note.status;
            line_failed_ = true;
            connected_ = false;
            remote_->Close();
        }
        return note;
    }
}

int AnalyzerSession::call(int code, int param, std::chrono::milliseconds limit) {
    // A request that the protocol thread did not take gets no notification
    // unless the library answered it at once (port not open).
    if (link_lost_ >= 0) return kLinkLost;
    const bool taken = remote_->Request(code, param, 0) == 1;
    const auto deadline = std::chrono::steady_clock::now() + (taken ? limit : std::chrono::milliseconds(500));
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        const auto note = next(left.count() > 0 ? left : 0ms);
        if (!note) return kNoNotification;
        if (note->code == ReqGetStopReason && code != ReqGetStopReason && note->status == StatusPortNotOpen) {
            port_failed_ = true;  // how Open reports a port that exists but failed to open
            continue;
        }
        if (note->code == code) {
            last_data_ = note->data;
            return note->status;
        }
        if (observer_) observer_(*note);
        if (note->code == NtfyLinkLost) return kLinkLost;
    }
}

void AnalyzerSession::disconnect() {
    if (connected_) {
        connected_ = false;
        call(ReqDisconnect, 0, 10s);
    }
    remote_->Close();
}

void AnalyzerSession::finish_operation() {
    if (connected_) call(ReqGetSetup, 0, 30s);
    disconnect();
}

std::string AnalyzerSession::model_name() {
    char name[64] = {};
    remote_->GetModelName(name, sizeof name);
    return name;
}

std::string link_lost_text(int status) { return platform::linkLostText(status == LinkLostPortGone); }

std::string name_and_version(AnalyzerSession& session) {
    const int v = session.remote().GetVersion();
    char text[96];
    std::snprintf(text, sizeof text, "%s %X.%02X", session.model_name().c_str(), (v >> 20) & 0xFF, (v >> 12) & 0xFF);
    return text;
}

std::string describe_analyzer(AnalyzerSession& session) {
    return name_and_version(session) + (session.remote().GetLinkMode() == 2 ? " (packet mode)" : " (text mode)");
}

}  // namespace cli
