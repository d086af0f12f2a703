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
    virtual void onNotify(int code, int status, void* data) = 0;
};

class MessageView {
public:
    virtual ~MessageView() = default;
    // Modal box; true for OK.
    virtual bool showMessage(const Message& message) = 0;
};

class MainView : public MessageView {
public:
    virtual void setStatus(std::string_view text) = 0;
    // The three work buttons, the port, version and exit buttons.
    virtual void setButtonsEnabled(bool enabled) = 0;
    // Modal dialogs; they return when the dialog has closed.
    virtual void runSaveDialog() = 0;
    virtual void runSendDialog() = 0;
    virtual void runTableDialog() = 0;
    virtual void runVersionDialog() = 0;
    virtual void endProgram(int exit_code) = 0;
};

// Save and send dialogs share their layout: a type list, a path, a status line.
class FileDialogView : public MessageView {
public:
    virtual void setTypes(const std::vector<std::string>& shift_jis_names) = 0;
    virtual int selectedType() const = 0;
    virtual void setPath(const std::string& path) = 0;
    virtual std::string path() const = 0;
    virtual void setStatus(std::string_view text) = 0;
    // The open-file dialog; nullopt when cancelled.
    virtual std::optional<std::string> chooseFile() = 0;
    virtual void close() = 0;
};

class SaveView : public FileDialogView {
public:
    virtual bool asciiChecked() const = 0;
    virtual void setStartEnabled(bool enabled) = 0;
};

class SendView : public FileDialogView {
public:
    struct Controls {
        bool start, cancel, path, types, browse;
        bool operator==(const Controls&) const = default;
    };
    virtual void setControls(const Controls& controls) = 0;
};

class TableView : public MessageView {
public:
    virtual int selectedTable() const = 0;
    // The editor's text as code-page-932 bytes, CR LF line ends.
    virtual std::string editorBytes() const = 0;
    virtual void setEditorBytes(const std::string& bytes) = 0;
    virtual void setStatus(std::string_view text) = 0;
    virtual void setFree(std::string_view text) = 0;
    enum class Controls { All, None, CancelOnly };
    virtual void setControls(Controls controls) = 0;
    virtual void close() = 0;
};

}  // namespace setxfer
