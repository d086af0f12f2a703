// The settings tool's program state and its main dialog's flows: start-up,
// the work buttons, the order of requests after each notification, closing.
//
// Errors: failures are shown through the views' message boxes.
// Threads: the GUI thread only; notifications reach it through the window's
// queue.
#pragma once
#include <string>

#include "commlib/remote.h"
#include "setxfer/settings_file.h"
#include "setxfer_flows/port_store.h"
#include "setxfer_flows/views.h"

namespace setxfer {

enum class WorkMode { Save = 0, Send = 1, TableInput = 2, Ending = 3 };

// State that the main dialog and the dialogs it opens share.
struct Session {
    Remote* remote = nullptr;
    StoredPort port;
    Model model = Model::RV7010;
    WorkMode work_mode = WorkMode::Save;
    int save_type = 0;
    bool link_idle = false;
    bool close_requested = false;
    NotificationTarget* target = nullptr;
    std::string model_text;

    // The data sets as the library holds them; empty spans while one is missing.
    ConstBodies bodies() const;
    Bodies mutable_bodies() const;
};

class MainController : public NotificationTarget {
public:
    MainController(Session& session, MainView& view, SettingsStore& store);

    // Status line, stored port, Initialize. False when the program must end
    // (the message has been shown and the Remote released).
    bool start(WindowHandle window, NotifyFn notify);

    void on_work(WorkMode mode);
    void on_port_button();
    void on_version_button();
    void on_exit_button();
    // Title-bar close and the exit button: ask, then end now or after the disconnect.
    void request_close();

    // Hands a posted notification to the current target.
    void dispatch(int code, int status, void* data);
    void on_notify(int code, int status, void* data) override;

private:
    void on_connected(int status);
    void on_setup_read(int status);
    void on_tables_read(int status);
    void on_program_read(int status);
    void on_written(int code, int status);
    void on_disconnected(int status);
    void on_link_lost(int status);
    void fail_step(std::string_view text, std::string_view caption, int status);
    void open_work_dialog(std::string_view status_text);
    void release_and_end();
    void store_port();

    Session& s_;
    MainView& view_;
    SettingsStore& store_;
    bool error_text_set_ = false;
};

}  // namespace setxfer
