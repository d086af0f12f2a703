// One handler per library notification: the rows that move a measurement
// from connecting through starting and stopping to the disconnect.
#include "app/main_controller.h"
#include "app/notify_codes.h"
#include "commlib/store_failure_text.h"

#include <cctype>

#include "pcbuffer/buffer_names.h"
#include "platform/port_name.h"
#include "platform/port_problem.h"

namespace capstore {

void MainController::on_notification(std::uintptr_t wparam, std::intptr_t lparam) {
    if (ended_) return;
    const int code = NotificationCode(wparam);
    const int status = NotificationStatus(wparam);
    void* data = reinterpret_cast<void*>(lparam);
    switch (code) {
    case ReqConnect: connect_ended(status); break;
    case ReqDisconnect: disconnect_ended(status); break;
    case ReqMeasure: measure_ended(status); break;
    case ReqGetSetup: setup_ended(status); break;
    case ReqGetStopReason: stop_reason_ended(lparam); break;
    case NtfyAutoConnected: enter_connected(); break;
    case NtfyLinkLost: link_lost(status); break;
    case NtfyBlockFill:
        view_.set_control_text(id::kBlockFill, std::to_string((static_cast<long long>(lparam) * 100) >> 20) + "%");
        break;
    case NtfyRate: view_.set_rate_speed(status); break;
    case NtfyMeasureState: measure_state(status); break;
    case NtfyBlocks: blocks(static_cast<const int*>(data)); break;
    case NtfyStoreFailed: store_failed(static_cast<const StoreFailure*>(data)); break;
    case NtfyLost: view_.set_control_text(id::kLost, std::to_string(static_cast<std::uint32_t>(lparam))); break;
    default: break;
    }
}

void MainController::connect_ended(int status) {
    if (status == StatusDone) {
        if (remote_.GetLinkMode() <= 1) {
            request(ReqDisconnect);
            set_status(str::kNoStatus);
            message(str::kUnsupportedAnalyzer, Icon::Warning);
        } else if (IsMeasuring(remote_.GetStatus())) {
            request(ReqDisconnect);
            set_status(str::kNoStatus);
            message(str::kMeasuringAtConnect, Icon::Warning);
        } else {
            request(ReqGetSetup);
        }
        return;
    }
    if (status != StatusNoAnswer) request(ReqDisconnect);
    leave_busy();
    set_status(str::kNoStatus);
    if (status != StatusNoAnswer) {
        message(str::kConnectFailed, Icon::Warning);
        return;
    }
    // Nothing answered: what to check, after the table's text.
    const PortSettings* port = remote_.GetPortSettings();
    const std::string name = port && port->Port ? port->Port : "";
    message_with_detail(str::kConnectFailed,
                        platform::noAnswerHint(platform::devicePath(name), {port ? port->Speed : 0},
                                               platform::HintFor::Window, language_ == Language::Japanese),
                        Icon::Warning);
}

void MainController::setup_ended(int status) {
    if (status == StatusDone) {
        enter_connected();
        set_status(str::kStarting);
        request(ReqMeasure, 1);
        return;
    }
    request(ReqDisconnect);
    set_status(str::kNoStatus);
    message(str::kConnectFailed, Icon::Warning);
}

void MainController::measure_ended(int status) {
    if (status == StatusDone) {
        if (s_.busy) s_.stop_watchdog = kWatchdogTicks;
    } else if (status == StatusNoAnswer) {
        leave_busy();
        set_status(str::kNoStatus);
        message(str::kNoAnswer, Icon::Warning);
    } else {
        // Refused by the analyzer, or a status the analyzer's refusal maps to
        // (258 for an unsupported function): ask why and disconnect.
        request(ReqGetStopReason);
    }
}

void MainController::stop_reason_ended(std::intptr_t reason) {
    // A reason of 0 would read as "no reason" and the refusal would pass in
    // silence; show the general message for it instead.
    s_.stop_reason = reason != 0 ? static_cast<int>(reason) : -1;
    request(ReqDisconnect);
}

void MainController::measure_state(int status) {
    s_.stop_watchdog = 0;
    if (status == 1 || status == 2) {
        leave_busy();
        set_measure_state(status);
        set_status(str::kNoStatus);
        if (s_.store_failed) request_stop();
        return;
    }
    request_disconnect_with_text(str::kDisconnecting);
}

void MainController::request_disconnect_with_text(int status_text) {
    set_status(status_text);
    request(ReqDisconnect);
}

void MainController::blocks(const int* values) {
    if (values) {
        s_.first_block = values[0];
        s_.next_block = values[1];
        s_.block_count = values[2];
    }
    show_block_count();
    refresh_buttons();
    if (s_.measure_state == 0 || s_.busy) return;
    if (s_.next_block >= pcbuffer::kBlockNumberLimit || (s_.block_count >= buffer_.MaxBlocks && !ring()))
        request_stop();
}

void MainController::disconnect_ended(int status) {
    s_.stop_watchdog = 0;
    remote_.Close();
    if (s_.exit_requested) {
        set_measure_state(0);
        go_offline();
        set_status(str::kNoStatus);
        exit_steps();
    } else if (s_.stop_reason != 0) {
        const int reason = s_.stop_reason;
        s_.stop_reason = 0;
        leave_busy();
        go_offline();
        set_status(str::kNoStatus);
        stop_reason_message(reason);
    } else {
        leave_busy();
        set_measure_state(0);
        go_offline();
        set_status(str::kNoStatus);
        if (status == StatusNoAnswer) message(str::kNoAnswer, Icon::Warning);
    }
}

void MainController::store_failed(const StoreFailure* failure) {
    s_.store_failed = true;
    // While starting or stopping the running state's report makes the stop.
    if (s_.measure_state != 0 && !s_.busy) request_stop();
    message(str::kStoreFailed, Icon::Warning, Buttons::Ok, failure ? DescribeStoreFailure(*failure) : std::string());
}

void MainController::link_lost(int status) {
    remote_.Close();
    s_.stop_watchdog = 0;
    leave_busy();
    set_measure_state(0);
    go_offline();
    // Offline first, then say why: what was stored so far is kept.
    std::string why = platform::linkLostText(status == LinkLostPortGone);
    why[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(why[0])));
    message_with_detail(0, why + ".", Icon::Warning);
}

}  // namespace capstore
