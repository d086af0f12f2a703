// Send dialog rules. A file for another model may be replaced by another file on
// the same connection; any other reading failure leaves only Cancel, because the
// data sets may already hold part of the file.
#include "setxfer_flows/send_controller.h"

#include "setxfer_flows/file_access.h"
#include "setxfer_flows/save_controller.h"
#include "setxfer_flows/texts.h"

namespace setxfer {
namespace {

// Far beyond any settings file the analyzer's data can make; a bigger file is not one.
constexpr std::size_t kFileLimit = 16u << 20;

constexpr SendView::Controls kAll{true, true, true, true, true};
constexpr SendView::Controls kNone{false, false, false, false, false};
constexpr SendView::Controls kCancelOnly{false, true, false, false, false};

}  // namespace

void SendController::open() {
    s_.target = this;
    view_.set_types(type_names(s_.model));
    view_.set_path(files::current_folder());
    view_.set_status(s_.model_text);
}

void SendController::browse() {
    view_.set_status("");
    if (auto chosen = view_.choose_file()) view_.set_path(*chosen);
}

void SendController::enable_all() { view_.set_controls(kAll); }

void SendController::start() {
    view_.set_controls(kNone);
    int type = view_.selected_type();
    s_.save_type = type >= 0 && type < save_type_count(s_.model) ? type : 0;
    std::string path = view_.path();
    auto file = path.empty() ? std::nullopt : files::read_at_most(path, kFileLimit);
    if (!file) {
        view_.show_message({std::string(texts::kChooseFile), std::string(texts::kCaptionError)});
        enable_all();
        return;
    }
    view_.set_status(texts::kSending);
    auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(file->data()), file->size());
    if (auto failure = read_settings_file(bytes, s_.model, s_.save_type, s_.mutable_bodies())) {
        view_.show_message({std::string(failure->message), std::string(failure->caption),
                            failure->warning_icon ? Icon::Warning : Icon::None, Buttons::Ok, true});
        if (failure->kind == FailureKind::Model) {
            view_.set_status("");
            enable_all();
        } else {
            view_.set_status(texts::kFileRefused);
            view_.set_controls(kCancelOnly);
        }
        return;
    }
    s_.remote->Request(ReqPutSetup, 0, 0);
}

void SendController::cancel() {
    s_.work_mode = WorkMode::Ending;
    s_.target = &main_;
    s_.remote->Request(ReqGetSetup, 0, 0);
    view_.close();
}

void SendController::on_put_failed(int code, int status, void* data) {
    view_.set_status(texts::kSendFailed);
    view_.set_controls(kCancelOnly);
    if (status != StatusNoAnswer) return;  // the user ends it with Cancel
    view_.show_message({std::string(code == ReqPutSetup ? texts::kLinkLostSetup : texts::kLinkLostLater),
                        std::string(texts::kWriteErrorCaption)});
    s_.target = &main_;
    view_.close();
    main_.on_notify(code, status, data);
}

void SendController::on_notify(int code, int status, void* data) {
    bool put = code == ReqPutSetup || code == ReqPutTable || code == ReqPutProgram;
    if (!put) return main_.on_notify(code, status, data);
    if (status != StatusDone) return on_put_failed(code, status, data);
    if (code == ReqPutSetup) return main_.on_notify(code, status, data);
    if (code == ReqPutTable && s_.model == Model::RV7030) {
        s_.remote->Request(ReqPutProgram, 0, 0);
        return;
    }
    view_.set_status(texts::kSent);
    enable_all();
}

}  // namespace setxfer
