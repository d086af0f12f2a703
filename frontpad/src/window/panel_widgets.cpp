// Keys copy their face from the sheet; the screen area fills and stretches the
// analyzer's image; the receiver turns key events into panel keys.
#include "panel_widgets.h"

#include <QKeyEvent>
#include <QPainter>

#include "frontpad/screen_image.h"

namespace frontpad {

KeyFaceButton::KeyFaceButton(const KeyButton& key, const QImage& sheet, QWidget* parent)
    : QAbstractButton(parent), key_(key), sheet_(sheet) {
    setObjectName(QString::number(key.id));
    setFocusPolicy(Qt::NoFocus);  // the keyboard focus stays with the receiver
    setGeometry(keyX(key.column), keyY(key.row), kKeyWidth, kKeyHeight);
    const auto name = key.code == kShiftCode ? std::string_view("SHIFT") : KeyName(key.code);
    setAccessibleName(QString::fromUtf8(name.data(), static_cast<int>(name.size())));
}

void KeyFaceButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int face = faceIndex(key_);
    p.drawImage(QPoint(0, 0), sheet_, QRect(faceX(face), faceY(face, isDown()), kKeyWidth, kKeyHeight));
}

ScreenArea::ScreenArea(const Controller*& controller, QWidget* parent) : QWidget(parent), controller_(controller) {
    setObjectName(QStringLiteral("1000"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ScreenArea::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor::fromRgb(kScreenFill));
    if (!controller_ || !controller_->screenInfo() || !controller_->screenBits()) return;
    const ScreenPixels pixels = renderScreen(*controller_->screenInfo(), controller_->screenBits());
    if (pixels.argb.empty()) return;
    const QImage image(reinterpret_cast<const uchar*>(pixels.argb.data()), pixels.width, pixels.height,
                       pixels.width * 4, QImage::Format_RGB32);
    p.drawImage(rect(), image);  // stretched, pixels kept sharp
}

KeyReceiver::KeyReceiver(KeyFn down, KeyFn up, QWidget* parent)
    : QWidget(parent), down_(std::move(down)), up_(std::move(up)) {
    setObjectName(QStringLiteral("1018"));
    setFocusPolicy(Qt::StrongFocus);
    setGeometry(0, 0, 1, 1);
}

PcKey KeyReceiver::translate(const QKeyEvent& event) {
    if (event.key() == Qt::Key_Shift) return {true, -1};
    if (auto code = pcKeyCode(event.key())) return {false, *code};
    // With SHIFT down the digit row reports its shifted symbols, which differ
    // between layouts; the row's key positions (X keycodes 10..19) do not.
    const quint32 scan = event.nativeScanCode();
    if ((event.modifiers() & Qt::ShiftModifier) && scan >= 10 && scan <= 19)
        return {false, scan == 19 ? 0 : static_cast<int>(scan) - 9};
    return {false, -1};
}

bool KeyReceiver::event(QEvent* e) {
    // Tab is a key like any other here, not a move to the next control.
    if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) {
            keyPressEvent(k);
            return true;
        }
    }
    return QWidget::event(e);
}

void KeyReceiver::keyPressEvent(QKeyEvent* e) {
    down_(translate(*e));
    e->accept();
}

void KeyReceiver::keyReleaseEvent(QKeyEvent* e) {
    // A held key repeats its press only, as the panel expects.
    if (e->isAutoRepeat()) return;
    up_(translate(*e));
    e->accept();
}

}  // namespace frontpad
