// The library's message boxes (a warning icon, OK or OK/Cancel) and the
// folder chooser, each behind one replaceable function so tests can answer
// them without a modal loop.
#pragma once
#include <QString>
#include <memory>

class QMessageBox;
class QWidget;

namespace commlib::ui {

// Shows a modal warning; true when the user chose OK.
using WarningFn = bool (*)(QWidget* parent, const QString& caption, const QString& text, bool okCancel);
bool showWarning(QWidget* parent, const QString& caption, const QString& text, bool okCancel);
// The box that the real showWarning runs, with its buttons in the dialogs' language.
std::unique_ptr<QMessageBox> makeWarningBox(QWidget* parent, const QString& caption, const QString& text,
                                            bool okCancel);
// Tests record the boxes instead; null puts the real box back.
void setWarningFn(WarningFn fn);

// Lets the user pick a folder, starting at start; an empty text when cancelled.
using FolderChooserFn = QString (*)(QWidget* parent, const QString& title, const QString& start);
QString chooseFolder(QWidget* parent, const QString& title, const QString& start);
void setFolderChooserFn(FolderChooserFn fn);

}  // namespace commlib::ui
