// The main dialog's flows. Every operation is one connection: connect, read the
// setup and tables (and the program on RV-7030), work in a modal dialog, then
// end with a setup read and a disconnect. Each request follows the notification
// of the one before it.
#include <cstring>

#include "platform/port_name.h"
#include "platform/port_problem.h"
#include "setxfer_flows/session.h"
#include "setxfer_flows/texts.h"

namespace setxfer {

MainController::MainController(Session& session, MainView& view, SettingsStore& store)
    : s_(session), view_(view), store_(store) {}

bool MainController::start(WindowHandle window, NotifyFn notify) {
    view_.set_status(texts::kReady);
    s_.close_requested = false;
    s_.target = this;
    load_port(store_, s_.port);
    PortSettings port{s_.port.port.c_str(), s_.port.speed, s_.port.parity, s_.port.x_control};
    int result = s_.remote->Initialize(window, notify, &port, nullptr);
    if (result == 0) return true;
    s_.remote->Release();
    s_.remote = nullptr;
    view_.show_message(
        {texts::with_number(texts::kInitializeError, result), std::string(texts::kCaptionTest), Icon::Error});
    return false;
}

void MainController::on_work(WorkMode mode) {
    PortError e{};
    const int opened = s_.remote->Open();
    if (opened != 0 || s_.remote->GetPortError(&e) != PortStepNone) {
        // Say which port and why, before any connect is tried.
        s_.remote->Close();
        std::string text = texts::with_number(texts::kConnectError, StatusPortNotOpen);
        if (e.Step != PortStepNone || opened == 2)
            text += "\n" + platform::portProblemForName(s_.port.port, opened == 2 ? PortStepNotSerial : e.Step, e.Error,
                                                        s_.port.speed);
        view_.show_message({text, std::string(texts::kConnectErrorCaption)});
        return;
    }
    s_.remote->Request(ReqConnect, 0, 0);
    view_.set_status(texts::kConnecting);
    view_.set_buttons_enabled(false);
    s_.work_mode = mode;
}

void MainController::store_port() {
    if (const PortSettings* p = s_.remote->GetPortSettings()) {
        s_.port.port = p->Port ? p->Port : "";
        s_.port.speed = p->Speed;
        s_.port.parity = p->Parity;
        s_.port.x_control = p->XControl;
    }
    save_port(store_, s_.port);
}

void MainController::on_port_button() {
    s_.remote->PortSettingDialog();
    store_port();
}

void MainController::on_version_button() { view_.run_version_dialog(); }

void MainController::on_exit_button() {
    store_port();
    s_.link_idle = true;
    request_close();
}

void MainController::request_close() {
    if (s_.close_requested) return;  // already on its way out
    Message question{std::string(texts::kCloseQuestion), std::string(texts::kCaptionNotice), Icon::Question,
                     Buttons::OkCancel};
    if (!view_.show_message(question)) return;
    s_.close_requested = true;
    if (s_.link_idle) {
        release_and_end();
        return;
    }
    s_.work_mode = WorkMode::Ending;
    s_.remote->Request(ReqGetSetup, 0, 0);
}

void MainController::release_and_end() {
    if (s_.remote) s_.remote->Release();
    s_.remote = nullptr;
    view_.end_program(0);
}

void MainController::dispatch(int code, int status, void* data) {
    if (!s_.remote) return;  // released: the program is ending
    if (code == NtfyLinkLost) return on_link_lost(status);
    (s_.target ? s_.target : this)->on_notify(code, status, data);
}

// The library ended the session by itself (adapter unplugged, analyzer silent):
// the port is closed and the main dialog is ready for the next try.
void MainController::on_link_lost(int status) {
    s_.remote->Close();
    s_.link_idle = true;
    view_.set_status("");
    view_.set_buttons_enabled(true);
    view_.show_message({std::string(texts::kLinkLostSetup) + "\n" + platform::linkLostText(status == LinkLostPortGone),
                        std::string(texts::kConnectErrorCaption)});
}

void MainController::on_notify(int code, int status, void*) {
    switch (code) {
    case ReqConnect: on_connected(status); break;
    case ReqGetSetup: on_setup_read(status); break;
    case ReqGetTable: on_tables_read(status); break;
    case ReqGetProgram: on_program_read(status); break;
    case ReqPutSetup:
    case ReqPutTable:
    case ReqPutProgram: on_written(code, status); break;
    case ReqDisconnect: on_disconnected(status); break;
    default: break;  // e.g. the report of a port that failed to open
    }
}

void MainController::on_connected(int status) {
    if (status != StatusDone) {
        view_.set_status("");
        std::string text = texts::with_number(texts::kConnectError, status);
        // Nothing answered: what to check, in the tool's language.
        if (status == StatusNoAnswer)
            text += "\n" + platform::noAnswerHint(platform::devicePath(s_.port.port), {s_.port.speed},
                                                  platform::HintFor::Window, true);
        view_.show_message({text, std::string(texts::kConnectErrorCaption)});
        view_.set_buttons_enabled(true);
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
void MainController::fail_step(std::string_view text, std::string_view caption, int status) {
    view_.show_message({texts::with_number(text, status), std::string(caption)});
    view_.set_buttons_enabled(true);
    view_.set_status("");
    s_.remote->Request(ReqDisconnect, 0, 0);
}

void MainController::on_setup_read(int status) {
    if (status == StatusDone) {
        if (s_.work_mode == WorkMode::Ending) {
            s_.remote->Request(ReqDisconnect, 0, 0);
            return;
        }
        view_.set_status(texts::kReading);
        s_.remote->Request(ReqGetTable, 0, 0);
    } else if (status == StatusNoAnswer) {
        view_.show_message(
            {texts::with_number(texts::kSetupReadError, status), std::string(texts::kSetupReadErrorCaption)});
        view_.set_buttons_enabled(true);
        view_.set_status("");
        on_disconnected(StatusRefused);  // the analyzer is gone: no disconnect to wait for
    } else {
        s_.remote->Request(ReqDisconnect, 0, 0);
    }
}

void MainController::open_work_dialog(std::string_view status_text) {
    view_.set_status(status_text);
    if (s_.work_mode == WorkMode::Send) view_.run_send_dialog();
    else view_.run_save_dialog();
}

void MainController::on_tables_read(int status) {
    if (status != StatusDone) return fail_step(texts::kTableReadError, texts::kReadErrorCaption, status);
    if (s_.work_mode == WorkMode::TableInput) {
        view_.set_status(texts::kConnected);
        view_.run_table_dialog();
    } else if (s_.work_mode == WorkMode::Save || s_.work_mode == WorkMode::Send) {
        if (s_.model == Model::RV7030) s_.remote->Request(ReqGetProgram, 0, 0);
        else open_work_dialog(texts::kConnectedShort);
    }
}

void MainController::on_program_read(int status) {
    if (status != StatusDone) return fail_step(texts::kProgramReadError, texts::kReadErrorCaption, status);
    if (s_.work_mode != WorkMode::Save && s_.work_mode != WorkMode::Send) return;
    s_.model = Model::RV7030;
    open_work_dialog(texts::kConnected);
}

void MainController::on_written(int code, int status) {
    if (status == StatusDone) {
        if (code == ReqPutSetup) s_.remote->Request(ReqPutTable, 0, 0);
        if (code == ReqPutTable && s_.model == Model::RV7030 && s_.work_mode == WorkMode::Send)
            s_.remote->Request(ReqPutProgram, 0, 0);
        return;
    }
    std::string_view text = code == ReqPutSetup   ? texts::kSetupWriteError
                            : code == ReqPutTable ? texts::kTableWriteError
                                                  : texts::kProgramWriteError;
    fail_step(text, texts::kWriteErrorCaption, status);
}

void MainController::on_disconnected(int status) {
    if (status != StatusDone) {
        error_text_set_ = status == StatusNoAnswer;
        view_.set_status(error_text_set_ ? texts::kCableLost : texts::kDisconnected);
        s_.link_idle = true;
    }
    s_.remote->Close();
    view_.set_buttons_enabled(true);
    if (!error_text_set_) view_.set_status(texts::kDisconnected);
    error_text_set_ = false;
    if (s_.close_requested) release_and_end();
}

}  // namespace setxfer
