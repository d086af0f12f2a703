// What the save and send dialogs share: the type list, the path group with its
// "..." button, the status line, and the open-file dialog behind "...".
#pragma once
#include <QString>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace setxfer::app {

struct FilePanel {
    QComboBox* types = nullptr;
    QGroupBox* path_group = nullptr;
    QLineEdit* path = nullptr;
    QPushButton* browse = nullptr;
    QLabel* status = nullptr;

    FilePanel(const QString& path_title);
    void set_types(const std::vector<std::string>& shift_jis_names);
};

// "ファイルを開く！" with the text-file and all-files filters; nullopt on Cancel.
std::optional<std::string> choose_file(QWidget* parent, const QString& start);

}  // namespace setxfer::app
