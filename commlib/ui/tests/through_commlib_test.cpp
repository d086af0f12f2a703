// The whole way from an application: libcommlib.so finds this plugin beside
// itself, Initialize asks about a missing buffer folder with a real message
// box, OK leads to the buffer dialog, and the port dialog's OK reaches the
// settings the application reads back.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <string>

#include "commlib/remote.h"
#include "offscreen_app.h"
#include "platform/window.h"
#include "testing/temp_dir.h"
#include "warning_box.h"

namespace commlib::ui {
namespace {

using testing_qt::EnglishLocale;
using testing_qt::OnNextModal;

class TitledWindow : public platform::Window {
public:
    explicit TitledWindow(std::string title) : title_(std::move(title)) {}
    bool post(unsigned, std::uintptr_t, std::intptr_t) override { return true; }
    const char* title() const override { return title_.c_str(); }

private:
    std::string title_;
};

struct Shown {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool hasCancel = false;
};

// Answers the next message box after noting what it showed.
void AnswerBox(Shown& shown, QMessageBox::StandardButton button) {
    OnNextModal([&shown, button](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        shown = {box->windowTitle(), box->text(), box->icon(), box->button(QMessageBox::Cancel) != nullptr};
        box->button(button)->click();
    });
}

class ThroughCommlib : public ::testing::Test {
protected:
    EnglishLocale english;
    void* lib = nullptr;
    Remote* remote = nullptr;

    void SetUp() override {
        lib = ::dlopen(COMMLIB_SO, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(lib, nullptr) << ::dlerror();
        auto create = reinterpret_cast<int (*)(Remote**)>(::dlsym(lib, "CreateMirlokeRemote"));
        ASSERT_NE(create, nullptr);
        ASSERT_EQ(create(&remote), 1);
        ASSERT_NE(remote, nullptr);
    }
    void TearDown() override {
        if (remote) remote->Release();
        if (lib) ::dlclose(lib);
    }
};

TEST_F(ThroughCommlib, MissingFolderPromptThenBufferDialog) {
    testing_util::TempDir dir;
    const std::string missing = dir.file("gone");
    const std::string chosen = dir.file("chosen");
    const std::string longTitle = "ZAMVEX-3 PC buffering " + std::string(60, 'x');
    TitledWindow owner(longTitle);
    const PortSettings port{"COM1", 9600, 0, 0};
    const BufferSettings buffer{missing.c_str(), 10, 1, 0};

    Shown prompt;
    AnswerBox(prompt, QMessageBox::Ok);
    // The buffer dialog follows the prompt; make the folder there.
    Shown create;
    OnNextModal([&](QWidget* modal) {
        EXPECT_EQ(modal->windowTitle(), "PC Buffer Setting");
        modal->findChild<QLineEdit*>("201")->setText(QString::fromStdString(chosen));
        modal->findChild<QLineEdit*>("203")->setText("12");
        AnswerBox(create, QMessageBox::Ok);
        modal->findChild<QPushButton*>("1")->click();
    });
    EXPECT_EQ(remote->Initialize(&owner, nullptr, &port, &buffer), 0);

    EXPECT_EQ(prompt.title.toStdString(), longTitle.substr(0, 63));
    EXPECT_TRUE(prompt.text.startsWith("You have to set items for the PC buffer"));
    EXPECT_EQ(prompt.icon, QMessageBox::Warning);
    EXPECT_TRUE(prompt.hasCancel);
    EXPECT_EQ(create.text, "The specified folder does not exist.\nDo you approve of making the folder ?");
    const BufferSettings* now = remote->GetBufferSettings();
    ASSERT_NE(now->Folder, nullptr);
    EXPECT_EQ(std::string(now->Folder), chosen);
    EXPECT_EQ(now->MaxBlocks, 12);
}

TEST_F(ThroughCommlib, CancelInThePromptRefusesInitialize) {
    testing_util::TempDir dir;
    const std::string missing = dir.file("gone");
    const BufferSettings buffer{missing.c_str(), 10, 1, 0};
    Shown prompt;
    AnswerBox(prompt, QMessageBox::Cancel);
    EXPECT_EQ(remote->Initialize(nullptr, nullptr, nullptr, &buffer), -1);
    EXPECT_EQ(prompt.title, "");  // no owner, no caption
    EXPECT_EQ(prompt.icon, QMessageBox::Warning);
}

TEST_F(ThroughCommlib, CancelledBufferDialogRefusesInitialize) {
    testing_util::TempDir dir;
    const std::string missing = dir.file("gone");
    const BufferSettings buffer{missing.c_str(), 10, 1, 0};
    Shown prompt;
    AnswerBox(prompt, QMessageBox::Ok);
    OnNextModal([](QWidget* modal) { modal->findChild<QPushButton*>("2")->click(); });
    EXPECT_EQ(remote->Initialize(nullptr, nullptr, nullptr, &buffer), -1);
    EXPECT_EQ(std::string(remote->GetBufferSettings()->Folder), missing);
}

TEST_F(ThroughCommlib, PortDialogOkReachesTheSettings) {
    const PortSettings port{"COM2", 38400, 0, 0};
    ASSERT_EQ(remote->Initialize(nullptr, nullptr, &port, nullptr), 0);
    OnNextModal([](QWidget* modal) {
        modal->findChild<QComboBox*>("101")->setCurrentText("COM5");
        modal->findChild<QComboBox*>("103")->setCurrentIndex(1);  // "Even"
        modal->findChild<QComboBox*>("104")->setCurrentIndex(1);  // "Enable"
        modal->findChild<QPushButton*>("1")->click();
    });
    EXPECT_EQ(remote->PortSettingDialog(), 1);
    const PortSettings* now = remote->GetPortSettings();
    EXPECT_STREQ(now->Port, "COM5");
    EXPECT_EQ(now->Speed, 38400);
    EXPECT_EQ(now->Parity, 2);
    EXPECT_EQ(now->XControl, 1);

    // Cancel leaves them.
    OnNextModal([](QWidget* modal) {
        modal->findChild<QComboBox*>("103")->setCurrentIndex(0);
        modal->findChild<QPushButton*>("2")->click();
    });
    EXPECT_EQ(remote->PortSettingDialog(), 0);
    EXPECT_EQ(remote->GetPortSettings()->Parity, 2);
}

TEST_F(ThroughCommlib, BufferDialogWithoutAFolderEditsTheTextOnly) {
    testing_util::TempDir dir;
    ASSERT_EQ(remote->Initialize(nullptr, nullptr, nullptr, nullptr), 0);
    OnNextModal([&](QWidget* modal) {
        modal->findChild<QLineEdit*>("201")->setText(QString::fromStdString(dir.path()));
        modal->findChild<QLineEdit*>("203")->setText("7");
        modal->findChild<QPushButton*>("1")->click();
    });
    EXPECT_EQ(remote->BufferSettingDialog(), 1);
    EXPECT_EQ(remote->GetBufferSettings()->Folder, nullptr);  // switched on only by Initialize
    EXPECT_EQ(remote->GetBufferSettings()->MaxBlocks, 7);
}

TEST(WarningBox, ButtonsSpeakTheDialogsLanguage) {
    testing_qt::LocaleVar all("LC_ALL", "ja_JP.UTF-8");
    const auto box = MakeWarningBox(nullptr, "ZAMVEX-3", "text", true);
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    EXPECT_EQ(box->windowTitle(), "ZAMVEX-3");
    EXPECT_EQ(box->button(QMessageBox::Cancel)->text(), QString::fromUtf8("キャンセル"));
    EXPECT_EQ(box->button(QMessageBox::Ok)->text(), "OK");
    EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Ok));
    const auto single = MakeWarningBox(nullptr, "c", "t", false);
    EXPECT_EQ(single->button(QMessageBox::Cancel), nullptr);
}

}  // namespace
}  // namespace commlib::ui
