// ModalDialog: the base of the library's dialogs. A dialog procedure that
// turns the window's events into init, command and close, and the OK/Cancel
// rules that decide when the modal run ends and with which result.
#pragma once
#include <QDialog>
#include <cstdint>
#include <memory>

namespace commlib::ui {

// The messages the dialog procedure handles, numbered as the classic dialog messages.
inline constexpr unsigned MsgClose = 0x0010;
inline constexpr unsigned MsgInitDialog = 0x0110;
inline constexpr unsigned MsgCommand = 0x0111;
inline constexpr int IdOk = 1;
inline constexpr int IdCancel = 2;

class ModalDialog {
public:
    ModalDialog() = default;
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;

    // The order of these operations is the dialogs' fixed slot order.
    virtual int DialogProc(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);  // 0
    virtual int OnInitDialog();                                                             // 1: centre over the parent
    virtual int OnCommand(std::uintptr_t wParam, std::intptr_t lParam);                     // 2
    virtual void End(int result);                                                           // 3
    virtual bool OnOK() { return true; }                                                    // 4
    virtual bool OnCancel() { return true; }                                                // 5
    virtual ~ModalDialog();                                                                 // 6
    // 1 OK, 0 Cancel, -1 when the window could not be made.
    virtual int DoModal(int templateId, QWidget* parent);  // 7

    // DoModal's first half: builds the window and initialises it without the
    // modal loop, so tests can drive it. false when the template is unknown.
    bool Create(int templateId, QWidget* parent);
    QDialog* Window() const { return window_; }  // null while not shown
    int Result() const { return result_; }       // -1 until End

protected:
    // Lays out the template's controls (object names = control ids); false for an unknown template.
    virtual bool BuildTemplate(int templateId, QDialog& window) = 0;
    template <class T>
    T* Control(int id) const {
        return window_ ? window_->findChild<T*>(QString::number(id)) : nullptr;
    }
    // Sizes the window in dialog units of its font (4 per average character
    // width, 8 per line height); the layout may still grow it.
    static void SizeInDialogUnits(QDialog& window, int width, int height);

private:
    std::unique_ptr<QDialog> holder_;
    QDialog* window_ = nullptr;
    int result_ = -1;
};

}  // namespace commlib::ui
