// The shared dialog procedure and the window that feeds it: buttons send
// commands, Escape is Cancel, the close box is a close message.
#include "modal_dialog.h"

#include <QCloseEvent>
#include <QPushButton>

namespace commlib::ui {
namespace {

// The window side: every way the user can end the dialog goes through the
// dialog procedure, so OnOK and OnCancel decide whether it really ends.
class DialogWindow final : public QDialog {
public:
    DialogWindow(ModalDialog& dialog, QWidget* parent) : QDialog(parent), dialog_(dialog) {}

    void accept() override { dialog_.DialogProc(MsgCommand, IdOk, 0); }
    void reject() override { dialog_.DialogProc(MsgCommand, IdCancel, 0); }

protected:
    void closeEvent(QCloseEvent* event) override {
        dialog_.DialogProc(MsgClose, 0, 0);
        if (isVisible()) event->ignore();
        else event->accept();
    }

private:
    ModalDialog& dialog_;
};

}  // namespace

ModalDialog::~ModalDialog() = default;

int ModalDialog::DialogProc(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    switch (message) {
    case MsgInitDialog: OnInitDialog(); return 1;
    case MsgCommand: OnCommand(wParam, lParam); return 1;
    case MsgClose:
        if (OnCancel()) End(0);
        return 1;
    default: return 0;
    }
}

int ModalDialog::OnInitDialog() {
    QWidget* parent = window_ ? window_->parentWidget() : nullptr;
    if (!parent) return 1;
    window_->adjustSize();
    const QRect p = parent->frameGeometry();
    window_->move((p.left() + p.right() - window_->width()) / 2, (p.top() + p.bottom() - window_->height()) / 2);
    return 1;
}

int ModalDialog::OnCommand(std::uintptr_t wParam, std::intptr_t) {
    switch (static_cast<int>(wParam & 0xFFFF)) {
    case IdOk:
        if (OnOK()) End(1);
        return 1;
    case IdCancel:
        if (OnCancel()) End(0);
        return 1;
    default: return 0;
    }
}

void ModalDialog::End(int result) {
    QDialog* window = window_;
    window_ = nullptr;
    result_ = result;
    if (window) window->done(result);
}

bool ModalDialog::Create(int templateId, QWidget* parent) {
    holder_ = std::make_unique<DialogWindow>(*this, parent);
    window_ = holder_.get();
    result_ = -1;
    if (!BuildTemplate(templateId, *holder_)) {
        window_ = nullptr;
        holder_.reset();
        return false;
    }
    // Push buttons send their id as a command, as the classic dialogs do.
    for (QPushButton* button : holder_->findChildren<QPushButton*>()) {
        bool numbered = false;
        const int id = button->objectName().toInt(&numbered);
        if (!numbered) continue;
        QObject::connect(button, &QPushButton::clicked, holder_.get(),
                         [this, id] { DialogProc(MsgCommand, static_cast<std::uintptr_t>(id), 0); });
    }
    DialogProc(MsgInitDialog, 0, 0);
    return true;
}

int ModalDialog::DoModal(int templateId, QWidget* parent) {
    if (!Create(templateId, parent)) return -1;
    holder_->exec();
    holder_.reset();
    window_ = nullptr;
    return result_ < 0 ? 0 : result_;
}

void ModalDialog::SizeInDialogUnits(QDialog& window, int width, int height) {
    const QFontMetrics metrics = window.fontMetrics();
    window.resize(width * metrics.averageCharWidth() / 4, height * metrics.height() / 8);
}

}  // namespace commlib::ui
