// Test doubles for the settings tool's flows: a Remote that records requests and
// holds data-set bodies, views that record what they were told, and a map store.
#pragma once
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "setxfer_flows/save_controller.h"
#include "setxfer_flows/send_controller.h"
#include "setxfer_flows/session.h"
#include "setxfer_flows/table_controller.h"

namespace setxfer::fakes {

class FakeRemote : public Remote {
public:
    std::vector<int> requests;  // codes in order
    int opens = 0, closes = 0, releases = 0;
    int initialize_result = 0;
    PortSettings initialized{};
    std::string initialized_port;
    std::string model = "RV-7010";
    std::string dialog_port = "COM3";
    PortSettings port{"COM1", 115200, 0, 0};
    std::vector<std::uint8_t> setup = std::vector<std::uint8_t>(SetupSize);
    std::vector<std::uint8_t> table = std::vector<std::uint8_t>(TableCapacity);
    std::vector<std::uint8_t> program = std::vector<std::uint8_t>(ProgramSize);
    bool sets_missing = false;

    void Release() override { ++releases; }
    int Initialize(WindowHandle, NotifyFn, const PortSettings* p, const BufferSettings*) override {
        initialized = *p;
        initialized_port = p->Port;
        return initialize_result;
    }
    int PortSettingDialog() override {
        port = {dialog_port.c_str(), 38400, 2, 1};
        return 1;
    }
    int Open() override { return ++opens, 0; }
    void Close() override { ++closes; }
    PortError port_error{PortStepNone, 0};  // why the last Open failed
    int GetPortError(PortError* out) override {
        if (out) *out = port_error;
        return port_error.Step;
    }
    int Request(int code, int, std::intptr_t) override { return requests.push_back(code), 1; }
    const PortSettings* GetPortSettings() override { return &port; }
    const BufferSettings* GetBufferSettings() override { return nullptr; }
    char* GetModelName(char* out, unsigned size) override {
        std::string cut = model.substr(0, size - 1);
        std::copy(cut.begin(), cut.end(), out);
        out[cut.size()] = 0;
        return out;
    }
    int GetVersion() override { return 0; }
    int GetLinkMode() override { return 2; }
    void* GetSetupData() override { return sets_missing ? nullptr : setup.data(); }
    void* GetTableData() override { return sets_missing ? nullptr : table.data(); }
    void* GetProgramData() override { return sets_missing ? nullptr : program.data(); }
    int GetStatus() override { return 0; }
    int ResetLink() override { return 0; }
    const BitmapInfo* GetScreenInfo() override { return nullptr; }
    const void* GetScreenBits() override { return nullptr; }

    int last() const { return requests.empty() ? 0 : requests.back(); }
};

// Every message shown, and the answers to give (OK when none is queued).
struct MessageLog {
    std::vector<Message> shown;
    std::vector<bool> answers;
    bool answer(const Message& m) {
        shown.push_back(m);
        if (answers.empty()) return true;
        bool a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
};

class RecordingMainView : public MainView {
public:
    MessageLog log;
    std::string status = "?";
    bool buttons = true;
    std::vector<std::string> dialogs;
    int ended = -1;
    std::function<void()> in_dialog;  // runs while a work dialog is "open"

    bool show_message(const Message& m) override { return log.answer(m); }
    void set_status(std::string_view text) override { status = text; }
    void set_buttons_enabled(bool enabled) override { buttons = enabled; }
    void run_save_dialog() override { run("save"); }
    void run_send_dialog() override { run("send"); }
    void run_table_dialog() override { run("table"); }
    void run_version_dialog() override { dialogs.push_back("version"); }
    void end_program(int code) override { ended = code; }

private:
    void run(const char* name) {
        dialogs.push_back(name);
        if (in_dialog) in_dialog();
    }
};

template <typename Base>
class RecordingFileView : public Base {
public:
    MessageLog log;
    std::vector<std::string> types;
    int selected = 0;
    std::string path_text, status;
    std::optional<std::string> chosen;
    bool closed = false;

    bool show_message(const Message& m) override { return log.answer(m); }
    void set_types(const std::vector<std::string>& names) override { types = names; }
    int selected_type() const override { return selected; }
    void set_path(const std::string& p) override { path_text = p; }
    std::string path() const override { return path_text; }
    void set_status(std::string_view text) override { status = text; }
    std::optional<std::string> choose_file() override { return chosen; }
    void close() override { closed = true; }
};

class RecordingSaveView : public RecordingFileView<SaveView> {
public:
    bool ascii = false;
    bool start_enabled = true;
    bool ascii_checked() const override { return ascii; }
    void set_start_enabled(bool enabled) override { start_enabled = enabled; }
};

class RecordingSendView : public RecordingFileView<SendView> {
public:
    Controls controls{true, true, true, true, true};
    void set_controls(const Controls& c) override { controls = c; }
};

class RecordingTableView : public TableView {
public:
    MessageLog log;
    int table = 0;
    std::string editor, status, free;
    Controls controls = Controls::All;
    bool closed = false;

    bool show_message(const Message& m) override { return log.answer(m); }
    int selected_table() const override { return table; }
    std::string editor_bytes() const override { return editor; }
    void set_editor_bytes(const std::string& bytes) override { editor = bytes; }
    void set_status(std::string_view text) override { status = text; }
    void set_free(std::string_view text) override { free = text; }
    void set_controls(Controls c) override { controls = c; }
    void close() override { closed = true; }
};

class MapStore : public SettingsStore {
public:
    std::map<std::string, std::string, std::less<>> values;
    std::optional<std::string> get(std::string_view name) const override {
        auto it = values.find(name);
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
    void set(std::string_view name, const std::string& value) override { values[std::string(name)] = value; }
};

}  // namespace setxfer::fakes
