// Test doubles for the main window's controller: a Remote that records the
// calls and answers as scripted, and a view that records what it was told.
#pragma once
#include <atomic>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/main_view.h"
#include "commlib/remote.h"

namespace capstore::testing {

struct Call {
    int code;
    int param;
};

class FakeRemote : public Remote {
public:
    int open_result = 0;
    int request_result = 1;
    int link_mode = 2;
    int status = 0;
    int port_dialog = 0;
    int buffer_dialog = 0;
    PortSettings port{"COM3", 230400, 2, 1};
    BufferSettings buffer{"/tmp/buf", 10, 1, 0};
    std::vector<Call> requests;
    int opens = 0, closes = 0, resets = 0, releases = 0;
    // Called inside Request, as the library does for a closed port.
    std::function<void(int code)> on_request;

    void Release() override { ++releases; }
    int Initialize(WindowHandle, NotifyFn, const PortSettings*, const BufferSettings*) override { return 0; }
    int PortSettingDialog() override { return port_dialog; }
    int BufferSettingDialog() override { return buffer_dialog; }
    int Open() override {
        ++opens;
        return open_result;
    }
    PortError port_error{PortStepNone, 0};  // why the last Open failed
    int GetPortError(PortError* out) override {
        if (out) *out = port_error;
        return port_error.Step;
    }
    void Close() override { ++closes; }
    int Request(int code, int param, std::intptr_t) override {
        requests.push_back({code, param});
        if (on_request) on_request(code);
        return request_result;
    }
    const PortSettings* GetPortSettings() override { return &port; }
    const BufferSettings* GetBufferSettings() override { return &buffer; }
    char* GetModelName(char* out, unsigned size) override {
        std::strncpy(out, "RV-7020", size - 1);
        return out;
    }
    int GetVersion() override { return 0x100; }
    int GetLinkMode() override { return link_mode; }
    void* GetSetupData() override { return nullptr; }
    void* GetTableData() override { return nullptr; }
    void* GetProgramData() override { return nullptr; }
    int GetStatus() override { return status; }
    int ResetLink() override {
        ++resets;
        return 0;
    }
    const BitmapInfo* GetScreenInfo() override { return nullptr; }
    const void* GetScreenBits() override { return nullptr; }

    std::vector<int> codes() const {
        std::vector<int> out;
        for (const Call& c : requests) out.push_back(c.code);
        return out;
    }
};

struct Shown {
    std::string caption;
    std::string text;
    Icon icon;
    Buttons buttons;
};

class RecordingView : public MainView {
public:
    std::string title;
    std::map<int, bool> shown, enabled;
    std::map<int, std::string> texts;
    std::string status;
    std::map<int, bool> indicators;
    int rate_speed = -1, convert_speed = -1;
    int focus = 0;
    int default_button = 0;
    std::vector<Shown> messages;
    std::deque<Answer> answers;        // answers to questions, in order
    std::function<void()> while_open;  // runs while a message box is open
    int ended = -1;

    void set_title(const std::string& t) override { title = t; }
    void show_control(int id, bool s) override { shown[id] = s; }
    void enable_control(int id, bool e) override { enabled[id] = e; }
    int focused_control() const override { return focus; }
    void focus_control(int id) override { focus = id; }
    void make_default(int id) override { default_button = focus = id; }
    void set_control_text(int id, const std::string& t) override { texts[id] = t; }
    void set_status_text(const std::string& t) override { status = t; }
    void set_indicator(int part, bool on) override { indicators[part] = on; }
    void set_rate_speed(int s) override { rate_speed = s; }
    void set_convert_speed(int s) override { convert_speed = s; }
    Answer message_box(const std::string& caption, const std::string& text, Icon icon, Buttons buttons) override {
        messages.push_back({caption, text, icon, buttons});
        if (while_open) std::exchange(while_open, nullptr)();
        if (buttons == Buttons::Ok) return Answer::Ok;
        if (answers.empty()) return Answer::None;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    void end_program(int result) override { ended = result; }
};

}  // namespace capstore::testing
