// The PC buffer dialog on the offscreen platform: every check of OK with its
// message, the folder chain it offers to create, the folder chooser, and that
// nothing changes unless OK gets through.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>
#include <cstring>
#include <vector>

#include "buffer_setting_dialog.h"
#include "offscreen_app.h"
#include "testing/temp_dir.h"
#include "warning_box.h"

namespace commlib::ui {
namespace {

using testing_qt::EnglishLocale;

struct Box {
    QString caption, text;
    bool okCancel;
};
std::vector<Box> boxes;
bool answer = true;  // what the user clicks in an OK/Cancel box
bool RecordBox(QWidget*, const QString& caption, const QString& text, bool okCancel) {
    boxes.push_back({caption, text, okCancel});
    return answer;
}

QString chooserTitle, chooserStart, chooserAnswer;
QString FakeChooser(QWidget*, const QString& title, const QString& start) {
    chooserTitle = title;
    chooserStart = start;
    return chooserAnswer;
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

const QString BadMaxBlocks =
    "The value of max. block is invalid.\nSpecify it with the integer of the range of 1 to 1024.";
const QString NotAFolder = "The specified path does not point at folder.";

class BufferDialog : public ::testing::Test {
protected:
    EnglishLocale english;
    testing_util::TempDir dir;
    CommlibUiBuffer settings{};
    CommlibUiBuffer before{};
    std::unique_ptr<BufferSettingDialog> dialog;

    void SetUp() override {
        boxes.clear();
        answer = true;
        SetWarningFn(RecordBox);
        SetFolderChooserFn(FakeChooser);
        std::strcpy(settings.Folder, "/somewhere/old");
        settings.MaxBlocks = 10;
        settings.Warn = 1;
        settings.Ring = 0;
        before = settings;
        dialog = std::make_unique<BufferSettingDialog>(settings);
        ASSERT_TRUE(dialog->Create(BufferSettingDialog::Template, nullptr));
    }
    void TearDown() override {
        dialog.reset();
        SetWarningFn(nullptr);
        SetFolderChooserFn(nullptr);
    }
    template <class W>
    W* Control(int id) {
        return dialog->Window()->findChild<W*>(QString::number(id));
    }
    QLineEdit* Folder() { return Control<QLineEdit>(201); }
    QLineEdit* MaxBlocks() { return Control<QLineEdit>(203); }
    void Type(const std::string& path, const QString& blocks = "10") {
        Folder()->setText(QString::fromStdString(path));
        MaxBlocks()->setText(blocks);
    }
    void Ok() { Control<QPushButton>(1)->click(); }
    // The dialog is still open and the settings are as they were.
    void ExpectRefusedWith(const QString& text) {
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, text);
        EXPECT_EQ(boxes[0].caption, "PC Buffer Setting");
        EXPECT_FALSE(boxes[0].okCancel);
        EXPECT_EQ(dialog->Result(), -1);
        EXPECT_NE(dialog->Window(), nullptr);
        EXPECT_EQ(std::memcmp(&settings, &before, sizeof settings), 0);
    }
};

TEST_F(BufferDialog, ShowsTheSettingsAndLimitsTheBlockField) {
    EXPECT_EQ(Folder()->text(), "/somewhere/old");
    EXPECT_EQ(MaxBlocks()->text(), "10");
    EXPECT_EQ(MaxBlocks()->maxLength(), 4);
    EXPECT_TRUE(Control<QCheckBox>(204)->isChecked());
    EXPECT_FALSE(Control<QCheckBox>(205)->isChecked());
    EXPECT_EQ(dialog->Window()->windowTitle(), "PC Buffer Setting");
    EXPECT_EQ(Control<QCheckBox>(205)->text(), "Use as &ring buffer");
    // Only digits can be typed.
    int pos = 0;
    QString letters = "1a";
    EXPECT_EQ(MaxBlocks()->validator()->validate(letters, pos), QValidator::Invalid);
}

TEST_F(BufferDialog, RootIsRefusedWithString13) {
    Type("/");
    Ok();
    ExpectRefusedWith("Cannot specify root directory as the location to store.");
    boxes.clear();
    Type(dir.path() + "/../../../../../../..");  // resolves to the root as well
    Ok();
    ExpectRefusedWith("Cannot specify root directory as the location to store.");
    EXPECT_EQ(Folder()->text(), "/");  // the full path goes back into the field
}

TEST_F(BufferDialog, MaxBlocksOutsideOneTo1024IsRefusedWithString7) {
    for (const QString& blocks : {QString("0"), QString("1025"), QString(""), QString("9999")}) {
        boxes.clear();
        Type(dir.path(), blocks);
        Ok();
        ExpectRefusedWith(BadMaxBlocks);
    }
    for (const QString& blocks : {QString("1"), QString("1024")}) {
        BufferSettingDialog again(settings);
        ASSERT_TRUE(again.Create(BufferSettingDialog::Template, nullptr));
        again.Window()->findChild<QLineEdit*>("201")->setText(QString::fromStdString(dir.path()));
        again.Window()->findChild<QLineEdit*>("203")->setText(blocks);
        again.Window()->findChild<QPushButton*>("1")->click();
        EXPECT_EQ(again.Result(), 1);
        EXPECT_EQ(settings.MaxBlocks, blocks.toInt());
    }
}

TEST_F(BufferDialog, APathAtOrBelowAFileIsRefusedWithString9) {
    testing_util::write_file(dir.file("plain"), "x");
    Type(dir.file("plain") + "/below/deeper");
    Ok();
    ExpectRefusedWith(NotAFolder);
    boxes.clear();
    Type(dir.file("plain"));
    Ok();
    ExpectRefusedWith(NotAFolder);
}

TEST_F(BufferDialog, EmptyLocationIsRefusedWithString12) {
    Type("");
    Ok();
    ExpectRefusedWith("The value of the location to store is invalid. Specify properly a value again.");
    boxes.clear();
    Type("/" + std::string(300, 'a'));  // longer than a location may be
    Ok();
    ExpectRefusedWith("The value of the location to store is invalid. Specify properly a value again.");
}

TEST_F(BufferDialog, ChecksComeInOrder) {
    Type("/", "0");  // both wrong: the location is judged first
    Ok();
    ExpectRefusedWith("Cannot specify root directory as the location to store.");
}

TEST_F(BufferDialog, AMissingChainIsCreatedAfterOk) {
    const std::string chain = dir.file("a/b/c");
    Type(chain, "25");
    Control<QCheckBox>(204)->setChecked(false);
    Control<QCheckBox>(205)->setChecked(true);
    Ok();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "The specified folder does not exist.\nDo you approve of making the folder ?");
    EXPECT_TRUE(boxes[0].okCancel);
    EXPECT_EQ(boxes[0].caption, "PC Buffer Setting");
    EXPECT_TRUE(IsFolder(chain));
    EXPECT_EQ(dialog->Result(), 1);
    EXPECT_STREQ(settings.Folder, chain.c_str());
    EXPECT_EQ(settings.MaxBlocks, 25);
    EXPECT_EQ(settings.Warn, 0);
    EXPECT_EQ(settings.Ring, 1);
}

TEST_F(BufferDialog, AMissingChainIsLeftAloneAfterCancel) {
    answer = false;
    Type(dir.file("a/b/c"));
    Ok();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].okCancel);
    EXPECT_FALSE(IsFolder(dir.file("a")));
    EXPECT_EQ(dialog->Result(), -1);
    EXPECT_NE(dialog->Window(), nullptr);
    EXPECT_EQ(std::memcmp(&settings, &before, sizeof settings), 0);
}

TEST_F(BufferDialog, AFolderThatCannotBeMadeIsRefusedWithString10) {
    // /proc takes no folders, whoever asks.
    Type("/proc/zamvex-no-such-folder/buffer");
    Ok();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_TRUE(boxes[0].okCancel);
    EXPECT_EQ(boxes[1].text, "The specified folder cannot be made.");
    EXPECT_EQ(dialog->Result(), -1);
    EXPECT_EQ(std::memcmp(&settings, &before, sizeof settings), 0);
}

TEST_F(BufferDialog, ARelativeLocationIsMadeFullFromTheCurrentFolder) {
    char cwd[4096];
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(::chdir(dir.path().c_str()), 0);
    ::mkdir(dir.file("x").c_str(), 0700);
    Type("./x/../x/", "3");
    Ok();
    const int back = ::chdir(cwd);
    EXPECT_EQ(back, 0);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(dialog->Result(), 1);
    EXPECT_STREQ(settings.Folder, dir.file("x").c_str());
}

TEST_F(BufferDialog, CancelChangesNothingEvenAfterEdits) {
    Type(dir.file("new"), "99");
    Control<QCheckBox>(205)->setChecked(true);
    Control<QPushButton>(2)->click();
    EXPECT_EQ(dialog->Result(), 0);
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(IsFolder(dir.file("new")));
    EXPECT_EQ(std::memcmp(&settings, &before, sizeof settings), 0);
}

TEST_F(BufferDialog, FolderChooserStartsAtTheTypedFolderAndFillsTheField) {
    dialog->Window()->show();
    Folder()->setText("/typed/here");
    chooserAnswer = QString::fromStdString(dir.path());
    Control<QPushButton>(202)->click();
    EXPECT_EQ(chooserTitle, "Choose a folder to store the buffer file.");
    EXPECT_EQ(chooserStart, "/typed/here");
    EXPECT_EQ(Folder()->text(), QString::fromStdString(dir.path()));
    EXPECT_EQ(dialog->Result(), -1);  // choosing does not end the dialog
    chooserAnswer.clear();            // cancelled: the text stays
    Control<QPushButton>(202)->click();
    EXPECT_EQ(Folder()->text(), QString::fromStdString(dir.path()));
}

TEST_F(BufferDialog, TheRealFolderChooserOpensAtTheTypedFolder) {
    SetFolderChooserFn(nullptr);
    ::mkdir(dir.file("start").c_str(), 0700);
    ::mkdir(dir.file("start/picked").c_str(), 0700);
    dialog->Window()->show();
    Folder()->setText(QString::fromStdString(dir.file("start")));
    QString title, opened;
    testing_qt::OnNextModal([&](QWidget* modal) {
        auto* chooser = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(chooser, nullptr);
        title = chooser->windowTitle();
        opened = chooser->directory().absolutePath();
        chooser->selectFile(QString::fromStdString(dir.file("start/picked")));
        static_cast<QDialog*>(chooser)->accept();  // what its Choose button does
    });
    Control<QPushButton>(202)->click();
    EXPECT_EQ(title, "Choose a folder to store the buffer file.");
    EXPECT_EQ(opened, QString::fromStdString(dir.file("start")));
    EXPECT_EQ(Folder()->text(), QString::fromStdString(dir.file("start/picked")));
}

}  // namespace
}  // namespace commlib::ui
