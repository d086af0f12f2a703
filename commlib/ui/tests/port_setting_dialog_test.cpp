// The serial port dialog on the offscreen platform: which entries the stored
// settings select, what OK stores, that Cancel and the close box store
// nothing, and the texts in both languages.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <cstring>

#include "offscreen_app.h"
#include "port_choices.h"
#include "port_setting_dialog.h"

namespace commlib::ui {
namespace {

using testing_qt::EnglishLocale;
using testing_qt::LocaleVar;

class PortDialog : public ::testing::Test {
protected:
    EnglishLocale english;
    CommlibUiPort settings{"COM1", 9600, 0, 0};

    std::unique_ptr<PortSettingDialog> Open(std::vector<std::string> devices = {}) {
        auto dialog = std::make_unique<PortSettingDialog>(settings, std::move(devices));
        EXPECT_TRUE(dialog->Create(PortSettingDialog::Template, nullptr));
        return dialog;
    }
    static QComboBox* List(PortSettingDialog& d, int id) {
        return d.Window()->findChild<QComboBox*>(QString::number(id));
    }
    static void Click(PortSettingDialog& d, int id) {
        d.Window()->findChild<QPushButton*>(QString::number(id))->click();
    }
    static QStringList Items(QComboBox* box) {
        QStringList out;
        for (int i = 0; i < box->count(); ++i) out << box->itemText(i);
        return out;
    }
};

TEST_F(PortDialog, ListsPortsSpeedsParitiesAndXControlInOrder) {
    auto d = Open({"/dev/serial/by-id/usb-adapter", "/dev/ttyUSB0"});
    EXPECT_EQ(Items(List(*d, 101)), QStringList({"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8",
                                                 "/dev/serial/by-id/usb-adapter", "/dev/ttyUSB0"}));
    EXPECT_EQ(Items(List(*d, 102)),
              QStringList({"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200", "230400"}));
    EXPECT_EQ(Items(List(*d, 103)), QStringList({"None", "Even", "Odd"}));
    EXPECT_EQ(Items(List(*d, 104)), QStringList({"Disable", "Enable"}));
    EXPECT_FALSE(List(*d, 102)->isEnabled());
    EXPECT_TRUE(List(*d, 101)->isEnabled());
    EXPECT_EQ(d->Window()->windowTitle(), "Serial Port Setting");

    // Another dialog's template cannot be made into this one.
    PortSettingDialog wrong(settings, {});
    EXPECT_EQ(wrong.DoModal(103, nullptr), -1);
}

TEST_F(PortDialog, UnlistedPortSelectsCom1AndOkStoresIt) {
    std::strcpy(settings.Port, "COM9");
    auto d = Open();
    EXPECT_EQ(List(*d, 101)->currentText(), "COM1");
    Click(*d, 1);
    EXPECT_EQ(d->Result(), 1);
    EXPECT_STREQ(settings.Port, "COM1");
}

TEST_F(PortDialog, PortMatchIgnoresCaseAndDevicesCanBeChosen) {
    std::strcpy(settings.Port, "com3");
    auto d = Open({"/dev/ttyUSB0"});
    EXPECT_EQ(List(*d, 101)->currentText(), "COM3");
    List(*d, 101)->setCurrentIndex(8);
    Click(*d, 1);
    EXPECT_STREQ(settings.Port, "/dev/ttyUSB0");

    std::strcpy(settings.Port, "/dev/ttyUSB0");
    auto again = Open({"/dev/ttyUSB0"});
    EXPECT_EQ(List(*again, 101)->currentIndex(), 8);
}

TEST_F(PortDialog, SpeedStaysWhatWasSupplied) {
    settings.Speed = 19200;
    auto d = Open();
    EXPECT_EQ(List(*d, 102)->currentText(), "19200");
    Click(*d, 1);
    EXPECT_EQ(settings.Speed, 19200);

    // A speed the list does not hold is shown as the first entry but kept.
    settings.Speed = 12345;
    auto odd = Open();
    EXPECT_EQ(List(*odd, 102)->currentIndex(), 0);
    Click(*odd, 1);
    EXPECT_EQ(settings.Speed, 12345);
}

TEST_F(PortDialog, ParityMapsBothWays) {
    const struct {
        int stored;
        const char* shown;
    } in[] = {{0, "None"}, {1, "Odd"}, {2, "Even"}};
    for (const auto& c : in) {
        settings.Parity = c.stored;
        auto d = Open();
        EXPECT_EQ(List(*d, 103)->currentText(), c.shown) << c.stored;
        Click(*d, 1);
        EXPECT_EQ(settings.Parity, c.stored) << c.shown;
    }
    const struct {
        int index;
        int stored;
    } out[] = {{0, 0}, {1, 2}, {2, 1}};
    for (const auto& c : out) {
        settings.Parity = 0;
        auto d = Open();
        List(*d, 103)->setCurrentIndex(c.index);
        Click(*d, 1);
        EXPECT_EQ(settings.Parity, c.stored) << c.index;
    }
    // A value outside the list selects nothing, and OK then stores "none".
    settings.Parity = 3;
    auto d = Open();
    EXPECT_EQ(List(*d, 103)->currentIndex(), -1);
    Click(*d, 1);
    EXPECT_EQ(settings.Parity, 0);
}

TEST_F(PortDialog, XControlMapsBothWays) {
    for (int stored : {0, 1, 7}) {
        settings.XControl = stored;
        auto d = Open();
        EXPECT_EQ(List(*d, 104)->currentText(), stored ? "Enable" : "Disable");
        Click(*d, 1);
        EXPECT_EQ(settings.XControl, stored ? 1 : 0);
    }
    settings.XControl = 0;
    auto d = Open();
    List(*d, 104)->setCurrentIndex(1);
    Click(*d, 1);
    EXPECT_EQ(settings.XControl, 1);
}

TEST_F(PortDialog, CancelEscapeAndCloseBoxChangeNothing) {
    settings = {"COM2", 9600, 1, 1};
    const CommlibUiPort before = settings;
    for (int way = 0; way < 3; ++way) {
        auto d = Open({"/dev/ttyACM0"});
        List(*d, 101)->setCurrentIndex(8);
        List(*d, 103)->setCurrentIndex(0);
        List(*d, 104)->setCurrentIndex(0);
        QDialog* window = d->Window();
        if (way == 0) Click(*d, 2);
        else if (way == 1) window->reject();  // what Escape does
        else window->close();
        EXPECT_EQ(d->Result(), 0) << way;
        EXPECT_EQ(d->Window(), nullptr) << way;
        EXPECT_EQ(std::memcmp(&settings, &before, sizeof settings), 0) << way;
    }
}

std::string DeniedForUsb(const std::string& name) {
    return name == "/dev/ttyUSB0" ? "'/dev/ttyUSB0': you may not open it (Permission denied). Only its owner" : "";
}

TEST_F(PortDialog, SaysWhatStopsThisUserFromOpeningTheChosenPort) {
    PortSettingDialog d(settings, {"/dev/ttyUSB0"}, DeniedForUsb);
    ASSERT_TRUE(d.Create(PortSettingDialog::Template, nullptr));
    auto* access = d.Window()->findChild<QLabel*>("105");
    ASSERT_NE(access, nullptr);
    EXPECT_TRUE(access->isHidden());  // COM1
    List(d, 101)->setCurrentIndex(8);
    EXPECT_FALSE(access->isHidden());
    EXPECT_EQ(access->text(), "'/dev/ttyUSB0': you may not open it (Permission denied). Only its owner");
    List(d, 101)->setCurrentIndex(1);
    EXPECT_TRUE(access->isHidden());
    // The real check has nothing to say of a device anyone may open, nor of one that is not there.
    EXPECT_EQ(PortAccessText("/dev/null"), "");
    EXPECT_EQ(PortAccessText("/dev/zamvex-no-such-port"), "");
}

TEST_F(PortDialog, JapaneseTextsFollowTheLocale) {
    LocaleVar all("LC_ALL", "");
    LocaleVar messages("LC_MESSAGES", "ja_JP.UTF-8");
    LocaleVar lang("LANG", "en_US.UTF-8");  // LC_MESSAGES comes first
    auto d = Open();
    EXPECT_EQ(d->Window()->windowTitle(), QString::fromUtf8("シリアルポート設定"));
    EXPECT_EQ(Items(List(*d, 103)),
              QStringList({QString::fromUtf8("なし"), QString::fromUtf8("偶数"), QString::fromUtf8("奇数")}));
    EXPECT_EQ(Items(List(*d, 104)), QStringList({QString::fromUtf8("無効"), QString::fromUtf8("有効")}));
    EXPECT_EQ(d->Window()->findChild<QPushButton*>("2")->text(), QString::fromUtf8("キャンセル"));
    QStringList labels;
    for (QLabel* label : d->Window()->findChildren<QLabel*>()) labels << label->text();
    EXPECT_TRUE(labels.contains(QString::fromUtf8("通信速度(&S)")));
    EXPECT_TRUE(labels.contains(QString::fromUtf8("X-CONTROL(&X)")));
    EXPECT_EQ(List(*d, 103)->currentIndex(), 0);  // the selection rule does not depend on the texts
}

}  // namespace
}  // namespace commlib::ui
