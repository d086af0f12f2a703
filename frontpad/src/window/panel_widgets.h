// The three painted or listening controls of the window: a key showing its
// face from the sheet, the screen area, and the control that takes the PC
// keyboard's keys.
#pragma once
#include <QAbstractButton>
#include <QImage>
#include <QWidget>
#include <functional>

#include "frontpad/controller.h"
#include "frontpad/key_table.h"

namespace frontpad {

class KeyFaceButton : public QAbstractButton {
public:
    KeyFaceButton(const KeyButton& key, const QImage& sheet, QWidget* parent);
    const KeyButton& key() const { return key_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    const KeyButton& key_;
    const QImage& sheet_;
};

class ScreenArea : public QWidget {
public:
    ScreenArea(const Controller*& controller, QWidget* parent);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    const Controller*& controller_;
};

class KeyReceiver : public QWidget {
public:
    using KeyFn = std::function<void(const PcKey&)>;
    KeyReceiver(KeyFn down, KeyFn up, QWidget* parent);

    // A key event as the controller sees it.
    static PcKey translate(const QKeyEvent& event);

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;

private:
    KeyFn down_, up_;
};

}  // namespace frontpad
