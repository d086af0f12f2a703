// The conversion panel's sequences: reading and storing the options, the
// run with its progress and end, stop, and deleting the text files of the
// output folder. GUI thread only.
#pragma once
#include <ctime>
#include <functional>
#include <string>

#include "app/main_controller.h"
#include "convert/panel_values.h"
#include "textlib/text_convert.h"

namespace capstore {

class ConvertView {
public:
    virtual ~ConvertView() = default;
    virtual PanelValues panel() const = 0;
    virtual void load_panel(const PanelValues& values) = 0;
    // Every option control off, or on again with the page rules applied.
    virtual void set_panel_enabled(bool enabled) = 0;
};

struct ConvertHooks {
    std::function<void(const ConvertOptions&)> store;    // the "Convert" sections
    std::function<bool(const std::string& file)> trash;  // true when moved to the trash
    std::function<std::tm()> now;                        // local time
    TextWindow* window = nullptr;                        // receives message 0x8002
};

// "MK_20240131_235959_" for that local time.
std::string file_prefix(const std::tm& t);

class ConvertController {
public:
    ConvertController(TextConvert& convert, MainController& main, MainView& view, ConvertView& panel,
                      ConvertHooks hooks);

    // Window creation: the options as stored, into the controls.
    void load(const ConvertOptions& stored);
    void on_start();
    void on_stop();
    // lparam of the end: the system's error number when the output failed.
    void on_notification(std::uintptr_t wparam, std::intptr_t lparam = 0);
    void on_delete_text();
    // Exit steps: read the controls without messages and store them.
    void store_silently();

    const ConvertOptions& options() const { return options_; }

private:
    bool read_controls(bool silent);
    void set_state(bool converting);

    TextConvert& convert_;
    MainController& main_;
    MainView& view_;
    ConvertView& panel_;
    ConvertHooks hooks_;
    ConvertOptions options_{};
};

}  // namespace capstore
