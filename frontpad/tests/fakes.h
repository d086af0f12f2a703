// Test doubles for the front panel controller: a Remote that records what it
// was asked and answers as a test sets it up, a view that records what it was
// told, and a poster that collects what the notification callback posted.
#pragma once
#include <cstdint>
#include <mutex>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "commlib/remote.h"
#include "frontpad/controller.h"
#include "frontpad/notify_forward.h"
#include "platform/window.h"

namespace frontpad::testing_fp {

class FakeRemote : public Remote {
public:
    // What the next calls answer.
    int initializeResult = 0;
    int openResult = 0;
    bool portOpen = false;          // Request answers "port not open" inline while false
    bool takesRequests = true;      // false: Request times out (0, no notification)
    bool openLeavesClosed = false;  // Open "succeeds" but the port failed (notify 14, 2)
    int linkMode = 2;
    int status = 0;
    int dialogResult = 1;
    PortSettings dialogChoice{"COM5", 115200, 2, 1};

    // What happened.
    std::vector<std::pair<int, int>> requests;  // code, param
    int opens = 0, closes = 0, dialogs = 0;
    bool* released = nullptr;
    PortSettings initialized{};
    std::string initializedPort;
    BitmapInfo info{};
    std::uint8_t bits[2560]{};

    ~FakeRemote() override {
        if (released) *released = true;
    }
    int Initialize(WindowHandle, NotifyFn n, const PortSettings* p, const BufferSettings*) override {
        notify = n;
        initialized = *p;
        initializedPort = p->Port;
        return initializeResult;
    }
    int PortSettingDialog() override { return ++dialogs, dialogResult; }
    int Open() override {
        ++opens;
        if (openResult == 0 && openLeavesClosed) {
            if (notify) notify(ReqGetStopReason, StatusPortNotOpen, nullptr);
            return 0;
        }
        if (openResult == 0) portOpen = true;
        return openResult;
    }
    void Close() override { ++closes, portOpen = false; }
    PortError portError{PortStepNone, 0};  // why the last Open failed
    int GetPortError(PortError* out) override {
        if (out) *out = portError;
        return portError.Step;
    }
    int Request(int code, int param, std::intptr_t) override {
        requests.emplace_back(code, param);
        if (!portOpen) {
            if (notify) notify(code, StatusPortNotOpen, nullptr);
            return 0;
        }
        return takesRequests ? 1 : 0;
    }
    const PortSettings* GetPortSettings() override { return &dialogChoice; }
    const BufferSettings* GetBufferSettings() override { return nullptr; }
    char* GetModelName(char* out, unsigned size) override {
        if (size) out[0] = 0;
        return out;
    }
    int GetVersion() override { return 0; }
    int GetLinkMode() override { return linkMode; }
    void* GetSetupData() override { return nullptr; }
    void* GetTableData() override { return nullptr; }
    void* GetProgramData() override { return nullptr; }
    int GetStatus() override { return status; }
    int ResetLink() override { return 0; }
    const BitmapInfo* GetScreenInfo() override { return &info; }
    const void* GetScreenBits() override { return bits; }

    NotifyFn notify = nullptr;
};

// Collects posted notifications until the test delivers them.
class Poster : public platform::Window {
public:
    bool post(unsigned message, std::uintptr_t w, std::intptr_t l) override {
        std::lock_guard lock(mutex);
        posts.emplace_back(message, w, l);
        return true;
    }
    std::vector<std::tuple<unsigned, std::uintptr_t, std::intptr_t>> take() {
        std::lock_guard lock(mutex);
        return std::exchange(posts, {});
    }
    std::mutex mutex;
    std::vector<std::tuple<unsigned, std::uintptr_t, std::intptr_t>> posts;
};

class RecordingView : public View {
public:
    std::vector<PanelState> panels;
    std::vector<std::pair<std::string, Icon>> messages;
    std::vector<std::string> questions;
    bool answerYes = true;
    std::vector<int> pauses;
    std::vector<StoredPort> saved;
    int focusCount = 0;
    int screenRepaints = 0;
    int ended = -100;  // the result passed to endDialog

    void showPanel(const PanelState& s) override { panels.push_back(s); }
    void showMessage(const std::string& text, Icon icon) override { messages.emplace_back(text, icon); }
    bool askYesNo(const std::string& text) override {
        questions.push_back(text);
        return answerYes;
    }
    void focusKeyReceiver() override { ++focusCount; }
    void repaintScreen() override { ++screenRepaints; }
    void pause(int ms) override { pauses.push_back(ms); }
    void saveSettings(const StoredPort& s) override { saved.push_back(s); }
    void endDialog(int result) override { ended = result; }

    const PanelState& last() const { return panels.back(); }
    std::vector<std::string> messageTexts() const {
        std::vector<std::string> out;
        for (const auto& m : messages) out.push_back(m.first);
        return out;
    }
};

}  // namespace frontpad::testing_fp
