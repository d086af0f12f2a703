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
bool recordBox(QWidget*, const QString& caption, const QString& text, bool okCancel) {
    boxes.push_back({caption, text, okCancel});
    return answer;
}

QString chooserTitle, chooserStart, chooserAnswer;
QString fakeChooser(QWidget*, const QString& title, const QString& start) {
    chooserTitle = title;
    chooserStart = start;
    return chooserAnswer;
}

bool isFolder(const std::string& path) {
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
        setWarningFn(recordBox);
        setFolderChooserFn(fakeChooser);
        std::strcpy(settings.Folder, "/somewhere/old");
        settings.MaxBlocks = 10;
        settings.Warn = 1;
        settings.Ring = 0;
        before = settings;
        dialog = std::make_unique<BufferSettingDialog>(settings);
        ASSERT_TRUE(dialog->create(BufferSettingDialog::Template, nullptr));
    }
    void TearDown() override {
        dialog.reset();
        setWarningFn(nullptr);
        setFolderChooserFn(nullptr);
    }
    template <class W>
    W* control(int id) {
        return dialog->window()->findChild<W*>(QString::number(id));
    }
    QLineEdit* folder() { return control<QLineEdit>(201); }
    QLineEdit* maxBlocks() { return control<QLineEdit>(203); }
    void type(const std::string& path, const QString& blocks = "10") {
        folder()->setText(QString::fromStdString(path));
        maxBlocks()->setText(blocks);
    }
    void ok() { control<QPushButton>(1)->click(); }
    // The dialog is still open and the settings are as they were.
    void expectRefusedWith(const QString& text) {
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, text);
        EXPECT_EQ(boxes[0].caption, "PC Buffer Setting");
        EXPECT_FALSE(boxes[0].okCancel);
        EXPECT_EQ(dialog->result(), -1);
        EXPECT_NE(dialog->window(), nullptr);
        EXPECT_EQ(std::memcmp(&settings, &before, sizeof settings), 0);
    }
};

TEST_F(BufferDialog, ShowsTheSettingsAndLimitsTheBlockField) {
    EXPECT_EQ(folder()->text(), "/somewhere/old");
    EXPECT_EQ(maxBlocks()->text(), "10");
    EXPECT_EQ(maxBlocks()->maxLength(), 4);
    EXPECT_TRUE(control<QCheckBox>(204)->isChecked());
    EXPECT_FALSE(control<QCheckBox>(205)->isChecked());
    EXPECT_EQ(dialog->window()->windowTitle(), "PC Buffer Setting");
    EXPECT_EQ(control<QCheckBox>(205)->text(), "Use as &ring buffer");
    // Only digits can be typed.
    int pos = 0;
    QString letters = "1a";
    EXPECT_EQ(maxBlocks()->validator()->validate(letters, pos), QValidator::Invalid);
}

TEST_F(BufferDialog, RootIsRefusedWithString13) {
    type("/");
    ok();
    expectRefusedWith("Cannot specify root directory as the location to store.");
    boxes.clear();
    type(dir.path() + "/../../../../../../..");  // resolves to the root as well
    ok();
    expectRefusedWith("Cannot specify root directory as the location to store.");
    EXPECT_EQ(folder()->text(), "/");  // the full path goes back into the field
}

TEST_F(BufferDialog, MaxBlocksOutsideOneTo1024IsRefusedWithString7) {
    for (const QString& blocks : {QString("0"), QString("1025"), QString(""), QString("9999")}) {
        boxes.clear();
        type(dir.path(), blocks);
        ok();
        expectRefusedWith(BadMaxBlocks);
    }
    for (const QString& blocks : {QString("1"), QString("1024")}) {
        BufferSettingDialog again(settings);
        ASSERT_TRUE(again.create(BufferSettingDialog::Template, nullptr));
        again.window()->findChild<QLineEdit*>("201")->setText(QString::fromStdString(dir.path()));
        again.window()->findChild<QLineEdit*>("203")->setText(blocks);
        again.window()->findChild<QPushButton*>("1")->click();
        EXPECT_EQ(again.result(), 1);
        EXPECT_EQ(settings.MaxBlocks, blocks.toInt());
    }
}

TEST_F(BufferDialog, APathAtOrBelowAFileIsRefusedWithString9) {
    testing_util::write_file(dir.file("plain"), "x");
    type(dir.file("plain") + "/below/deeper");
    ok();
    expectRefusedWith(NotAFolder);
    boxes.clear();
    type(dir.file("plain"));
    ok();
    expectRefusedWith(NotAFolder);
}

TEST_F(BufferDialog, EmptyLocationIsRefusedWithString12) {
    type("");
    ok();
    expectRefusedWith("The value of the location to store is invalid. Specify properly a value again.");
    boxes.clear();
    type("/" + std::string(300, 'a'));  // longer than a location may be
    ok();
    expectRefusedWith("The value of the location to store is invalid. Specify properly a value again.");
}

TEST_F(BufferDialog, ChecksComeInOrder) {
    type("/", "0");  // both wrong: the location is judged first
    ok();
    expectRefusedWith("Cannot specify root directory as the location to store.");
}

TEST_F(BufferDialog, AMissingChainIsCreatedAfterOk) {
    const std::string chain = dir.file("a/b/c");
    type(chain, "25");
    control<QCheckBox>(204)->setChecked(false);
    control<QCheckBox>(205)->setChecked(true);
    ok();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "The specified folder does not exist.\nDo you approve of making the folder ?");
    EXPECT_TRUE(boxes[0].okCancel);
    EXPECT_EQ(boxes[0].caption, "PC Buffer Setting");
    EXPECT_TRUE(isFolder(chain));
    EXPECT_EQ(dialog->result(), 1);
    EXPECT_STREQ(settings.Folder, chain.c_str());
    EXPECT_EQ(settings.MaxBlocks, 25);
    EXPECT_EQ(settings.Warn, 0);
    EXPECT_EQ(settings.Ring, 1);
}

TEST_F(BufferDialog, AMissingChainIsLeftAloneAfterCancel) {
    answer = false;
    type(dir.file("a/b/c"));
    ok();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].okCancel);
    EXPECT_FALSE(isFolder(dir.file("a")));
    EXPECT_EQ(dialog->result(), -1);
    EXPECT_NE(dialog->window(), nullptr);
    EXPECT_EQ(std::memcmp(&settings, &before, sizeof settings), 0);
}

TEST_F(BufferDialog, AFolderThatCannotBeMadeIsRefusedWithString10) {
    // /proc takes no folders, whoever asks.
    type("/proc/zamvex-no-such-folder/buffer");
    ok();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_TRUE(boxes[0].okCancel);
    EXPECT_EQ(boxes[1].text, "The specified folder cannot be made.");
    EXPECT_EQ(dialog->result(), -1);
    EXPECT_EQ(std::memcmp(&settings, &before, sizeof settings), 0);
}

TEST_F(BufferDialog, ARelativeLocationIsMadeFullFromTheCurrentFolder) {
    char cwd[4096];
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(::chdir(dir.path().c_str()), 0);
    ::mkdir(dir.file("x").c_str(), 0700);
    type("./x/../x/", "3");
    ok();
    const int back = ::chdir(cwd);
    EXPECT_EQ(back, 0);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(dialog->result(), 1);
    EXPECT_STREQ(settings.Folder, dir.file("x").c_str());
}

TEST_F(BufferDialog, CancelChangesNothingEvenAfterEdits) {
    type(dir.file("new"), "99");
    control<QCheckBox>(205)->setChecked(true);
    control<QPushButton>(2)->click();
    EXPECT_EQ(dialog->result(), 0);
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(isFolder(dir.file("new")));
    EXPECT_EQ(std::memcmp(&settings, &before, sizeof settings), 0);
}

TEST_F(BufferDialog, FolderChooserStartsAtTheTypedFolderAndFillsTheField) {
    dialog->window()->show();
    folder()->setText("/typed/here");
    chooserAnswer = QString::fromStdString(dir.path());
    control<QPushButton>(202)->click();
    EXPECT_EQ(chooserTitle, "Choose a folder to store the buffer file.");
    EXPECT_EQ(chooserStart, "/typed/here");
    EXPECT_EQ(folder()->text(), QString::fromStdString(dir.path()));
    EXPECT_EQ(dialog->result(), -1);  // choosing does not end the dialog
    chooserAnswer.clear();            // cancelled: the text stays
    control<QPushButton>(202)->click();
    EXPECT_EQ(folder()->text(), QString::fromStdString(dir.path()));
}

TEST_F(BufferDialog, TheRealFolderChooserOpensAtTheTypedFolder) {
    setFolderChooserFn(nullptr);
    ::mkdir(dir.file("start").c_str(), 0700);
    ::mkdir(dir.file("start/picked").c_str(), 0700);
    dialog->window()->show();
    folder()->setText(QString::fromStdString(dir.file("start")));
    QString title, opened;
    testing_qt::onNextModal([&](QWidget* modal) {
        auto* chooser = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(chooser, nullptr);
        title = chooser->windowTitle();
        opened = chooser->directory().absolutePath();
        chooser->selectFile(QString::fromStdString(dir.file("start/picked")));
        static_cast<QDialog*>(chooser)->accept();  // what its Choose button does
    });
    control<QPushButton>(202)->click();
    EXPECT_EQ(title, "Choose a folder to store the buffer file.");
    EXPECT_EQ(opened, QString::fromStdString(dir.file("start")));
    EXPECT_EQ(folder()->text(), QString::fromStdString(dir.file("start/picked")));
}

}  // namespace
}  // namespace commlib::ui
