// The faces carry the key's caption as printed on the analyzer: the second
// function on the first line, the key itself below (the "&" only marks it).
#include "keypad_art.h"

#include <QPainter>
#include <QPainterPath>

#include "frontpad/key_table.h"

namespace frontpad {
namespace {

struct FaceColours {
    QColor body, text;
};

FaceColours coloursFor(const KeyButton& key) {
    if (key.code == 33) return {QColor(60, 150, 70), Qt::white};  // RUN
    if (key.code == 34) return {QColor(190, 55, 50), Qt::white};  // STOP
    if (key.code == kShiftCode) return {QColor(225, 170, 50), Qt::black};
    if (key.column < 4) return {QColor(236, 234, 226), Qt::black};
    return {QColor(70, 84, 104), Qt::white};
}

QStringList captionLines(const KeyButton& key) {
    QString text = QString::fromUtf8(key.caption.data(), static_cast<int>(key.caption.size()));
    text.remove(QLatin1Char('&'));
    return text.split(QLatin1Char('\n'));
}

void drawFace(QPainter& p, const KeyButton& key, QPoint origin, bool pressed) {
    const FaceColours c = coloursFor(key);
    const QRect r(origin, QSize(kKeyWidth, kKeyHeight));
    p.fillRect(r, QColor(40, 40, 44));
    const QRect body = r.adjusted(1, 1, -1, -1);
    p.fillRect(body, pressed ? c.body.darker(125) : c.body);
    // Raised edge when up, sunken when pressed.
    p.setPen(pressed ? c.body.darker(170) : c.body.lighter(130));
    p.drawLine(body.topLeft(), body.topRight());
    p.drawLine(body.topLeft(), body.bottomLeft());
    p.setPen(pressed ? c.body.lighter(115) : c.body.darker(160));
    p.drawLine(body.bottomLeft(), body.bottomRight());
    p.drawLine(body.topRight(), body.bottomRight());

    const QStringList lines = captionLines(key);
    const QRect textArea = body.adjusted(1, 1, -1, -1).translated(pressed ? 1 : 0, pressed ? 1 : 0);
    p.setPen(c.text);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleStrategy(QFont::PreferAntialias);
    if (lines.size() == 1) {
        font.setPixelSize(lines[0].size() <= 2 ? 16 : 10);
        font.setBold(true);
        p.setFont(font);
        p.drawText(textArea, Qt::AlignCenter, lines[0]);
        return;
    }
    // Two lines: the small first line above, the key's own name below; a
    // single character (C, 8, ...) is printed large as on the analyzer.
    const bool bigSecond = lines[1].size() == 1;
    font.setPixelSize(bigSecond ? 8 : 9);
    font.setBold(!bigSecond);
    p.setFont(font);
    const int split = bigSecond ? 11 : 14;
    p.drawText(QRect(textArea.left(), textArea.top(), textArea.width(), split), Qt::AlignCenter, lines[0]);
    font.setPixelSize(bigSecond ? 15 : 9);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRect(textArea.left(), textArea.top() + split, textArea.width(), textArea.height() - split),
               Qt::AlignCenter, lines[1]);
}

}  // namespace

QImage drawFaceSheet() {
    QImage sheet(kKeyColumns * kKeyWidth, 2 * kKeyRows * kKeyHeight, QImage::Format_RGB32);
    sheet.fill(Qt::black);
    QPainter p(&sheet);
    p.setRenderHint(QPainter::TextAntialiasing);
    for (const KeyButton& key : kKeyButtons)
        for (bool pressed : {false, true})
            drawFace(p, key, QPoint(faceX(faceIndex(key)), faceY(faceIndex(key), pressed)), pressed);
    return sheet;
}

QImage drawKeypadBackground() {
    QImage image(620, 200, QImage::Format_RGB32);
    image.fill(QColor(52, 56, 62));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Two plates under the two key blocks (keys sit 10 px in from the area's corner).
    const int left = keyX(0) - 10, right = keyX(4) - 10, top = keyY(0) - 180;
    const int blockHeight = 3 * 48 + kKeyHeight;
    p.setPen(QColor(90, 96, 106));
    p.setBrush(QColor(66, 71, 79));
    p.drawRoundedRect(QRectF(left - 6, top - 6, 4 * 64 - 16 + 12, blockHeight + 12), 5, 5);
    p.drawRoundedRect(QRectF(right - 6, top - 6, 5 * 64 - 16 + 12, blockHeight + 12), 5, 5);
    return image;
}

QIcon drawIcon() {
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(52, 56, 62));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 4, 4);
    p.setBrush(QColor(180, 255, 50));  // the screen's colour
    p.drawRect(QRectF(5, 5, 22, 10));
    p.setBrush(QColor(236, 234, 226));
    for (int i = 0; i < 3; ++i) p.drawRect(QRectF(5 + i * 8, 19, 6, 8));
    return QIcon(QPixmap::fromImage(image));
}

}  // namespace frontpad
