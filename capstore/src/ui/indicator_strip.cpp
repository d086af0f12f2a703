// Draws and scrolls the indicator strips. The pictures are drawn here: the
// rate strip is a row of chevrons, the conversion strip a row of pages, each
// repeating every 160 pixels so that the scroll wraps without a seam.
#include "ui/indicator_strip.h"

#include <QPainter>
#include <QPainterPath>

namespace capstore {
namespace {

constexpr int kStripWidth = 320;
constexpr int kStripHeight = 14;
constexpr int kPeriod = 160;
constexpr int kOffsetRange = kPeriod * 10;

void draw_chevrons(QPainter& p, int x0) {
    p.setPen(QPen(QColor(0, 120, 60), 2));
    for (int x = x0; x < x0 + kPeriod; x += 20) {
        p.drawLine(x + 4, 2, x + 10, 7);
        p.drawLine(x + 10, 7, x + 4, 12);
    }
}

void draw_pages(QPainter& p, int x0) {
    for (int x = x0; x < x0 + kPeriod; x += 32) {
        p.setPen(QColor(40, 40, 120));
        p.setBrush(QColor(250, 250, 255));
        p.drawRect(x + 4, 1, 10, 12);
        p.drawLine(x + 6, 4, x + 12, 4);
        p.drawLine(x + 6, 7, x + 12, 7);
        p.drawLine(x + 6, 10, x + 10, 10);
        p.setPen(QPen(QColor(200, 120, 0), 2));
        p.drawLine(x + 18, 7, x + 26, 7);
    }
}

}  // namespace

QPixmap IndicatorStrip::picture(Picture which) {
    QPixmap pixmap(kStripWidth, kStripHeight);
    pixmap.fill(QColor(232, 232, 232));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    for (int x0 = 0; x0 < kStripWidth; x0 += kPeriod) {
        if (which == Picture::Rate) draw_chevrons(p, x0);
        else draw_pages(p, x0);
    }
    return pixmap;
}

QPixmap IndicatorStrip::badge() {
    QPixmap pixmap(120, 52);
    pixmap.fill(QColor(24, 48, 96));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.drawPixmap(0, 36, picture(Picture::Rate), 0, 0, 120, 14);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(20);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 2, 120, 32), Qt::AlignCenter, QStringLiteral("ZAMVEX-3"));
    return pixmap;
}

IndicatorStrip::IndicatorStrip(Picture picture, QWidget* parent)
    : QWidget(parent), pixmap_(IndicatorStrip::picture(picture)) {
    setFixedHeight(kStripHeight);
    connect(&timer_, &QTimer::timeout, this, &IndicatorStrip::step);
    timer_.start(100);
}

void IndicatorStrip::set_speed(int speed) {
    speed_ = speed;
    if (speed_ < 0) update();
}

void IndicatorStrip::step() {
    if (speed_ < 0) return;
    offset_ = (offset_ + speed_) % kOffsetRange;
    update();
}

void IndicatorStrip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (speed_ < 0) {
        p.fillRect(rect(), palette().button());
        return;
    }
    const int y = (height() - kStripHeight) / 2;
    p.drawTiledPixmap(QRect(0, y, width(), kStripHeight), pixmap_, QPoint(offset_ / 10, 0));
}

}  // namespace capstore
