// Entering and leaving the main window's UI states, and the button rules
// that every state change re-applies.
#include "app/main_controller.h"

namespace capstore {

void MainController::refresh_buttons() {
    const bool measuring = s_.measure_state != 0;
    view_.show_control(id::kStartMeasure, !measuring);
    view_.show_control(id::kStopMeasure, measuring);
    view_.enable_control(id::kStartMeasure, !s_.busy && !s_.converting);
    view_.enable_control(id::kStopMeasure, !s_.busy);
    view_.show_control(id::kStartConvert, !s_.converting);
    view_.show_control(id::kStopConvert, s_.converting);
    view_.enable_control(id::kStartConvert, convert_start_enabled(s_, ring()));
    view_.enable_control(id::kStopConvert, !s_.busy);
    view_.enable_control(id::kEnvironment, !s_.busy && !s_.connected && !s_.converting);
}

void MainController::enter_busy() {
    if (s_.busy) return;
    s_.saved_focus = view_.focused_control();
    s_.busy = true;
    refresh_buttons();
}

void MainController::leave_busy() {
    if (!s_.busy) return;
    s_.busy = false;
    refresh_buttons();
    if (s_.saved_focus != 0) view_.focus_control(s_.saved_focus);
}

void MainController::enter_connected() {
    if (s_.connected) return;
    s_.connected = true;
    char model[64] = {};
    remote_.GetModelName(model, sizeof model);
    view_.set_title(text(str::kAppTitle) + " (" + model + ")");
    view_.set_indicator(kConnectPart, true);
    refresh_buttons();
}

void MainController::go_offline() {
    const bool forced = !initialised_;
    if (!s_.connected && s_.measure_state == 0 && !forced) return;
    s_.connected = false;
    set_measure_state(0);
    view_.set_title(text(str::kAppTitle) + " (" + text(str::kOffline) + ")");
    view_.set_indicator(kConnectPart, false);
    refresh_buttons();
}

void MainController::set_measure_state(int value) {
    const auto next = static_cast<std::uint8_t>(value);
    if (next == s_.measure_state) return;
    const int focus = view_.focused_control();
    s_.measure_state = next;
    refresh_buttons();
    if (next != 0) {
        if (!s_.busy) view_.make_default(id::kStopMeasure);
        view_.set_indicator(kMeasurePart, true);
        free_countdown_ = 1;
        return;
    }
    if (!s_.busy && !s_.converting && focus == id::kStopMeasure) view_.make_default(id::kStartMeasure);
    else if (focus == id::kStopMeasure) view_.make_default(s_.converting ? id::kStopConvert : id::kStartConvert);
    view_.set_indicator(kMeasurePart, false);
    free_countdown_ = 0;
    free_text_.clear();
    set_status(str::kNoStatus);
    view_.set_rate_speed(-1);
}

void MainController::set_converting(bool on) {
    if (on == s_.converting) return;
    const int focus = view_.focused_control();
    s_.converting = on;
    refresh_buttons();
    if (on && focus == id::kStartConvert) view_.make_default(id::kStopConvert);
    if (!on && focus == id::kStopConvert) view_.make_default(id::kStartConvert);
    view_.set_indicator(kConvertPart, on);
}

void MainController::set_status(int number) {
    status_number_ = number;
    // The free space fills the otherwise empty part while a measurement runs.
    view_.set_status_text(number != str::kNoStatus ? text(number) : free_text_);
}

void MainController::show_block_count() {
    view_.set_control_text(id::kBlockCount, std::to_string(s_.block_count) + " / " + std::to_string(buffer_.MaxBlocks));
}

}  // namespace capstore
