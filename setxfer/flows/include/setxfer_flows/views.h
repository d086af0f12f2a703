// What the settings tool's flows need from their windows: a status line, button
// states, message boxes and the modal dialogs. The Qt windows implement these;
// tests record them.
//
// Errors: none; the windows show what they are told.
// Threads: the GUI thread only.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace setxfer {

enum class Icon { None, Warning, Error, Question };
enum class Buttons { Ok, OkCancel };

struct Message {
    std::string text;
    std::string caption;
    Icon icon = Icon::Warning;
    Buttons buttons = Buttons::Ok;
    bool shift_jis = false;  // texts straight from the settings-file library
};

// Whoever handles the library's notifications right now.
class NotificationTarget {
public:
    virtual ~NotificationTarget() = default;
    virtual void on_notify(int code, int status, void* data) = 0;
};

class MessageView {
public:
    virtual ~MessageView() = default;
    // Modal box; true for OK.
    virtual bool show_message(const Message& message) = 0;
};

class MainView : public MessageView {
public:
    virtual void set_status(std::string_view text) = 0;
    // The three work buttons, the port, version and exit buttons.
    virtual void set_buttons_enabled(bool enabled) = 0;
    // Modal dialogs; they return when the dialog has closed.
    virtual void run_save_dialog() = 0;
    virtual void run_send_dialog() = 0;
    virtual void run_table_dialog() = 0;
    virtual void run_version_dialog() = 0;
    virtual void end_program(int exit_code) = 0;
};

// Save and send dialogs share their layout: a type list, a path, a status line.
class FileDialogView : public MessageView {
public:
    virtual void set_types(const std::vector<std::string>& shift_jis_names) = 0;
    virtual int selected_type() const = 0;
    virtual void set_path(const std::string& path) = 0;
    virtual std::string path() const = 0;
    virtual void set_status(std::string_view text) = 0;
    // The open-file dialog; nullopt when cancelled.
    virtual std::optional<std::string> choose_file() = 0;
    virtual void close() = 0;
};

class SaveView : public FileDialogView {
public:
    virtual bool ascii_checked() const = 0;
    virtual void set_start_enabled(bool enabled) = 0;
};

class SendView : public FileDialogView {
public:
    struct Controls {
        bool start, cancel, path, types, browse;
        bool operator==(const Controls&) const = default;
    };
    virtual void set_controls(const Controls& controls) = 0;
};

class TableView : public MessageView {
public:
    virtual int selected_table() const = 0;
    // The editor's text as code-page-932 bytes, CR LF line ends.
    virtual std::string editor_bytes() const = 0;
    virtual void set_editor_bytes(const std::string& bytes) = 0;
    virtual void set_status(std::string_view text) = 0;
    virtual void set_free(std::string_view text) = 0;
    enum class Controls { All, None, CancelOnly };
    virtual void set_controls(Controls controls) = 0;
    virtual void close() = 0;
};

}  // namespace setxfer
