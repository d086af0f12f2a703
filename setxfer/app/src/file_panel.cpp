// The shared controls of the save and send dialogs.
#include "file_panel.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "sjis.h"

namespace setxfer::app {

FilePanel::FilePanel(const QString& path_title) {
    types = new QComboBox;
    types->setObjectName(QStringLiteral("types"));
    path_group = new QGroupBox(path_title);
    path = new QLineEdit;
    path->setObjectName(QStringLiteral("path"));
    path->setMinimumWidth(360);
    browse = new QPushButton(QStringLiteral("..."));
    browse->setObjectName(QStringLiteral("browse"));
    browse->setAutoDefault(false);
    auto* row = new QHBoxLayout(path_group);
    row->addWidget(path, 1);
    row->addWidget(browse);
    status = new QLabel;
    status->setObjectName(QStringLiteral("status"));
    status->setFrameStyle(QFrame::Panel | QFrame::Sunken);
}

void FilePanel::set_types(const std::vector<std::string>& names) {
    types->clear();
    for (const auto& name : names) types->addItem(from_cp932(name));
    types->setCurrentIndex(0);
}

std::optional<std::string> choose_file(QWidget* parent, const QString& start) {
    QFileDialog dialog(parent, QStringLiteral("ファイルを開く！"), start);
    dialog.setObjectName(QStringLiteral("fileChooser"));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);  // the save dialog names new files here too
    dialog.setNameFilters({QStringLiteral("テキスト ファイル(*.txt)"), QStringLiteral("すべての ファイル(*.*)")});
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst().toStdString();
}

}  // namespace setxfer::app
