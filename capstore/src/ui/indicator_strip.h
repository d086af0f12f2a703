// The animated indicator of the "Monitor" and "Text conversion" groups: a
// 320 x 14 strip picture scrolled by its speed (tenths of a pixel per 100 ms,
// negative = stopped and blank).
#pragma once
#include <QPixmap>
#include <QTimer>
#include <QWidget>

namespace capstore {

class IndicatorStrip : public QWidget {
    Q_OBJECT
public:
    enum class Picture { Rate, Convert };
    IndicatorStrip(Picture picture, QWidget* parent);

    void set_speed(int speed);
    int speed() const { return speed_; }
    int offset() const { return offset_; }
    // One timer step, as the 100 ms timer does.
    void step();

    static QPixmap picture(Picture which);
    // The 120 x 52 picture beside the monitor group.
    static QPixmap badge();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap pixmap_;
    QTimer timer_;
    int speed_ = -1;
    int offset_ = 0;  // 0..1599: tenths of a pixel into the strip
};

}  // namespace capstore
