// The OK and Cancel buttons that every dialog of the library carries, with
// their ids 1 and 2 as object names; OK is the default button.
#pragma once
#include <QBoxLayout>

class QDialog;

namespace commlib::ui {

// A new layout (for the caller to place) holding OK and Cancel in the given direction.
QBoxLayout* OkCancelButtons(QDialog& window, Qt::Orientation direction);

}  // namespace commlib::ui
