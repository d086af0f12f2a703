// The window program's own parts: code page 932 for display and the editor, the
// stored settings with their system-wide fallback, the notification bridge, and
// closing the main dialog before any connection.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QSettings>
#include <tuple>

#include "main_dialog.h"
#include "message_box.h"
#include "notify_bridge.h"
#include "offscreen.h"
#include "qt_settings_store.h"
#include "setxfer/settings_file.h"
#include "sjis.h"
#include "testing/temp_dir.h"

namespace setxfer::app {
namespace {

using namespace testing_qt;

TEST(Cp932, LibraryTextsAndTableCharactersBothWays) {
    // ﾌｧｲﾙのﾃﾞｰﾀが違います : half-width katakana and kanji as the settings-file library gives them.
    EXPECT_EQ(from_cp932("\xCC\xA7\xB2\xD9\x82\xCC\xC3\xDE\xB0\xC0\x82\xAA\x88\xE1\x82\xA2\x82\xDC\x82\xB7 "),
              QStringLiteral("ﾌｧｲﾙのﾃﾞｰﾀが違います "));
    EXPECT_EQ(from_cp932(save_type_name(2)), QStringLiteral("設定ﾃﾞｰﾀ+ﾃｰﾌﾞﾙﾃﾞｰﾀ+ﾌﾟﾛｸﾞﾗﾑﾃﾞｰﾀ"));
    // The table form's three double-byte characters, and backslash and tilde staying ASCII.
    EXPECT_EQ(to_cp932(QStringLiteral("Δ”￥\\~ｱ")), "\x83\xA2\x81\x68\x81\x8F\\~\xB1");
    EXPECT_EQ(from_cp932("\x83\xA2\x81\x68\x81\x8F\\~\xB1"), QStringLiteral("Δ”￥\\~ｱ"));
    EXPECT_EQ(to_cp932(QStringLiteral("aé\U0001F600b")), "a??b");  // not in the code page
}

TEST(StoredSettings, UserValuesFirstThenTheSystemFile) {
    testing_util::TempDir system;
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, QString::fromStdString(system.path()));
    {
        QSettings admin(QSettings::IniFormat, QSettings::SystemScope, QStringLiteral("MIRLOKE"),
                        QStringLiteral("ZAMVEX3"));
        admin.setValue(QStringLiteral("1.00/surw/SETXFER/PARITY"), QStringLiteral("EVEN"));
        admin.setValue(QStringLiteral("1.00/surw/SETXFER/XCON"), QStringLiteral("ON"));
    }
    QtSettingsStore store(QString::fromStdString(system.path()));
    EXPECT_EQ(store.get("PARITY"), "EVEN");
    EXPECT_EQ(store.get("MISSING"), std::nullopt);
    store.set("XCON", "OFF");
    EXPECT_EQ(store.get("XCON"), "OFF");
    QtSettingsStore again(QString::fromStdString(system.path()));
    EXPECT_EQ(again.get("XCON"), "OFF");
}

TEST(NotifyBridge, PostsStatusAndCodeAndDeliversOnTheGuiThread) {
    std::vector<std::tuple<int, int, void*>> seen;
    int payload = 5;
    {
        NotifyBridge bridge([&](int code, int status, void* data) { seen.emplace_back(code, status, data); });
        NotifyFn notify = NotifyBridge::notify_function();
        EXPECT_EQ(notify(ReqPutTable, StatusCancelled, &payload), 0);
        EXPECT_EQ(notify(ReqGetStopReason, StatusPortNotOpen, nullptr), 0);
        EXPECT_TRUE(seen.empty());  // only posted so far
        EXPECT_FALSE(bridge.post(0x8000, 1, 0));
        wait_until([&] { return seen.size() == 2; }, 5000);
    }
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], std::make_tuple(ReqPutTable, StatusCancelled, static_cast<void*>(&payload)));
    EXPECT_EQ(seen[1], std::make_tuple(ReqGetStopReason, StatusPortNotOpen, static_cast<void*>(nullptr)));
    EXPECT_EQ(NotifyBridge::notify_function()(ReqConnect, 0, nullptr), 0);  // no bridge: dropped
}

TEST(MainWindow, ClosingBeforeAnyConnectionEndsAfterTheLibrarysAnswers) {
    testing_util::TempDir system;
    QtSettingsStore store(QString::fromStdString(system.path()));
    std::vector<Message> shown;
    set_message_hook([&](QWidget*, const Message& m) { return shown.push_back(m), true; });
    Session session;
    ASSERT_EQ(CreateMirlokeRemote(&session.remote), 1);
    int exit_code = -1;
    {
        MainDialog dialog(session, store);
        dialog.on_end = [&](int code) { exit_code = code; };
        dialog.show();
        ASSERT_TRUE(dialog.start());
        EXPECT_EQ(child<QLabel>(&dialog, "status")->text(),
                  QStringLiteral("ｼﾘｱﾙﾎﾟｰﾄを設定し各操作ﾎﾞﾀﾝを選んで下さい｡"));
        dialog.close();
        EXPECT_TRUE(wait_until([&] { return dialog.ended(); }, 5000));
    }
    EXPECT_EQ(exit_code, 0);
    EXPECT_EQ(session.remote, nullptr);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "終了してよろしいですか？");
    EXPECT_EQ(shown[0].caption, "注意");
    set_message_hook(nullptr);
}

TEST(MainWindow, PortDialogChoiceIsStored) {
    testing_util::TempDir system;
    QtSettingsStore store(QString::fromStdString(system.path()));
    Session session;
    ASSERT_EQ(CreateMirlokeRemote(&session.remote), 1);
    MainDialog dialog(session, store);
    dialog.show();
    ASSERT_TRUE(dialog.start());
    bool answered = false;
    // commlib's own dialog: port list 101, parity 103 (None, Even, Odd), X-Control 104, OK 1.
    on_modal("", [&](QWidget* d) {
        child<QComboBox>(d, "101")->setCurrentIndex(4);
        child<QComboBox>(d, "103")->setCurrentIndex(1);
        child<QComboBox>(d, "104")->setCurrentIndex(1);
        click(d, "1");
        answered = true;
    });
    click(&dialog, "port");
    ASSERT_TRUE(answered);
    EXPECT_EQ(store.get("PORT"), "COM5");
    EXPECT_EQ(store.get("PARITY"), "EVEN");
    EXPECT_EQ(store.get("XCON"), "ON");
}

}  // namespace
}  // namespace setxfer::app
