// Keys from the panel's buttons and from the PC keyboard, with SHIFT latched
// by a click (one key) or held on the keyboard (every key until released).
#include "commlib/analyzer_words.h"
#include "frontpad/controller.h"

namespace frontpad {
namespace {
constexpr int kScreenPauseMs = 250;  // the analyzer needs this long to redraw after a key
}  // namespace

void Controller::sendKey(int code) {
    if (busy_) return;
    setBusy(true);
    if (shiftLatched_) {
        code += KeyShifted;
        if (!shiftHeld_) shiftLatched_ = false;
    }
    if (!request(ReqKey, code)) return requestFailed();
    view_.pause(kScreenPauseMs);
    if (!request(ReqGetScreen)) return requestFailed();
    view_.focusKeyReceiver();
}

void Controller::keyButton(int code) {
    if (!remote_ || !connected_ || exitRequested_) return;
    sendKey(code);
}

void Controller::shiftButton() {
    if (!remote_ || !connected_ || busy_ || exitRequested_) return;
    setBusy(true);
    shiftLatched_ = !shiftLatched_;
    setBusy(false);
}

void Controller::pcKeyDown(const PcKey& key) {
    if (!remote_ || !connected_ || busy_ || exitRequested_) return;
    if (key.shift) {
        shiftLatched_ = true;
        shiftHeld_ = true;
    } else if (key.code >= 0) {
        sendKey(key.code);
    }
    // Typed keys do not wait for the screen.
    setBusy(false);
}

void Controller::pcKeyUp(const PcKey& key) {
    if (!remote_ || exitRequested_) return;
    if (connected_ && !busy_ && key.shift) {
        shiftLatched_ = false;
        shiftHeld_ = false;
    }
    setBusy(false);
}

void Controller::repaint() {
    if (!remote_ || exitRequested_) return;
    setBusy(false);
}

}  // namespace frontpad
