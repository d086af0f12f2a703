// The save dialog window over the save flow.
#pragma once
#include <QDialog>

#include "file_panel.h"
#include "setxfer_flows/save_controller.h"

class QCheckBox;

namespace setxfer::app {

class SaveDialog : public QDialog, public SaveView {
public:
    SaveDialog(QWidget* parent, Session& session);
    SaveController& controller() { return controller_; }

    bool show_message(const Message& message) override;
    void set_types(const std::vector<std::string>& names) override { panel_.set_types(names); }
    int selected_type() const override;
    void set_path(const std::string& path) override;
    std::string path() const override;
    void set_status(std::string_view text) override;
    std::optional<std::string> choose_file() override;
    void close() override { done(0); }
    bool ascii_checked() const override;
    void set_start_enabled(bool enabled) override;

protected:
    void reject() override { controller_.cancel(); }

private:
    FilePanel panel_;
    QCheckBox* ascii_ = nullptr;
    QPushButton* start_ = nullptr;
    SaveController controller_;
};

}  // namespace setxfer::app
