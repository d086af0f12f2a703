// The real message box and folder chooser, and the hooks that tests replace.
#include "warning_box.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "ui_texts.h"

namespace commlib::ui {
namespace {

bool realWarning(QWidget* parent, const QString& caption, const QString& text, bool okCancel) {
    return makeWarningBox(parent, caption, text, okCancel)->exec() == QMessageBox::Ok;
}

// Only folders of the file system can be picked; the typed folder is preselected.
QString realChooser(QWidget* parent, const QString& title, const QString& start) {
    QFileDialog dialog(parent, title, start);
    dialog.setObjectName(QStringLiteral("folderChooser"));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

WarningFn warningFn = realWarning;
FolderChooserFn chooserFn = realChooser;

}  // namespace

std::unique_ptr<QMessageBox> makeWarningBox(QWidget* parent, const QString& caption, const QString& text,
                                            bool okCancel) {
    const auto buttons = okCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok;
    auto box = std::make_unique<QMessageBox>(QMessageBox::Warning, caption, text, buttons, parent);
    box->setObjectName(QStringLiteral("warning"));
    box->setDefaultButton(QMessageBox::Ok);
    // Qt's own button texts follow Qt's translations, which a library cannot rely on.
    box->button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    if (okCancel) box->button(QMessageBox::Cancel)->setText(localText(CancelText));
    return box;
}

bool showWarning(QWidget* parent, const QString& caption, const QString& text, bool okCancel) {
    return warningFn(parent, caption, text, okCancel);
}
void setWarningFn(WarningFn fn) { warningFn = fn ? fn : realWarning; }

QString chooseFolder(QWidget* parent, const QString& title, const QString& start) {
    return chooserFn(parent, title, start);
}
void setFolderChooserFn(FolderChooserFn fn) { chooserFn = fn ? fn : realChooser; }

}  // namespace commlib::ui
