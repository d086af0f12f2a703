// The send dialog window over the send flow.
#pragma once
#include <QDialog>

#include "file_panel.h"
#include "setxfer_flows/send_controller.h"

namespace setxfer::app {

class SendDialog : public QDialog, public SendView {
public:
    SendDialog(QWidget* parent, Session& session, MainController& main);
    SendController& controller() { return controller_; }

    bool showMessage(const Message& message) override;
    void setTypes(const std::vector<std::string>& names) override { panel_.setTypes(names); }
    int selectedType() const override;
    void setPath(const std::string& path) override;
    std::string path() const override;
    void setStatus(std::string_view text) override;
    std::optional<std::string> chooseFile() override;
    void close() override { done(0); }
    void setControls(const Controls& controls) override;

protected:
    // Escape and the title bar act as Cancel, and only while Cancel may be pressed.
    void reject() override;

private:
    FilePanel panel_;
    QPushButton* start_ = nullptr;
    QPushButton* cancel_ = nullptr;
    SendController controller_;
};

}  // namespace setxfer::app
