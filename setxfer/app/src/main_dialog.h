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

    bool showMessage(const Message& message) override;
    void setStatus(std::string_view text) override;
    void setButtonsEnabled(bool enabled) override;
    void runSaveDialog() override;
    void runSendDialog() override;
    void runTableDialog() override;
    void runVersionDialog() override;
    void endProgram(int exit_code) override;

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
