// The main dialog: the six buttons, the status line and the notice; it forwards
// clicks and notifications to the main flow and runs the work dialogs modally.
#pragma once
#include <QDialog>
#include <functional>

#include "notify_bridge.h"
#include "setxfer_flows/session.h"

class QLabel;
class QPushButton;

namespace setxfer::app {

class MainDialog : public QDialog, public MainView {
public:
    MainDialog(Session& session, SettingsStore& store);
    ~MainDialog() override;

    // Initialize through the flow; false when the program must end.
    bool start();
    MainController& controller() { return controller_; }
    // Called once the program may end (the Remote is released by then).
    std::function<void(int)> on_end;
    bool ended() const { return ended_; }

    bool show_message(const Message& message) override;
    void set_status(std::string_view text) override;
    void set_buttons_enabled(bool enabled) override;
    void run_save_dialog() override;
    void run_send_dialog() override;
    void run_table_dialog() override;
    void run_version_dialog() override;
    void end_program(int exit_code) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    QPushButton* button(const char* name, const QString& text);

    Session& session_;
    MainController controller_;
    NotifyBridge bridge_;
    QLabel* status_ = nullptr;
    std::vector<QPushButton*> buttons_;
    bool ended_ = false;
};

}  // namespace setxfer::app
