// Indicators are drawn in the grey text colour when off and the menu text
// colour when on, on the button face, as the analyzer's users know them.
#include "ui/status_bar.h"

#include <QPalette>

#include "app/main_view.h"
#include "ui/ui_texts.h"

namespace capstore {
namespace {

constexpr int kPartWidth = 60;
constexpr int kIndicatorStrings[3] = {str::kConnectIndicator, str::kMeasureIndicator, str::kConvertIndicator};

}  // namespace

StatusBar::StatusBar(Language language, QWidget* parent) : QStatusBar(parent) {
    setObjectName(QString::number(id::kStatusBar));
    setSizeGripEnabled(false);
    text_ = new QLabel(this);
    addWidget(text_, 1);
    for (int i = 0; i < 3; ++i) {
        parts_[i] = new QLabel(qs(string_text(kIndicatorStrings[i], language)), this);
        parts_[i]->setAlignment(Qt::AlignCenter);
        parts_[i]->setTextFormat(Qt::PlainText);
        parts_[i]->setFixedWidth(kPartWidth);
        parts_[i]->setAutoFillBackground(true);
        parts_[i]->setObjectName(QString("indicator%1").arg(i + 1));
        addPermanentWidget(parts_[i]);
        set_indicator(i + 1, false);
    }
}

void StatusBar::set_text(const QString& text) { text_->setText(text); }

void StatusBar::set_indicator(int part, bool on) {
    if (part < 1 || part > 3) return;
    QLabel* label = parts_[part - 1];
    on_[part - 1] = on;
    // Colours from the bar's own palette: the label's has been changed before.
    const QPalette& base = palette();
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, base.color(QPalette::Button));
    pal.setColor(QPalette::WindowText, on ? base.color(QPalette::Active, QPalette::WindowText)
                                          : base.color(QPalette::Disabled, QPalette::WindowText));
    label->setPalette(pal);
}

bool StatusBar::indicator(int part) const { return part >= 1 && part <= 3 && on_[part - 1]; }

}  // namespace capstore
