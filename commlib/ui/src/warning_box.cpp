// The real message box and folder chooser, and the hooks that tests replace.
#include "warning_box.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "ui_texts.h"

namespace commlib::ui {
namespace {

bool RealWarning(QWidget* parent, const QString& caption, const QString& text, bool okCancel) {
    return MakeWarningBox(parent, caption, text, okCancel)->exec() == QMessageBox::Ok;
}

// Only folders of the file system can be picked; the typed folder is preselected.
QString RealChooser(QWidget* parent, const QString& title, const QString& start) {
    QFileDialog dialog(parent, title, start);
    dialog.setObjectName(QStringLiteral("folderChooser"));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

WarningFn warningFn = RealWarning;
FolderChooserFn chooserFn = RealChooser;

}  // namespace

std::unique_ptr<QMessageBox> MakeWarningBox(QWidget* parent, const QString& caption, const QString& text,
                                            bool okCancel) {
    const auto buttons = okCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok;
    auto box = std::make_unique<QMessageBox>(QMessageBox::Warning, caption, text, buttons, parent);
    box->setObjectName(QStringLiteral("warning"));
    box->setDefaultButton(QMessageBox::Ok);
    // Qt's own button texts follow Qt's translations, which a library cannot rely on.
    box->button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    if (okCancel) box->button(QMessageBox::Cancel)->setText(LocalText(CancelText));
    return box;
}

bool ShowWarning(QWidget* parent, const QString& caption, const QString& text, bool okCancel) {
    return warningFn(parent, caption, text, okCancel);
}
void SetWarningFn(WarningFn fn) { warningFn = fn ? fn : RealWarning; }

QString ChooseFolder(QWidget* parent, const QString& title, const QString& start) {
    return chooserFn(parent, title, start);
}
void SetFolderChooserFn(FolderChooserFn fn) { chooserFn = fn ? fn : RealChooser; }

}  // namespace commlib::ui
