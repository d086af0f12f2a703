// The window's side of the View: control states, message boxes with the
// program's caption, the key pause, settings and the end of the run.
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

#include "front_panel_window.h"
#include "panel_widgets.h"

namespace frontpad {
namespace {

// "ｷｰｴﾐｭﾚｰｼｮﾝ"
const QString kCaption = QString::fromUtf8("\uFF77\uFF70\uFF74\uFF90\uFF6D\uFF9A\uFF70\uFF7C\uFF6E\uFF9D");

QMessageBox::Icon boxIcon(Icon icon) {
    switch (icon) {
    case Icon::Error: return QMessageBox::Critical;
    case Icon::Question: return QMessageBox::Question;
    case Icon::Warning: break;
    }
    return QMessageBox::Warning;
}

}  // namespace

void FrontPanelWindow::showPanel(const PanelState& s) {
    if (s.statusLine) status_->setText(QString::fromStdString(*s.statusLine));
    shift_->setText(QString::fromStdString(s.shiftLine));
    commands_[40002]->setEnabled(s.connectEnabled);
    commands_[40003]->setEnabled(s.disconnectEnabled);
    commands_[40004]->setEnabled(s.portEnabled);
    commands_[40005]->setEnabled(s.redrawEnabled);
    if (s.receiverEnabled) receiver_->setEnabled(*s.receiverEnabled);
    for (auto& [id, key] : keys_) key->setEnabled(s.keysEnabled);
}

void FrontPanelWindow::showMessage(const std::string& text, Icon icon) {
    QMessageBox box(boxIcon(icon), kCaption, QString::fromStdString(text), QMessageBox::Ok,
                    isVisible() ? this : nullptr);
    box.setObjectName(QStringLiteral("frontpadMessage"));
    box.exec();
}

bool FrontPanelWindow::askYesNo(const std::string& text) {
    QMessageBox box(QMessageBox::Question, kCaption, QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No,
                    this);
    box.setObjectName(QStringLiteral("frontpadQuestion"));
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void FrontPanelWindow::focusKeyReceiver() {
    if (receiver_->isEnabled()) receiver_->setFocus(Qt::OtherFocusReason);
}

void FrontPanelWindow::repaintScreen() { screen_->update(); }

// The analyzer redraws its screen in this time; the panel waits on purpose.
void FrontPanelWindow::pause(int milliseconds) { QThread::msleep(static_cast<unsigned long>(milliseconds)); }

void FrontPanelWindow::saveSettings(const StoredPort& settings) { settings_.write(settings); }

void FrontPanelWindow::endDialog(int result) {
    if (ended_) return;
    ended_ = true;
    result_ = result;
    hide();
    if (onEnd_) onEnd_(result);
}

}  // namespace frontpad
