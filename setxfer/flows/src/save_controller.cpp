// Save dialog rules. The file is formed whole by the settings-file library and
// written with one write; on a failed write "start" stays off until Cancel.
#include "setxfer_flows/save_controller.h"

#include "setxfer_flows/file_access.h"
#include "setxfer_flows/texts.h"

namespace setxfer {

std::vector<std::string> type_names(Model model) {
    std::vector<std::string> names;
    for (int t = 0; t < save_type_count(model); ++t) names.emplace_back(save_type_name(t));
    return names;
}

void SaveController::open() {
    view_.set_types(type_names(s_.model));
    view_.set_path(files::current_folder());
    view_.set_status(s_.model_text);
}

void SaveController::browse() {
    if (auto chosen = view_.choose_file()) view_.set_path(*chosen);
}

bool SaveController::path_accepted(const std::string& path) {
    if (path.empty()) {
        view_.show_message({std::string(texts::kEnterFileName), std::string(texts::kCaptionError)});
        return false;
    }
    if (!files::has_extension(path)) {
        view_.show_message({std::string(texts::kNeedExtension), std::string(texts::kCaptionNotice)});
        return false;
    }
    if (files::exists(path)) {
        return view_.show_message(
            {std::string(texts::kOverwrite), std::string(texts::kCaptionNotice), Icon::Warning, Buttons::OkCancel});
    }
    return true;
}

void SaveController::start() {
    view_.set_start_enabled(false);
    int type = view_.selected_type();
    s_.save_type = type >= 0 && type < save_type_count(s_.model) ? type : 0;
    std::string path = view_.path();
    if (!path_accepted(path)) {
        view_.set_start_enabled(true);
        return;
    }
    view_.set_status(texts::kWriting);
    auto text = write_settings_file(s_.bodies(), s_.model, s_.save_type,
                                    view_.ascii_checked() ? TableForm::Character : TableForm::Hex);
    const std::string error = text ? files::write_whole(path, *text) : std::string();
    if (!text || !error.empty()) {
        // The tool's own text, then the file and the system's reason.
        std::string message(texts::kWriteFailed);
        if (!error.empty()) message += "\n" + error;
        view_.show_message({message, std::string(texts::kCaptionErrorNarrow)});
        view_.set_status(texts::kWriteStopped);
        return;
    }
    view_.set_status(texts::kWritten);
    view_.set_start_enabled(true);
}

void SaveController::cancel() {
    s_.work_mode = WorkMode::Ending;
    s_.remote->Request(ReqGetSetup, 0, 0);
    view_.close();
}

}  // namespace setxfer
