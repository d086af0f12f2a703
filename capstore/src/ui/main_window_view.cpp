// The main window as the controllers see it: controls found by their id,
// message boxes, the status bar and the indicators.
#include <QApplication>
#include <QMessageBox>

#include "ui/main_window.h"
#include "ui/notify_bridge.h"
#include "ui/ui_texts.h"

namespace capstore {

QWidget* MainWindow::control(int id) const { return findChild<QWidget*>(QString::number(id)); }

void MainWindow::set_title(const std::string& title) {
    title_ = title;
    setWindowTitle(QString::fromStdString(title));
}

void MainWindow::show_control(int id, bool shown) {
    if (QWidget* w = control(id)) w->setVisible(shown);
}

void MainWindow::enable_control(int id, bool enabled) {
    if (QWidget* w = control(id)) w->setEnabled(enabled);
}

int MainWindow::focused_control() const {
    QWidget* w = QApplication::focusWidget();
    if (!w || !isAncestorOf(w)) return 0;
    return w->objectName().toInt();
}

void MainWindow::focus_control(int id) {
    if (QWidget* w = control(id)) w->setFocus();
}

void MainWindow::make_default(int id) {
    for (QPushButton* b : findChildren<QPushButton*>()) b->setDefault(false);
    if (auto* b = qobject_cast<QPushButton*>(control(id))) {
        b->setDefault(true);
        b->setFocus();
    }
}

void MainWindow::set_control_text(int id, const std::string& text) {
    if (auto* label = qobject_cast<QLabel*>(control(id))) label->setText(QString::fromStdString(text));
}

void MainWindow::set_status_text(const std::string& text) { status_->set_text(QString::fromStdString(text)); }
void MainWindow::set_indicator(int part, bool on) { status_->set_indicator(part, on); }
void MainWindow::set_rate_speed(int speed) { rate_->set_speed(speed); }
void MainWindow::set_convert_speed(int speed) { panel_->indicator()->set_speed(speed); }

Answer MainWindow::message_box(const std::string& caption, const std::string& text, Icon icon, Buttons buttons) {
    QMessageBox box(isVisible() ? this : nullptr);
    box.setObjectName("messageBox");
    box.setWindowTitle(QString::fromStdString(caption));
    box.setText(QString::fromStdString(text));
    box.setIcon(icon == Icon::Error      ? QMessageBox::Critical
                : icon == Icon::Question ? QMessageBox::Question
                                         : QMessageBox::Warning);
    switch (buttons) {
    case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    default: return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
}

void MainWindow::end_program(int result) {
    ended_ = true;
    result_ = result;
    tick_.stop();
    live_feed_.end(false);
    attach_notify_window(nullptr);
    close();
    emit program_ended(result);
}

}  // namespace capstore
