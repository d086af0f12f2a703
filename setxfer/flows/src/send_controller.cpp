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
    view_.setTypes(type_names(s_.model));
    view_.setPath(files::current_folder());
    view_.setStatus(s_.model_text);
}

void SendController::browse() {
    view_.setStatus("");
    if (auto chosen = view_.chooseFile()) view_.setPath(*chosen);
}

void SendController::enableAll() { view_.setControls(kAll); }

void SendController::start() {
    view_.setControls(kNone);
    int type = view_.selectedType();
    s_.save_type = type >= 0 && type < save_type_count(s_.model) ? type : 0;
    std::string path = view_.path();
    auto file = path.empty() ? std::nullopt : files::read_at_most(path, kFileLimit);
    if (!file) {
        view_.showMessage({std::string(texts::kChooseFile), std::string(texts::kCaptionError)});
        enableAll();
        return;
    }
    view_.setStatus(texts::kSending);
    auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(file->data()), file->size());
    if (auto failure = read_settings_file(bytes, s_.model, s_.save_type, s_.mutable_bodies())) {
        view_.showMessage({std::string(failure->message), std::string(failure->caption),
                           failure->warning_icon ? Icon::Warning : Icon::None, Buttons::Ok, true});
        if (failure->kind == FailureKind::Model) {
            view_.setStatus("");
            enableAll();
        } else {
            view_.setStatus(texts::kFileRefused);
            view_.setControls(kCancelOnly);
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

void SendController::onPutFailed(int code, int status, void* data) {
    view_.setStatus(texts::kSendFailed);
    view_.setControls(kCancelOnly);
    if (status != StatusNoAnswer) return;  // the user ends it with Cancel
    view_.showMessage({std::string(code == ReqPutSetup ? texts::kLinkLostSetup : texts::kLinkLostLater),
                       std::string(texts::kWriteErrorCaption)});
    s_.target = &main_;
    view_.close();
    main_.onNotify(code, status, data);
}

void SendController::onNotify(int code, int status, void* data) {
    bool put = code == ReqPutSetup || code == ReqPutTable || code == ReqPutProgram;
    if (!put) return main_.onNotify(code, status, data);
    if (status != StatusDone) return onPutFailed(code, status, data);
    if (code == ReqPutSetup) return main_.onNotify(code, status, data);
    if (code == ReqPutTable && s_.model == Model::RV7030) {
        s_.remote->Request(ReqPutProgram, 0, 0);
        return;
    }
    view_.setStatus(texts::kSent);
    enableAll();
}

}  // namespace setxfer
