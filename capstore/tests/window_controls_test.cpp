// The window's controls offscreen, without an analyzer: ids and captions in
// both languages, the option pages and their group rules, the line-state
// lists, and the panel while a conversion runs.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "convert/panel_values.h"
#include "fakes.h"
#include "offscreen.h"
#include "testing/temp_dir.h"
#include "ui/conversion_panel.h"
#include "ui/main_window.h"

namespace capstore {
namespace {

class PanelTest : public ::testing::Test {
protected:
    ConversionPanel panel{Language::English, nullptr};
    template <typename W>
    W* find(int id) {
        auto* w = panel.findChild<W*>(QString::number(id));
        EXPECT_NE(w, nullptr) << id;
        return w;
    }
    void load(int format, bool translate, bool line_state) {
        PanelValues v;
        v.format = format;
        v.translate = translate;
        v.line_state = line_state;
        const signed char states[8] = {0, 1, 3, 4, -1, -1, -1, -1};
        std::memcpy(v.include, states, 8);
        v.start = "1";
        v.width = "16";
        panel.load_panel(v);
    }
};

TEST_F(PanelTest, EveryControlHasItsIdAndTheListsTheirItems) {
    for (int id : {2011, 2031, 2041, 2042, 2051, 2052, 2061, 2101, 2102, 2111, 2121, 2122,  2123,  2124,  2131,
                   2141, 2150, 2160, 2171, 2172, 2173, 2174, 2201, 2211, 2221, 2231, 40401, 40402, 40403, 2002})
        EXPECT_NE(panel.findChild<QWidget*>(QString::number(id)), nullptr) << id;
    EXPECT_EQ(find<QComboBox>(2131)->itemText(2), "X.25 (Modulo128)");
    EXPECT_EQ(find<QComboBox>(2141)->itemText(0), "Off <Frame translation>");
    EXPECT_EQ(find<QComboBox>(2211)->count(), 3);
    EXPECT_EQ(find<QLineEdit>(2041)->maxLength(), 4);
    EXPECT_EQ(find<QLineEdit>(2061)->maxLength(), 6);
    EXPECT_EQ(find<QLineEdit>(2051)->maxLength(), 259);
    EXPECT_EQ(find<QLineEdit>(2231)->maxLength(), 15);
    ConversionPanel japanese(Language::Japanese, nullptr);
    EXPECT_EQ(japanese.findChild<QPushButton*>("40401")->text(), QString::fromUtf8("変換開始(&C)"));
    EXPECT_EQ(japanese.findChild<QComboBox*>("2031")->itemText(0), QString::fromUtf8("SD/RD両方"));
}

TEST_F(PanelTest, GroupRuleAndLineStateBox) {
    load(0, false, true);
    EXPECT_TRUE(find<QComboBox>(2111)->isEnabled());
    EXPECT_TRUE(find<QListWidget>(2160)->isEnabled());
    EXPECT_FALSE(find<QComboBox>(2131)->isEnabled());
    EXPECT_EQ(find<QListWidget>(2160)->count(), 4);
    EXPECT_EQ(find<QListWidget>(2150)->item(0)->text(), "DR");
    EXPECT_FALSE(find<QPushButton>(2171)->isEnabled());

    find<QListWidget>(2150)->item(1)->setSelected(true);  // "SQ"
    EXPECT_TRUE(find<QPushButton>(2171)->isEnabled());
    find<QPushButton>(2171)->click();
    EXPECT_EQ(find<QListWidget>(2160)->item(4)->text(), "SQ");
    EXPECT_TRUE(find<QPushButton>(2173)->isEnabled());
    EXPECT_FALSE(find<QPushButton>(2174)->isEnabled());
    find<QPushButton>(2173)->click();
    EXPECT_EQ(find<QListWidget>(2160)->item(3)->text(), "SQ");
    const PanelValues values = panel.panel();
    const signed char order[8] = {0, 1, 3, 5, 4, -1, -1, -1};
    EXPECT_EQ(0, std::memcmp(values.include, order, 8));

    find<QRadioButton>(2102)->setChecked(true);  // Translation
    EXPECT_FALSE(find<QComboBox>(2111)->isEnabled());
    EXPECT_FALSE(find<QListWidget>(2160)->isEnabled());
    EXPECT_FALSE(find<QPushButton>(2172)->isEnabled());
    EXPECT_TRUE(find<QComboBox>(2131)->isEnabled());
    EXPECT_TRUE(find<QComboBox>(2141)->isEnabled());
    EXPECT_TRUE(find<QListWidget>(2160)->selectedItems().isEmpty());

    find<QRadioButton>(2101)->setChecked(true);
    find<QCheckBox>(2121)->setChecked(false);
    EXPECT_FALSE(find<QListWidget>(2150)->isEnabled());
    EXPECT_TRUE(find<QCheckBox>(2124)->isEnabled());
}

TEST_F(PanelTest, FormatChoosesThePageAndConversionDisablesTheOptions) {
    load(1, false, false);
    EXPECT_EQ(panel.findChild<QWidget*>("2090")->property("currentIndex").toInt(), 1);
    find<QComboBox>(2011)->setCurrentIndex(0);
    EXPECT_EQ(panel.findChild<QWidget*>("2090")->property("currentIndex").toInt(), 0);
    panel.set_panel_enabled(false);
    for (int id : {2011, 2031, 2041, 2042, 2051, 2052, 2061, 2101, 2102, 2111, 2124, 2201, 2221, 2231})
        EXPECT_FALSE(panel.findChild<QWidget*>(QString::number(id))->isEnabled()) << id;
    panel.set_panel_enabled(true);
    EXPECT_TRUE(find<QComboBox>(2111)->isEnabled());
    EXPECT_FALSE(find<QComboBox>(2131)->isEnabled());  // the group by the ticked radio
}

TEST(MainWindowControlsTest, CaptionsAndIdsInBothLanguages) {
    testing::FakeRemote remote;
    struct NoConvert : TextConvert {
        bool Open(const char*, TextWindow*, TextThread*, unsigned) override { return false; }
        void Close() override {}
        bool Start(const ConvertOptions*, const char*) override { return false; }
        void Stop() override {}
        int PrintNormal() override { return 0; }
        int PrintNormalLineState() override { return 0; }
        int PrintControlSequence() override { return 0; }
        int PrintFrames() override { return 0; }
        int PrintPackets() override { return 0; }
        int PrintPpp() override { return 0; }
        int CsvData() override { return 0; }
        int CsvFrames() override { return 0; }
    } convert;
    testing_util::TempDir dir;
    SettingsStore settings({QString::fromStdString(dir.file("u.ini")), QString::fromStdString(dir.file("s.ini")),
                            QString::fromStdString(dir.path() + "/")});
    for (Language language : {Language::English, Language::Japanese}) {
        MainWindow window(language, settings, remote, convert);
        ConvertOptions o{};
        settings.read_convert(o);
        ASSERT_EQ(window.initialise(StoredPort{}, StoredBuffer{}, o), 0);
        const bool en = language == Language::English;
        EXPECT_EQ(window.windowTitle(),
                  en ? "ZAMVEX-3 PC Buffering (Offline)" : QString::fromUtf8("ZAMVEX-3 PCバッファリング (オフライン)"));
        EXPECT_EQ(window.findChild<QPushButton*>("40301")->text(),
                  en ? "Sta&rt measurement" : QString::fromUtf8("測定開始(&R)"));
        EXPECT_EQ(window.findChild<QPushButton*>("40109")->text(), en ? "E&xit" : QString::fromUtf8("終了(&X)"));
        EXPECT_EQ(window.findChild<QLabel*>("2005")->text(), "0%");
        EXPECT_FALSE(window.findChild<QPushButton*>("40302")->isVisible());
        EXPECT_FALSE(window.findChild<QPushButton*>("40401")->isEnabled());  // an empty buffer
        EXPECT_FALSE(window.status_bar().indicator(1));
        window.set_rate_speed(25);
        window.rate_indicator().step();
        window.rate_indicator().step();
        EXPECT_EQ(window.rate_indicator().offset(), 50);
        window.set_rate_speed(-1);
        window.rate_indicator().step();
        EXPECT_EQ(window.rate_indicator().offset(), 50);  // kept over a stop
        window.hide();
    }
}

}  // namespace
}  // namespace capstore

namespace capstore {
namespace {

TEST(StatusBarTest, IndicatorsSwitchBetweenGreyAndTextColour) {
    StatusBar bar(Language::Japanese, nullptr);
    auto* connect = bar.findChild<QLabel*>("indicator1");
    ASSERT_NE(connect, nullptr);
    EXPECT_EQ(connect->text(), QString::fromUtf8("接続"));
    const QColor off = connect->palette().color(QPalette::WindowText);
    EXPECT_EQ(off, bar.palette().color(QPalette::Disabled, QPalette::WindowText));
    bar.set_indicator(1, true);
    const QColor on = connect->palette().color(QPalette::WindowText);
    EXPECT_EQ(on, bar.palette().color(QPalette::Active, QPalette::WindowText));
    EXPECT_NE(on, off);
    bar.set_indicator(1, false);
    bar.set_indicator(1, true);  // on again after off: still the text colour
    EXPECT_EQ(connect->palette().color(QPalette::WindowText), on);
    EXPECT_TRUE(bar.indicator(1));
    EXPECT_FALSE(bar.indicator(2));
}

}  // namespace
}  // namespace capstore
