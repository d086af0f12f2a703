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

    bool showMessage(const Message& message) override;
    void setTypes(const std::vector<std::string>& names) override { panel_.setTypes(names); }
    int selectedType() const override;
    void setPath(const std::string& path) override;
    std::string path() const override;
    void setStatus(std::string_view text) override;
    std::optional<std::string> chooseFile() override;
    void close() override { done(0); }
    bool asciiChecked() const override;
    void setStartEnabled(bool enabled) override;

protected:
    void reject() override { controller_.cancel(); }

private:
    FilePanel panel_;
    QCheckBox* ascii_ = nullptr;
    QPushButton* start_ = nullptr;
    SaveController controller_;
};

}  // namespace setxfer::app
