// The live pane's widgets, its repaint batches and the follow, pause and
// scroll-back rules.
#include "ui/live_pane.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <QVBoxLayout>

#include "app/main_view.h"
#include "ui/widget_helpers.h"

namespace capstore {

QString live_line_text(const std::string& line) {
    QString text;
    text.reserve(static_cast<qsizetype>(line.size()));
    for (char c : line) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0xA1 && b <= 0xDF) text += QChar(0xFF61 + (b - 0xA1));  // half-width katakana
        else text += QChar(b);
    }
    return text;
}

LivePane::LivePane(Language language, LiveLineQueue& queue, QWidget* parent)
    : QGroupBox(qs(caption_text(caption::kLiveView, language)), parent), language_(language), queue_(queue) {
    setObjectName(QString::number(id::kLivePane));
    pause_ = captioned<QPushButton>(id::kLivePause, language, this);
    note_ = named(new QLabel(this), id::kLiveNote);
    note_->hide();
    text_ = named(new QPlainTextEdit(this), id::kLiveText);
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setMaximumBlockCount(kLiveLines);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    text_->setMinimumHeight(140);
    error_.setForeground(error_colour());

    auto* top = new QHBoxLayout;
    top->addWidget(pause_);
    top->addWidget(note_);
    top->addStretch(1);
    auto* column = new QVBoxLayout(this);
    column->addLayout(top);
    column->addWidget(text_, 1);

    connect(pause_, &QPushButton::clicked, this, [this] { set_paused(!paused()); });
    connect(text_->verticalScrollBar(), &QScrollBar::actionTriggered, this, [this] { scroll_action(); });
    connect(&timer_, &QTimer::timeout, this, [this] { take_lines(); });
    timer_.start(kLiveRepaintMs);
}

void LivePane::restart() {
    text_->clear();
    empty_ = true;
    paused_ = held_ = false;
    not_shown_ = 0;
    later_ = false;
    update_controls();
}

void LivePane::show_later_note(bool shown) {
    if (later_ == shown) return;
    later_ = shown;
    update_controls();
}

void LivePane::take_lines(std::size_t most) {
    if (paused()) {
        // The queue keeps the newest lines meanwhile; what it gave up is counted now.
        const long long dropped = queue_.take_dropped();
        if (dropped > 0) {
            not_shown_ += dropped;
            update_controls();
        }
        return;
    }
    LiveLineQueue::Batch batch = queue_.take(most);
    if (batch.dropped > 0) not_shown_ += batch.dropped;
    if (!batch.lines.empty()) append(batch.lines);
    if (batch.dropped > 0) update_controls();
}

void LivePane::append(const std::vector<LiveLine>& lines) {
    QTextCursor cursor(text_->document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    for (const LiveLine& line : lines) {
        if (!empty_) cursor.insertBlock();
        cursor.insertText(live_line_text(line.text), line.error ? error_ : plain_);
        empty_ = false;
    }
    cursor.endEditBlock();
    QScrollBar* bar = text_->verticalScrollBar();
    bar->setValue(bar->maximum());
}

void LivePane::set_paused(bool paused) {
    paused_ = paused;
    held_ = false;
    if (!paused_) {
        take_lines(kLiveLines);  // what waited meanwhile, up to a whole pane
        text_->verticalScrollBar()->setValue(text_->verticalScrollBar()->maximum());
    }
    update_controls();
}

// The user moved the scroll bar: away from the end the pane holds still,
// back at the end it follows again.
void LivePane::scroll_action() {
    QScrollBar* bar = text_->verticalScrollBar();
    const bool at_end = bar->sliderPosition() >= bar->maximum();
    if (paused_ || held_ == !at_end) return;
    held_ = !at_end;
    update_controls();
}

void LivePane::update_controls() {
    pause_->setText(qs(caption_text(paused() ? caption::kResumeView : id::kLivePause, language_)));
    QStringList notes;
    if (later_) notes << qs(caption_text(caption::kLiveLater, language_));
    if (not_shown_ > 0)
        notes << qs(caption_text(caption::kNotShown, language_)).arg(QLocale(QLocale::English).toString(not_shown_));
    note_->setText(notes.join("  "));
    note_->setVisible(!notes.isEmpty());
}

}  // namespace capstore
