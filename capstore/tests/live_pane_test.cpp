// The live pane on its own, fed through its queue: batches, the error
// colour, the bound on lines, pause and resume, holding while scrolled back,
// the not-shown note; and the show choice kept in the settings.
#include <QScrollBar>
#include <QTextBlock>

#include "offscreen.h"
#include "settings/settings_store.h"
#include "testing/temp_dir.h"
#include "ui/live_pane.h"

namespace capstore {
namespace {

void post(LiveLineQueue& queue, const std::string& text, bool error = false) {
    queue.PostLine(text.data(), text.size(), error);
}

bool coloured(const QTextBlock& block) {
    const QTextBlock::iterator it = block.begin();
    return !it.atEnd() && it.fragment().charFormat().foreground().color() == LivePane::error_colour();
}

QString last_line(const LivePane& pane) { return pane.text()->document()->lastBlock().text(); }

TEST(LivePane, BatchesMarkErrorsKeepTheBoundAndPauseCountsWhatItCouldNotShow) {
    LiveLineQueue queue(kLiveLines);
    LivePane pane(Language::English, queue, nullptr);
    pane.resize(600, 300);
    pane.show();
    post(queue, "SD:080000 03 SABM      1      G");
    post(queue, "SD:       03 INFO    1 0   0  E  4142", true);
    post(queue, "RD:\xB1\xDF");  // single-byte katakana as the conversion writes them
    pane.take_lines();
    QTextDocument* doc = pane.text()->document();
    ASSERT_EQ(doc->blockCount(), 3);
    EXPECT_EQ(doc->findBlockByNumber(0).text(), "SD:080000 03 SABM      1      G");
    EXPECT_FALSE(coloured(doc->findBlockByNumber(0)));
    EXPECT_TRUE(coloured(doc->findBlockByNumber(1)));
    EXPECT_EQ(doc->findBlockByNumber(2).text(), QString::fromUtf8("RD:ｱﾟ"));
    EXPECT_FALSE(pane.note()->isVisible());

    // Paused: nothing moves, the queue keeps the newest lines and counts the rest.
    pane.pause_button()->click();
    EXPECT_EQ(pane.pause_button()->text(), "Resu&me view");
    for (int k = 0; k < kLiveLines + 2000; ++k) post(queue, "line " + std::to_string(k), k % 1000 == 0);
    pane.take_lines();
    EXPECT_EQ(doc->blockCount(), 3);
    EXPECT_EQ(pane.not_shown(), 2000);
    EXPECT_TRUE(pane.note()->isVisible());
    EXPECT_EQ(pane.note()->text(), "2,000 lines not shown (the buffer keeps them all)");

    // Resumed: the newest lines, at most the bound, and the end in view.
    pane.pause_button()->click();
    EXPECT_EQ(pane.pause_button()->text(), "&Pause view");
    EXPECT_EQ(doc->blockCount(), kLiveLines);
    EXPECT_EQ(last_line(pane), QString("line %1").arg(kLiveLines + 1999));
    EXPECT_EQ(doc->firstBlock().text(), "line 2000");             // the queue gave up 0..1999, the pane its three first
    EXPECT_TRUE(coloured(doc->findBlockByNumber(11000 - 2000)));  // "line 11000"
    EXPECT_FALSE(coloured(doc->findBlockByNumber(11001 - 2000)));
    QScrollBar* bar = pane.text()->verticalScrollBar();
    EXPECT_EQ(bar->value(), bar->maximum());

    // Scrolled back, the pane holds; back at the end it follows again.
    bar->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_TRUE(pane.paused());
    post(queue, "while scrolled back");
    pane.take_lines();
    EXPECT_NE(last_line(pane), "while scrolled back");
    EXPECT_EQ(bar->value(), 0);
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_FALSE(pane.paused());
    pane.take_lines();
    EXPECT_EQ(last_line(pane), "while scrolled back");

    // Following a flood, a repaint adds the newest batch and counts the older lines.
    const long long before = pane.not_shown();
    for (int k = 0; k < kLiveBatch + 3000; ++k) post(queue, "flood " + std::to_string(k));
    pane.take_lines();
    EXPECT_EQ(pane.not_shown(), before + 3000);
    EXPECT_EQ(doc->findBlockByNumber(kLiveLines - kLiveBatch).text(), "flood 3000");
    EXPECT_EQ(last_line(pane), QString("flood %1").arg(kLiveBatch + 2999));

    pane.restart();
    EXPECT_EQ(doc->blockCount(), 1);
    EXPECT_FALSE(pane.note()->isVisible());
}

TEST(LivePane, JapaneseTextsAndTheShowChoiceIsStored) {
    LiveLineQueue queue(10);
    LivePane pane(Language::Japanese, queue, nullptr);
    EXPECT_EQ(pane.title(), QString::fromUtf8("ライブビュー"));
    EXPECT_EQ(pane.pause_button()->text(), QString::fromUtf8("表示を一時停止(&P)"));
    pane.set_paused(true);
    EXPECT_EQ(pane.pause_button()->text(), QString::fromUtf8("表示を再開(&M)"));
    for (int k = 0; k < 15; ++k) post(queue, "x");
    pane.take_lines();
    EXPECT_EQ(pane.note()->text(), QString::fromUtf8("5 行は表示していません（バッファにはすべて記録されています）"));

    testing_util::TempDir dir;
    SettingsPaths paths{QString::fromStdString(dir.file("u.ini")), QString::fromStdString(dir.file("s.ini")),
                        QString::fromStdString(dir.path() + "/")};
    EXPECT_TRUE(SettingsStore(paths).read_live_view());  // shown unless stored off
    ASSERT_TRUE(SettingsStore(paths).write_live_view(false));
    EXPECT_FALSE(SettingsStore(paths).read_live_view());
    ASSERT_TRUE(SettingsStore(paths).write_live_view(true));
    EXPECT_TRUE(SettingsStore(paths).read_live_view());
}

}  // namespace
}  // namespace capstore
