// The main dialog's flows. Every operation is one connection: connect, read the
// setup and tables (and the program on RV-7030), work in a modal dialog, then
// end with a setup read and a disconnect. Each request follows the notification
// of the one before it.
#include <cstring>

#include "platform/port_problem.h"
#include "setxfer_flows/session.h"
#include "setxfer_flows/texts.h"

namespace setxfer {

MainController::MainController(Session& session, MainView& view, SettingsStore& store)
    : s_(session), view_(view), store_(store) {}

bool MainController::start(WindowHandle window, NotifyFn notify) {
    view_.setStatus(texts::kReady);
    s_.close_requested = false;
    s_.target = this;
    load_port(store_, s_.port);
    PortSettings port{s_.port.port.c_str(), s_.port.speed, s_.port.parity, s_.port.x_control};
    int result = s_.remote->Initialize(window, notify, &port, nullptr);
    if (result == 0) return true;
    s_.remote->Release();
    s_.remote = nullptr;
    view_.showMessage(
        {texts::with_number(texts::kInitializeError, result), std::string(texts::kCaptionTest), Icon::Error});
    return false;
}

void MainController::onWork(WorkMode mode) {
    PortError e{};
    const int opened = s_.remote->Open();
    if (opened != 0 || s_.remote->GetPortError(&e) != PortStepNone) {
        // Say which port and why, before any connect is tried.
        s_.remote->Close();
        std::string text = texts::with_number(texts::kConnectError, StatusPortNotOpen);
        if (e.Step != PortStepNone || opened == 2)
            text += "\n" + platform::portProblemForName(s_.port.port, opened == 2 ? PortStepNotSerial : e.Step, e.Error,
                                                        s_.port.speed);
        view_.showMessage({text, std::string(texts::kConnectErrorCaption)});
        return;
    }
    s_.remote->Request(ReqConnect, 0, 0);
    view_.setStatus(texts::kConnecting);
    view_.setButtonsEnabled(false);
    s_.work_mode = mode;
}

void MainController::storePort() {
    if (const PortSettings* p = s_.remote->GetPortSettings()) {
        s_.port.port = p->Port ? p->Port : "";
        s_.port.speed = p->Speed;
        s_.port.parity = p->Parity;
        s_.port.x_control = p->XControl;
    }
    save_port(store_, s_.port);
}

void MainController::onPortButton() {
    s_.remote->PortSettingDialog();
    storePort();
}

void MainController::onVersionButton() { view_.runVersionDialog(); }

void MainController::onExitButton() {
    storePort();
    s_.link_idle = true;
    requestClose();
}

void MainController::requestClose() {
    if (s_.close_requested) return;  // already on its way out
    Message question{std::string(texts::kCloseQuestion), std::string(texts::kCaptionNotice), Icon::Question,
                     Buttons::OkCancel};
    if (!view_.showMessage(question)) return;
    s_.close_requested = true;
    if (s_.link_idle) {
        releaseAndEnd();
        return;
    }
    s_.work_mode = WorkMode::Ending;
    s_.remote->Request(ReqGetSetup, 0, 0);
}

void MainController::releaseAndEnd() {
    if (s_.remote) s_.remote->Release();
    s_.remote = nullptr;
    view_.endProgram(0);
}

void MainController::dispatch(int code, int status, void* data) {
    if (!s_.remote) return;  // released: the program is ending
    if (code == NtfyLinkLost) return onLinkLost(status);
    (s_.target ? s_.target : this)->onNotify(code, status, data);
}

// The library ended the session by itself (adapter unplugged, analyzer silent):
// the port is closed and the main dialog is ready for the next try.
void MainController::onLinkLost(int status) {
    s_.remote->Close();
    s_.link_idle = true;
    view_.setStatus("");
    view_.setButtonsEnabled(true);
    view_.showMessage({std::string(texts::kLinkLostSetup) + "\n" + platform::linkLostText(status == LinkLostPortGone),
                       std::string(texts::kConnectErrorCaption)});
}

void MainController::onNotify(int code, int status, void*) {
    switch (code) {
    case ReqConnect: onConnected(status); break;
    case ReqGetSetup: onSetupRead(status); break;
    case ReqGetTable: onTablesRead(status); break;
    case ReqGetProgram: onProgramRead(status); break;
    case ReqPutSetup:
    case ReqPutTable:
    case ReqPutProgram: onWritten(code, status); break;
    case ReqDisconnect: onDisconnected(status); break;
    default: break;  // e.g. the report of a port that failed to open
    }
}

void MainController::onConnected(int status) {
    if (status != StatusDone) {
        view_.setStatus("");
        view_.showMessage({texts::with_number(texts::kConnectError, status), std::string(texts::kConnectErrorCaption)});
        view_.setButtonsEnabled(true);
        return;
    }
    char name[64] = {};
    s_.remote->GetModelName(name, sizeof name);
    s_.model_text = name;
    if (auto model = model_from_name(s_.model_text)) s_.model = *model;
    s_.remote->Request(ReqGetSetup, 0, 0);
    s_.link_idle = false;
}

// Reads and writes that fail show their message, give the buttons back and disconnect.
void MainController::failStep(std::string_view text, std::string_view caption, int status) {
    view_.showMessage({texts::with_number(text, status), std::string(caption)});
    view_.setButtonsEnabled(true);
    view_.setStatus("");
    s_.remote->Request(ReqDisconnect, 0, 0);
}

void MainController::onSetupRead(int status) {
    if (status == StatusDone) {
        if (s_.work_mode == WorkMode::Ending) {
            s_.remote->Request(ReqDisconnect, 0, 0);
            return;
        }
        view_.setStatus(texts::kReading);
        s_.remote->Request(ReqGetTable, 0, 0);
    } else if (status == StatusNoAnswer) {
        view_.showMessage(
            {texts::with_number(texts::kSetupReadError, status), std::string(texts::kSetupReadErrorCaption)});
        view_.setButtonsEnabled(true);
        view_.setStatus("");
        onDisconnected(StatusRefused);  // the analyzer is gone: no disconnect to wait for
    } else {
        s_.remote->Request(ReqDisconnect, 0, 0);
    }
}

void MainController::openWorkDialog(std::string_view status_text) {
    view_.setStatus(status_text);
    if (s_.work_mode == WorkMode::Send) view_.runSendDialog();
    else view_.runSaveDialog();
}

void MainController::onTablesRead(int status) {
    if (status != StatusDone) return failStep(texts::kTableReadError, texts::kReadErrorCaption, status);
    if (s_.work_mode == WorkMode::TableInput) {
        view_.setStatus(texts::kConnected);
        view_.runTableDialog();
    } else if (s_.work_mode == WorkMode::Save || s_.work_mode == WorkMode::Send) {
        if (s_.model == Model::RV7030) s_.remote->Request(ReqGetProgram, 0, 0);
        else openWorkDialog(texts::kConnectedShort);
    }
}

void MainController::onProgramRead(int status) {
    if (status != StatusDone) return failStep(texts::kProgramReadError, texts::kReadErrorCaption, status);
    if (s_.work_mode != WorkMode::Save && s_.work_mode != WorkMode::Send) return;
    s_.model = Model::RV7030;
    openWorkDialog(texts::kConnected);
}

void MainController::onWritten(int code, int status) {
    if (status == StatusDone) {
        if (code == ReqPutSetup) s_.remote->Request(ReqPutTable, 0, 0);
        if (code == ReqPutTable && s_.model == Model::RV7030 && s_.work_mode == WorkMode::Send)
            s_.remote->Request(ReqPutProgram, 0, 0);
        return;
    }
    std::string_view text = code == ReqPutSetup   ? texts::kSetupWriteError
                            : code == ReqPutTable ? texts::kTableWriteError
                                                  : texts::kProgramWriteError;
    failStep(text, texts::kWriteErrorCaption, status);
}

void MainController::onDisconnected(int status) {
    if (status != StatusDone) {
        error_text_set_ = status == StatusNoAnswer;
        view_.setStatus(error_text_set_ ? texts::kCableLost : texts::kDisconnected);
        s_.link_idle = true;
    }
    s_.remote->Close();
    view_.setButtonsEnabled(true);
    if (!error_text_set_) view_.setStatus(texts::kDisconnected);
    error_text_set_ = false;
    if (s_.close_requested) releaseAndEnd();
}

}  // namespace setxfer
