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
bool ShowWarning(QWidget* parent, const QString& caption, const QString& text, bool okCancel);
// The box that the real showWarning runs, with its buttons in the dialogs' language.
std::unique_ptr<QMessageBox> MakeWarningBox(QWidget* parent, const QString& caption, const QString& text,
                                            bool okCancel);
// Tests record the boxes instead; null puts the real box back.
void SetWarningFn(WarningFn fn);

// Lets the user pick a folder, starting at start; an empty text when cancelled.
using FolderChooserFn = QString (*)(QWidget* parent, const QString& title, const QString& start);
QString ChooseFolder(QWidget* parent, const QString& title, const QString& start);
void SetFolderChooserFn(FolderChooserFn fn);

}  // namespace commlib::ui
