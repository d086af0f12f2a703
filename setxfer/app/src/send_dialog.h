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

    bool show_message(const Message& message) override;
    void set_types(const std::vector<std::string>& names) override { panel_.set_types(names); }
    int selected_type() const override;
    void set_path(const std::string& path) override;
    std::string path() const override;
    void set_status(std::string_view text) override;
    std::optional<std::string> choose_file() override;
    void close() override { done(0); }
    void set_controls(const Controls& controls) override;

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
