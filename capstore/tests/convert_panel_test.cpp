// Reading the conversion panel: replacement rules, the output folder test
// with its messages, creation of a missing chain, and the file prefix.
#include <gtest/gtest.h>

#include <cstring>

#include <unistd.h>
#include <filesystem>

#include "convert/convert_controller.h"
#include "convert/panel_values.h"
#include "convert/save_folder.h"
#include "testing/temp_dir.h"

namespace capstore {
namespace {

namespace fs = std::filesystem;

struct Recorded {
    std::vector<std::pair<int, std::string>> shown;
    std::vector<int> captions;
    int asked = 0;
    bool answer = true;
    FolderQuestions questions() {
        return {[this](int m, const std::string& p, int caption) {
                    shown.emplace_back(m, p);
                    captions.push_back(caption);
                },
                [this](int m, const std::string& p, int caption) {
                    EXPECT_EQ(m, 21);
                    EXPECT_EQ(caption, 502);
                    shown.emplace_back(m, p);
                    ++asked;
                    return answer;
                }};
    }
};

TEST(PanelValuesTest, ZerosAndOutOfRangeNumbersAreReplacedAndWrittenBack) {
    ConvertOptions o{};
    PanelValues v;
    v.start = "0";
    v.blocks = "x";
    v.max_lines = "";
    v.format = 1;
    v.width = "300";
    v.delimit = "0123456789abcdefgh";
    read_panel(v, o);
    EXPECT_EQ(o.Start, 1);
    EXPECT_EQ(v.start, "1");
    EXPECT_EQ(o.Blocks, 1);
    EXPECT_EQ(o.MaxLines, 1);
    EXPECT_EQ(v.max_lines, "1");
    EXPECT_EQ(o.Width, 256);
    EXPECT_EQ(v.width, "256");
    EXPECT_STREQ(o.Delimit, "0123456789abcde");
    v.width = "0";
    read_panel(v, o);
    EXPECT_EQ(o.Width, 1);
}

TEST(PanelValuesTest, OnlyTheChosenPageIsRead) {
    ConvertOptions o{};
    o.PrintData = PrintDataHex;
    o.LineStateCut = 1;
    PanelValues csv = panel_from_options(o);
    csv.format = 1;
    csv.print_data = 1;
    csv.line_state = true;
    csv.csv_data = 1;
    read_panel(csv, o);
    EXPECT_EQ(o.PrintData, PrintDataHex);  // print page kept as stored
    EXPECT_EQ(o.LineStateCut, 1);
    EXPECT_EQ(o.CsvData, CsvDataDec);

    PanelValues print = panel_from_options(o);
    print.format = 0;
    print.line_state = true;
    print.translate = true;
    print.csv_data = 0;
    const signed char states[8] = {6, 2, -1, -1, -1, -1, -1, -1};
    std::memcpy(print.include, states, 8);
    read_panel(print, o);
    EXPECT_EQ(o.CsvData, CsvDataDec);
    EXPECT_EQ(o.LineStateCut, 0);
    EXPECT_EQ(o.PrintFormat, PrintFormatTranslate);
    EXPECT_EQ(0, std::memcmp(o.DisplayLineState, states, 8));
}

TEST(SaveFolderTest, RootAndBadPathsAreRefused) {
    Recorded r;
    EXPECT_FALSE(check_save_folder("/", false, r.questions()).valid);
    EXPECT_FALSE(check_save_folder("///", false, r.questions()).valid);
    EXPECT_FALSE(check_save_folder("", false, r.questions()).valid);
    EXPECT_FALSE(check_save_folder("/" + std::string(300, 'a'), false, r.questions()).valid);
    ASSERT_EQ(r.shown.size(), 4u);
    EXPECT_EQ(r.shown[0], (std::pair<int, std::string>{34, "/"}));
    EXPECT_EQ(r.shown[1].first, 34);
    EXPECT_EQ(r.shown[2].first, 33);
    EXPECT_EQ(r.shown[3].first, 33);
}

TEST(SaveFolderTest, ExistingFolderIsMadeFullAndAFileIsRefused) {
    testing_util::TempDir dir;
    Recorded r;
    const FolderCheck ok = check_save_folder(dir.path() + "/./", false, r.questions());
    EXPECT_TRUE(ok.valid);
    EXPECT_EQ(ok.full_path, dir.path());
    testing_util::write_file(dir.file("plain"), std::vector<std::uint8_t>{1});
    EXPECT_FALSE(check_save_folder(dir.file("plain"), false, r.questions()).valid);
    EXPECT_FALSE(check_save_folder(dir.file("plain/below/more"), false, r.questions()).valid);
    ASSERT_EQ(r.shown.size(), 2u);
    EXPECT_EQ(r.shown[0], (std::pair<int, std::string>{22, dir.file("plain")}));
    EXPECT_EQ(r.shown[1], (std::pair<int, std::string>{22, dir.file("plain/below/more")}));
    EXPECT_EQ(r.asked, 0);
}

TEST(SaveFolderTest, MissingChainIsCreatedAfterOneQuestion) {
    testing_util::TempDir dir;
    Recorded r;
    const std::string target = dir.file("one/two");
    r.answer = false;
    EXPECT_FALSE(check_save_folder(target, false, r.questions()).valid);
    EXPECT_FALSE(fs::exists(dir.file("one")));
    EXPECT_FALSE(check_save_folder(target, true, r.questions()).valid);  // silent: no question, nothing made
    EXPECT_EQ(r.asked, 1);
    r.answer = true;
    EXPECT_TRUE(check_save_folder(target, false, r.questions()).valid);
    EXPECT_EQ(r.asked, 2);
    EXPECT_TRUE(fs::is_directory(target));
    EXPECT_EQ(r.shown.size(), 2u);  // the two questions only
}

TEST(SaveFolderTest, AccessDeniedAndCreationFailure) {
    if (geteuid() == 0) GTEST_SKIP() << "permissions are not enforced for root";
    testing_util::TempDir dir;
    fs::create_directories(dir.file("locked/inner"));
    fs::permissions(dir.file("locked"), fs::perms::none);
    Recorded r;
    EXPECT_FALSE(check_save_folder(dir.file("locked/inner"), false, r.questions()).valid);
    EXPECT_FALSE(check_save_folder(dir.file("locked/new/deeper"), false, r.questions()).valid);
    fs::permissions(dir.file("locked"), fs::perms::owner_all);
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(check_save_folder(dir.file("cannot"), false, r.questions()).valid);
    fs::permissions(dir.path(), fs::perms::owner_all);
    ASSERT_EQ(r.shown.size(), 4u);
    EXPECT_EQ(r.shown[0].first, 35);
    EXPECT_EQ(r.shown[1].first, 35);
    EXPECT_EQ(r.shown[2].first, 21);
    EXPECT_EQ(r.shown[3].first, 23);
    EXPECT_EQ(r.captions.back(), 502);
}

TEST(FilePrefixTest, LocalTimeDigits) {
    std::tm t{};
    t.tm_year = 2024 - 1900;
    t.tm_mon = 0;
    t.tm_mday = 5;
    t.tm_hour = 7;
    t.tm_min = 8;
    t.tm_sec = 9;
    EXPECT_EQ(file_prefix(t), "MK_20240105_070809_");
}

}  // namespace
}  // namespace capstore
