// The version dialog: the tool's name and version with an OK button.
#pragma once
#include <QDialog>

namespace setxfer::app {

class VersionDialog : public QDialog {
public:
    explicit VersionDialog(QWidget* parent);
};

}  // namespace setxfer::app
