// The table data dialog window over the table flow.
#pragma once
#include <QDialog>

#include "setxfer_flows/table_controller.h"

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace setxfer::app {

class TableDialog : public QDialog, public TableView {
public:
    TableDialog(QWidget* parent, Session& session, MainController& main);
    TableController& controller() { return controller_; }

    bool show_message(const Message& message) override;
    int selected_table() const override;
    std::string editor_bytes() const override;
    void set_editor_bytes(const std::string& bytes) override;
    void set_status(std::string_view text) override;
    void set_free(std::string_view text) override;
    void set_controls(Controls controls) override;
    void close() override { done(0); }

protected:
    void reject() override;

private:
    QPushButton* button(const char* name, const QString& text);

    QListWidget* tables_ = nullptr;
    QPlainTextEdit* editor_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* free_ = nullptr;
    std::vector<QPushButton*> buttons_;  // send, clear, last, cancel
    TableController controller_;
};

}  // namespace setxfer::app
