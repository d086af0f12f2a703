// The front panel's one window: screen area, command buttons, the keypad and
// the two status lines. It forwards every event to the Controller and shows
// what the Controller decides.
#pragma once
#include <QDialog>
#include <QImage>
#include <functional>
#include <map>
#include <memory>

#include "frontpad/controller.h"
#include "notify_poster.h"
#include "settings_store.h"

class QAbstractButton;
class QLabel;
class QPushButton;

namespace frontpad {

class KeyReceiver;
class ScreenArea;

class FrontPanelWindow : public QDialog, private View {
public:
    FrontPanelWindow(RemoteFactory factory, const SettingsStore& settings);
    ~FrontPanelWindow() override;

    // Creates and initialises the Remote; false when the run already ended.
    bool start();
    bool ended() const { return ended_; }
    int result() const { return result_; }
    // Called once when the run ends (the program quits its event loop there).
    void setOnEnd(std::function<void(int)> onEnd) { onEnd_ = std::move(onEnd); }
    // Restores and raises the window (a second copy of the program asked).
    void bringToFront();

    const Controller& controller() const { return *controller_; }
    QPushButton* command(int id) const;
    QAbstractButton* key(int id) const;
    QWidget* keyReceiver() const;
    QWidget* screenArea() const;
    QString statusText() const;

protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void reject() override;

private:
    void buildControls();
    void buildKeypad();
    // View
    void showPanel(const PanelState& state) override;
    void showMessage(const std::string& text, Icon icon) override;
    bool askYesNo(const std::string& text) override;
    void focusKeyReceiver() override;
    void repaintScreen() override;
    void pause(int milliseconds) override;
    void saveSettings(const StoredPort& settings) override;
    void endDialog(int result) override;

    const SettingsStore& settings_;
    QImage background_;
    QImage faces_;
    NotifyPoster poster_;
    std::unique_ptr<Controller> controller_;
    const Controller* painted_ = nullptr;  // what the screen area draws from
    std::map<int, QPushButton*> commands_;
    std::map<int, QAbstractButton*> keys_;
    ScreenArea* screen_ = nullptr;
    KeyReceiver* receiver_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* shift_ = nullptr;
    bool ended_ = false;
    int result_ = 0;
    std::function<void(int)> onEnd_;
};

}  // namespace frontpad
