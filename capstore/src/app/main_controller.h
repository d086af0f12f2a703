// The main window's sequences: connect, start, watch, stop and disconnect a
// measurement, the notifications of the library, the close request and the
// 500 ms tick, with the button rules kept at every step. GUI thread only.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "app/app_state.h"
#include "app/main_view.h"
#include "commlib/remote.h"
#include "texts/string_table.h"

namespace capstore {

// What the controller needs from the rest of the program.
struct MainHooks {
    std::function<void()> store_convert_silently;              // exit steps
    std::function<void(const BufferSettings&)> store_buffer;   // "Buffer" section
    std::function<void(const PortSettings&)> store_port;       // "Port" section
    std::function<long long(const std::string&)> free_mbytes;  // -1 when unknown
    std::function<int(const std::string&)> probe_folder;       // 0 writable, else errno
};

class MainController {
public:
    // port_not_open_posts counts the status-2 notifications the callback posted,
    // which the library sends from inside Request when the port is not open.
    MainController(Remote& remote, MainView& view, Language language, const std::atomic<unsigned>& port_not_open_posts,
                   MainHooks hooks);

    // Window creation, after Initialize returned 0.
    void start(const BufferSettings& buffer);

    void on_start_measure();
    void on_stop_measure();
    void on_close_request();
    void on_port_setting();
    void on_buffer_setting();
    void on_notification(std::uintptr_t wparam, std::intptr_t lparam);
    void on_tick();

    // The guarded message routine: a second message while one is open is
    // dropped (Answer::None). Caption 0 means the application title.
    Answer message(int number, Icon icon, Buttons buttons = Buttons::Ok, const std::string& arg = {}, int caption = 0);
    Answer message_number(int number, long long value, Icon icon);
    // A message of the given table number (0: none) followed by a line of our own.
    Answer message_with_detail(int number, const std::string& detail, Icon icon);

    // The conversion panel's share of the state.
    void set_converting(bool on);
    void refresh_buttons();
    const AppState& state() const { return s_; }
    bool ring() const { return buffer_.Ring != 0; }
    const std::string& buffer_folder() const { return folder_; }
    Language language() const { return language_; }
    std::string text(int number) const { return std::string(string_text(number, language_)); }

private:
    // Notification rows.
    void connect_ended(int status);
    void setup_ended(int status);
    void measure_ended(int status);
    void stop_reason_ended(std::intptr_t reason);
    void measure_state(int status);
    void blocks(const int* values);
    void disconnect_ended(int status);
    void link_lost(int status);
    void port_failed();
    void store_failed(const StoreFailure* failure);

    // The buffer folder before a start: false (and said) when it cannot be written.
    bool folder_usable();

    // Requests; a request the library did not take ends the operation.
    void request(int code, int param = 0);
    void request_not_taken();
    void request_stop();
    void request_disconnect_with_text(int status_text);

    // The UI states.
    void enter_busy();
    void leave_busy();
    void enter_connected();
    void go_offline();
    void set_measure_state(int value);
    void set_status(int number);
    void show_block_count();
    void exit_steps();
    void stop_reason_message(int reason);

    Remote& remote_;
    MainView& view_;
    Language language_;
    const std::atomic<unsigned>& port_not_open_posts_;
    MainHooks hooks_;
    AppState s_;
    BufferSettings buffer_{};
    std::string folder_;
    bool initialised_ = false;
    bool ended_ = false;
    int free_countdown_ = 0;  // 0: off
    int status_number_ = 0;
    std::string free_text_;
};

// The message number for a refused start's reason.
int stop_reason_message_number(int reason);

}  // namespace capstore
