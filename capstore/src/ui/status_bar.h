// The main window's status bar: the progress text and the three on/off
// indicators "Connect", "Measure" and "Convert".
#pragma once
#include <QLabel>
#include <QStatusBar>

#include "texts/string_table.h"

namespace capstore {

class StatusBar : public QStatusBar {
    Q_OBJECT
public:
    StatusBar(Language language, QWidget* parent);
    void set_text(const QString& text);
    QString text() const { return text_->text(); }
    void set_indicator(int part, bool on);  // parts 1..3
    bool indicator(int part) const;

private:
    QLabel* text_;
    QLabel* parts_[3];
    bool on_[3] = {};
};

}  // namespace capstore
