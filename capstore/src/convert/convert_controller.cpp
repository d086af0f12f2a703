// The conversion run: options from the controls, the folder test, Open and
// Start on the conversion object, and the progress and end it posts.
#include "convert/convert_controller.h"

#include <cstdio>
#include <cstring>

#include "app/notify_codes.h"
#include "convert/save_folder.h"

namespace capstore {
namespace {

constexpr int kConvertIndicatorSpeed = 40;

}  // namespace

std::string file_prefix(const std::tm& t) {
    char text[64];
    std::snprintf(text, sizeof text, "MK_%04d%02d%02d_%02d%02d%02d_", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                  t.tm_hour, t.tm_min, t.tm_sec);
    return text;
}

ConvertController::ConvertController(TextConvert& convert, MainController& main, MainView& view, ConvertView& panel,
                                     ConvertHooks hooks)
    : convert_(convert), main_(main), view_(view), panel_(panel), hooks_(std::move(hooks)) {
    std::memset(options_.DisplayLineState, -1, sizeof options_.DisplayLineState);
}

void ConvertController::load(const ConvertOptions& stored) {
    options_ = stored;
    panel_.load_panel(panel_from_options(options_));
}

bool ConvertController::read_controls(bool silent) {
    PanelValues values = panel_.panel();
    FolderQuestions questions;
    questions.show = [this](int message, const std::string& path, int caption) {
        main_.message(message, Icon::Warning, Buttons::Ok, path, caption);
    };
    questions.ask = [this](int message, const std::string& path, int caption) {
        return main_.message(message, Icon::Warning, Buttons::OkCancel, path, caption) == Answer::Ok;
    };
    const FolderCheck folder = check_save_folder(values.save_path, silent, questions);
    if (!folder.full_path.empty()) values.save_path = folder.full_path;
    if (folder.valid) {
        std::memset(options_.SavePath, 0, sizeof options_.SavePath);
        std::memcpy(options_.SavePath, folder.full_path.data(),
                    std::min(folder.full_path.size(), sizeof options_.SavePath - 1));
    }
    // The other fields are read even when the folder is refused.
    read_panel(values, options_);
    panel_.load_panel(values);
    return folder.valid;
}

void ConvertController::on_start() {
    const AppState& s = main_.state();
    if (!convert_start_enabled(s, main_.ring())) return;
    const std::string prefix = file_prefix(hooks_.now());
    if (!read_controls(false)) return;
    if (hooks_.store) hooks_.store(options_);
    if (!convert_.Open(main_.buffer_folder().c_str(), hooks_.window, nullptr, kConvertMessage)) {
        main_.message(str::kBufferBroken, Icon::Warning);
        return;
    }
    set_state(true);
    if (convert_.Start(&options_, prefix.c_str())) {
        view_.set_convert_speed(kConvertIndicatorSpeed);
        return;
    }
    convert_.Close();
    set_state(false);
    main_.message(str::kConvertError, Icon::Warning);
}

void ConvertController::on_stop() {
    if (main_.state().converting) convert_.Stop();
}

void ConvertController::on_notification(std::uintptr_t wparam, std::intptr_t lparam) {
    const int kind = static_cast<int>(wparam & 0xFFFF);
    const int value = static_cast<int>(wparam >> 16);
    if (kind == static_cast<int>(kConvertProgress)) {
        view_.set_control_text(id::kProgress, std::to_string(value));
        return;
    }
    if (kind != 0 || !main_.state().converting) return;
    convert_.Close();
    view_.set_convert_speed(-1);
    view_.set_control_text(id::kProgress, "0");
    set_state(false);
    if (value == kConvertDone || value == kConvertCancelled) return;
    if (lparam == 0) {
        main_.message(str::kConvertError, Icon::Warning);
        return;
    }
    // The folder and the system's reason: a full disk, a folder gone meanwhile.
    const std::string folder(options_.SavePath, strnlen(options_.SavePath, sizeof options_.SavePath));
    main_.message_with_detail(
        str::kConvertError,
        "cannot write the text files in '" + folder + "': " + std::strerror(static_cast<int>(lparam)), Icon::Warning);
}

void ConvertController::set_state(bool converting) {
    panel_.set_panel_enabled(!converting);
    main_.set_converting(converting);
}

void ConvertController::store_silently() {
    read_controls(true);
    if (hooks_.store) hooks_.store(options_);
}

}  // namespace capstore
