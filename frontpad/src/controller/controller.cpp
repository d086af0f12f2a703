// Start-up, the control states and the command buttons of the front panel.
#include "frontpad/controller.h"

#include "frontpad/notify_forward.h"
#include "platform/port_problem.h"
#include "texts.h"

namespace frontpad {

Controller::Controller(View& view, RemoteFactory factory, const StoredPort& stored)
    : view_(view), factory_(factory), portName_(stored.name) {
    port_ = {portName_.c_str(), kStartSpeed, stored.parity, stored.xcontrol};
}

Controller::~Controller() {
    if (remote_) remote_->Release();
}

void Controller::start(WindowHandle owner, NotifyFn notify) {
    busy_ = connected_ = exitRequested_ = false;
    screenInfo_ = nullptr;
    screenBits_ = nullptr;
    Remote* remote = nullptr;
    if (!factory_ || factory_(&remote) == 0 || !remote) {
        view_.showMessage(texts::kInitializeError, Icon::Error);
        if (remote) remote->Release();
        view_.endDialog(1);
        return;
    }
    const int result = remote->Initialize(owner, notify, &port_, nullptr);
    if (result == 0) {
        remote_ = remote;
        refresh();
        return;
    }
    if (result != -1) view_.showMessage(texts::kInitializeError, Icon::Error);
    remote->Release();
    view_.endDialog(result == -1 ? 0 : 1);
}

void Controller::refresh() {
    PanelState s;
    if (busy_) {
        if (!connectPending_) s.statusLine = texts::kConnectedLine;
        s.shiftLine = shiftLatched_ ? texts::kShiftLine : "";
    } else if (connected_) {
        s.statusLine = texts::kConnectedLine;
        s.shiftLine = shiftLatched_ ? texts::kShiftLine : "";
        s.disconnectEnabled = s.redrawEnabled = s.keysEnabled = true;
        receiverEnabled_ = true;
        s.receiverEnabled = true;
    } else {
        s.statusLine = texts::kOfflineLine;
        shiftLatched_ = false;
        s.connectEnabled = s.portEnabled = true;
        receiverEnabled_ = false;
        s.receiverEnabled = false;
    }
    view_.showPanel(s);
}

void Controller::setBusy(bool busy) {
    busy_ = busy;
    refresh();
}

// Requests answer later through a notification. One the library did not take
// (no notification will follow) ends like a failed request, so the panel
// never stays disabled; "port not open" answers inline and is not such a case.
bool Controller::request(int code, int param) {
    if (!remote_) return false;
    const unsigned before = inlineNotifications();
    if (remote_->Request(code, param, 0) != 0) return true;
    return inlineNotifications() != before;
}

void Controller::requestFailed() {
    setBusy(false);
    view_.showMessage(texts::kConnectionError, Icon::Warning);
}

void Controller::connect() {
    if (!remote_ || busy_ || connected_ || exitRequested_) return;
    if (remote_->Open() != 0 || remote_->GetPortError(nullptr) != PortStepNone) {
        view_.showMessage(portProblem(), Icon::Warning);
        remote_->Close();
        return;
    }
    connectPending_ = true;
    setBusy(true);
    const bool taken = request(ReqConnect);
    connectPending_ = false;
    if (!taken) requestFailed();
}

// The panel's own line, then what the system said and what to do about it.
std::string Controller::portProblem() {
    PortError e{};
    remote_->GetPortError(&e);
    if (e.Step == PortStepNone) return texts::kCannotOpen;
    return std::string(texts::kCannotOpen) + "\n" +
           platform::portProblemForName(portName_, e.Step, e.Error, port_.Speed);
}

void Controller::disconnect() {
    if (!remote_ || busy_ || !connected_) return;
    setBusy(true);
    if (!request(ReqDisconnect)) requestFailed();
}

void Controller::redraw() {
    if (!remote_ || busy_ || !connected_) return;
    setBusy(true);
    if (!request(ReqGetScreen)) requestFailed();
}

void Controller::portSettings() {
    if (!remote_ || busy_ || connected_) return;
    if (remote_->PortSettingDialog() == 0) return;
    const PortSettings* chosen = remote_->GetPortSettings();
    if (!chosen) return;
    portName_ = chosen->Port ? chosen->Port : "";
    port_ = {portName_.c_str(), chosen->Speed, chosen->Parity, chosen->XControl};
}

void Controller::close() {
    if (!remote_ || exitRequested_) return;
    if (connected_ && !view_.askYesNo(texts::kCloseQuestion)) return;
    view_.saveSettings({portName_, port_.Parity, port_.XControl});
    exitRequested_ = true;
    // Without a disconnect notification the program would never end.
    if (!request(ReqDisconnect)) disconnectEnded(StatusNoAnswer);
}

void Controller::finish(int result) {
    if (remote_) remote_->Release();
    remote_ = nullptr;
    view_.endDialog(result);
}

}  // namespace frontpad
