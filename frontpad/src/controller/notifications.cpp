// What each posted library notification does to the front panel.
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "frontpad/controller.h"
#include "frontpad/notify_forward.h"
#include "platform/port_name.h"
#include "platform/port_problem.h"
#include "texts.h"

namespace frontpad {

void Controller::notification(std::uintptr_t wParam, std::intptr_t) {
    if (!remote_) return;
    const int code = NotificationCode(wParam);
    const int status = NotificationStatus(wParam);
    // Once closing, only the end of the disconnect matters.
    if (exitRequested_ && code != ReqDisconnect) return;
    switch (code) {
    case ReqConnect: connectEnded(status); break;
    case ReqDisconnect: disconnectEnded(status); break;
    case ReqGetScreen: screenFetched(status); break;
    case ReqKey: setBusy(false); break;
    case NtfyLinkLost & 0xFFFF: linkLost(status); break;
    default: break;
    }
}

// The library ended the session by itself: close the port and go offline.
void Controller::linkLost(int status) {
    screenInfo_ = nullptr;
    screenBits_ = nullptr;
    remote_->Close();
    connected_ = false;
    busy_ = false;
    refresh();
    view_.repaintScreen();
    std::string text = platform::linkLostText(status == LinkLostPortGone);
    text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    view_.showMessage(text + ".", Icon::Warning);
}

void Controller::connectEnded(int status) {
    if (status == StatusDone) {
        const bool packetMode = remote_->GetLinkMode() > 1;
        const bool measuring = (remote_->GetStatus() & 0x100) != 0;
        if (packetMode && !measuring) {
            busy_ = false;
            connected_ = true;
            refresh();
            setBusy(true);
            if (!request(ReqGetScreen)) return requestFailed();
            view_.focusKeyReceiver();
            return;
        }
        request(ReqDisconnect);
        view_.showMessage(packetMode ? texts::kCannotConnect : texts::kWrongVersion, Icon::Warning);
    } else if (status == StatusNoAnswer) {
        const std::string hint =
            platform::noAnswerHint(platform::devicePath(portName_), {port_.Speed}, platform::HintFor::Window);
        view_.showMessage(std::string(texts::kConnectionTimeout) + "\n" + hint, Icon::Warning);
    } else {
        request(ReqDisconnect);
        view_.showMessage(texts::kConnectionError, Icon::Warning);
    }
    setBusy(false);
}

void Controller::disconnectEnded(int status) {
    screenInfo_ = nullptr;
    screenBits_ = nullptr;
    remote_->Close();
    if (exitRequested_) return finish(0);
    if (status == StatusNoAnswer) view_.showMessage(texts::kDisconnectionTimeout, Icon::Warning);
    busy_ = false;
    connected_ = false;
    refresh();
    view_.repaintScreen();
}

void Controller::screenFetched(int status) {
    if (status != StatusDone) {
        char text[64];
        std::snprintf(text, sizeof text, texts::kGetScreenError, status);
        view_.showMessage(text, Icon::Warning);
    } else {
        keepScreen(remote_->GetScreenInfo(), remote_->GetScreenBits());
        view_.repaintScreen();
    }
    setBusy(false);
}

void Controller::keepScreen(const BitmapInfo* info, const void* bits) {
    screenInfo_ = nullptr;
    screenBits_ = nullptr;
    if (!info || !bits) return;
    screenCopyInfo_ = *info;
    std::memcpy(screenCopyBits_.data(), bits, screenCopyBits_.size());
    screenInfo_ = &screenCopyInfo_;
    screenBits_ = screenCopyBits_.data();
}

}  // namespace frontpad
