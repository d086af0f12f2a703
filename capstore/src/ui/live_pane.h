// The live view: the lines the running measurement makes, in the conversion
// panel's layout, below the monitor. A timer takes the waiting lines in one
// batch per repaint; the pane keeps the newest kLiveLines lines, follows the
// end unless the user pauses or scrolls back, and shows lines of frames in
// error in a colour of their own. Lines the pane could not take in time are
// counted in its note. GUI thread only.
#pragma once
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCharFormat>
#include <QTimer>

#include "live/live_line_queue.h"
#include "texts/string_table.h"

namespace capstore {

inline constexpr int kLiveLines = 10000;  // lines the pane keeps, and lines that may wait for it
inline constexpr int kLiveRepaintMs = 100;
inline constexpr int kLiveBatch = 1000;  // lines added at most per repaint while following

class LivePane : public QGroupBox {
    Q_OBJECT
public:
    LivePane(Language language, LiveLineQueue& queue, QWidget* parent);

    // A new measurement: empty text, note and counts, following the end.
    void restart();
    // Takes what waits now, the newest `most` lines at most (the timer takes a batch).
    void take_lines(std::size_t most = kLiveBatch);
    void set_paused(bool paused);
    bool paused() const { return paused_ || held_; }
    long long not_shown() const { return not_shown_; }
    void show_later_note(bool shown);

    QPlainTextEdit* text() const { return text_; }
    QPushButton* pause_button() const { return pause_; }
    QLabel* note() const { return note_; }
    static QColor error_colour() { return QColor(0xB0, 0x00, 0x20); }

private:
    void append(const std::vector<LiveLine>& lines);
    void scroll_action();
    void update_controls();

    Language language_;
    LiveLineQueue& queue_;
    QPlainTextEdit* text_;
    QPushButton* pause_;
    QLabel* note_;
    QTimer timer_;
    QTextCharFormat plain_, error_;
    bool paused_ = false;  // by the button
    bool held_ = false;    // scrolled back from the end
    bool empty_ = true;
    bool later_ = false;
    long long not_shown_ = 0;
};

// A line as the conversion wrote it: ASCII, and single-byte katakana as
// their Shift_JIS bytes.
QString live_line_text(const std::string& line);

}  // namespace capstore
