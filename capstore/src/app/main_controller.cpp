// The user's commands on the main window: start and stop a measurement,
// the environment menu, the close request, the tick and the exit steps.
#include "app/main_controller.h"

#include <cstring>

#include "platform/port_problem.h"

namespace capstore {

MainController::MainController(Remote& remote, MainView& view, Language language,
                               const std::atomic<unsigned>& port_not_open_posts, MainHooks hooks)
    : remote_(remote),
      view_(view),
      language_(language),
      port_not_open_posts_(port_not_open_posts),
      hooks_(std::move(hooks)) {}

void MainController::start(const BufferSettings& buffer) {
    buffer_ = buffer;
    folder_ = buffer.Folder ? buffer.Folder : "";
    buffer_.Folder = folder_.c_str();
    if (hooks_.store_buffer) hooks_.store_buffer(buffer_);
    s_ = AppState{};
    go_offline();  // forced: sets the title, indicator and buttons once
    initialised_ = true;
    view_.set_indicator(kMeasurePart, false);
    view_.set_indicator(kConvertPart, false);
    view_.set_control_text(id::kBlockCount, "0");
    view_.set_control_text(id::kLost, "0");
    view_.set_control_text(id::kProgress, "0");
    view_.set_control_text(id::kBlockFill, "0%");
    set_status(str::kNoStatus);
}

void MainController::on_start_measure() {
    if (s_.busy || s_.converting || s_.measure_state != 0) return;
    if (buffer_.Warn && s_.block_count > 0 &&
        message(str::kBufferWillBeCleared, Icon::Question, Buttons::YesNo) != Answer::Yes)
        return;
    if (!folder_usable()) return;
    if (remote_.Open() != 0 || remote_.GetPortError(nullptr) != PortStepNone) return port_failed();
    s_.store_failed = false;
    enter_busy();
    set_status(str::kConnecting);
    request(ReqConnect);
}

bool MainController::folder_usable() {
    if (folder_.empty()) return true;
    if (const int error = hooks_.probe_folder ? hooks_.probe_folder(folder_) : 0; error != 0) {
        message(str::kFolderNotWritable, Icon::Warning, Buttons::Ok, folder_ + ": " + std::strerror(error));
        return false;
    }
    const long long free = hooks_.free_mbytes ? hooks_.free_mbytes(folder_) : -1;
    if (free >= 0 && free < buffer_.MaxBlocks)
        message(str::kLowFreeSpace, Icon::Warning, Buttons::Ok,
                std::to_string(free) + " MBytes free in " + folder_ + ", " + std::to_string(buffer_.MaxBlocks) +
                    " blocks need " + std::to_string(buffer_.MaxBlocks) + " MBytes");
    return true;
}

// The port did not open: the table's message and what the system said.
void MainController::port_failed() {
    PortError e{};
    remote_.GetPortError(&e);
    const PortSettings* port = remote_.GetPortSettings();
    remote_.Close();
    if (e.Step == PortStepNone || !port) {
        message(str::kPortInitFailed, Icon::Warning);
        return;
    }
    message_with_detail(4, platform::portProblemForName(port->Port ? port->Port : "", e.Step, e.Error, port->Speed),
                        Icon::Warning);
}

void MainController::on_stop_measure() {
    if (s_.busy || s_.measure_state == 0) return;
    request_stop();
}

void MainController::request_stop() {
    enter_busy();
    set_status(str::kStopping);
    request(ReqMeasure, 0);
}

void MainController::on_close_request() {
    if (ended_ || s_.exit_requested) return;
    if (s_.measure_state == 0) {
        s_.exit_requested = true;
        enter_busy();
        set_status(str::kExiting);
        request(ReqDisconnect);
        return;
    }
    if (message(str::kExitWhileMeasuring, Icon::Question, Buttons::YesNo) != Answer::Yes) return;
    s_.exit_requested = true;
    request_stop();
}

void MainController::on_port_setting() {
    if (s_.busy || s_.connected || s_.converting) return;
    if (remote_.PortSettingDialog() <= 0) return;
    if (const PortSettings* p = remote_.GetPortSettings(); p && hooks_.store_port) hooks_.store_port(*p);
}

void MainController::on_buffer_setting() {
    if (s_.busy || s_.connected || s_.converting) return;
    if (remote_.BufferSettingDialog() <= 0) return;
    const BufferSettings* b = remote_.GetBufferSettings();
    if (!b) return;
    buffer_ = *b;
    folder_ = b->Folder ? b->Folder : "";
    buffer_.Folder = folder_.c_str();
    if (hooks_.store_buffer) hooks_.store_buffer(buffer_);
    show_block_count();
    refresh_buttons();
}

void MainController::request(int code, int param) {
    const unsigned before = port_not_open_posts_.load();
    if (remote_.Request(code, param, 0) != 0) return;
    // With the port closed the library has already posted status 2 for this
    // request; otherwise the protocol thread never took it and no notification
    // will come.
    if (port_not_open_posts_.load() != before) return;
    request_not_taken();
}

void MainController::request_not_taken() {
    s_.stop_watchdog = 0;
    remote_.Close();
    leave_busy();
    go_offline();
    set_status(str::kNoStatus);
    message(str::kNoAnswer, Icon::Warning);
    if (s_.exit_requested) exit_steps();
}

void MainController::on_tick() {
    if (ended_) return;
    if (s_.stop_watchdog > 0 && --s_.stop_watchdog == 0) {
        remote_.ResetLink();
        remote_.Close();
        leave_busy();
        go_offline();
        set_status(str::kNoStatus);
        if (s_.exit_requested) {
            message(str::kNoAnswerAtStop, Icon::Warning);
            exit_steps();
        } else {
            message(str::kNoAnswer, Icon::Warning);
        }
        return;
    }
    if (free_countdown_ > 0 && --free_countdown_ == 0) {
        free_countdown_ = kFreeSpaceTicks;
        const long long free = hooks_.free_mbytes ? hooks_.free_mbytes(folder_) : -1;
        free_text_ = free >= 0 ? std::to_string(free) + "MBytes free" : std::string();
        if (status_number_ == 0) set_status(str::kNoStatus);
    }
}

void MainController::exit_steps() {
    if (ended_) return;
    enter_busy();
    if (hooks_.store_convert_silently) hooks_.store_convert_silently();
    ended_ = true;
    remote_.Release();
    view_.end_program(0);
}

}  // namespace capstore
