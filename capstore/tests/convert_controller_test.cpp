// The conversion run against a fake conversion object: options stored at
// the start, Open and Start failures, progress, the end codes, stop, the
// buttons around it, and "Delete text".
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "app/notify_codes.h"
#include "convert/convert_controller.h"
#include "fakes.h"
#include "testing/temp_dir.h"

namespace capstore {
namespace {

namespace fs = std::filesystem;

class FakeConvert : public TextConvert {
public:
    bool open_result = true, start_result = true;
    std::string opened, prefix;
    unsigned message = 0;
    ConvertOptions started{};
    int closes = 0, stops = 0, starts = 0;

    bool Open(const char* path, TextWindow*, TextThread*, unsigned m) override {
        opened = path;
        message = m;
        return open_result;
    }
    void Close() override { ++closes; }
    bool Start(const ConvertOptions* o, const char* p) override {
        ++starts;
        started = *o;
        prefix = p;
        return start_result;
    }
    void Stop() override { ++stops; }
    ~FakeConvert() override = default;

protected:
    int PrintNormal() override { return 0; }
    int PrintNormalLineState() override { return 0; }
    int PrintControlSequence() override { return 0; }
    int PrintFrames() override { return 0; }
    int PrintPackets() override { return 0; }
    int PrintPpp() override { return 0; }
    int CsvData() override { return 0; }
    int CsvFrames() override { return 0; }
};

class FakePanel : public ConvertView {
public:
    PanelValues values;
    bool enabled = true;
    PanelValues panel() const override { return values; }
    void load_panel(const PanelValues& v) override { values = v; }
    void set_panel_enabled(bool on) override { enabled = on; }
};

class ConvertControllerTest : public ::testing::Test {
protected:
    testing_util::TempDir dir;
    testing::FakeRemote remote;
    testing::RecordingView view;
    std::atomic<unsigned> posts{0};
    FakeConvert convert;
    FakePanel panel;
    std::vector<ConvertOptions> stored;
    std::vector<std::string> trashed;
    std::unique_ptr<MainController> main;
    std::unique_ptr<ConvertController> c;

    void SetUp() override {
        main = std::make_unique<MainController>(remote, view, Language::English, posts, MainHooks{});
        BufferSettings buffer{"/buffer", 10, 1, 0};
        main->start(buffer);
        ConvertHooks hooks;
        hooks.store = [this](const ConvertOptions& o) { stored.push_back(o); };
        hooks.trash = [this](const std::string& f) {
            trashed.push_back(f);
            return true;
        };
        hooks.now = [] {
            std::tm t{};
            t.tm_year = 126;
            t.tm_mon = 11;
            t.tm_mday = 7;
            t.tm_hour = 23;
            t.tm_min = 5;
            t.tm_sec = 1;
            return t;
        };
        c = std::make_unique<ConvertController>(convert, *main, view, panel, hooks);
        ConvertOptions o{};
        std::strcpy(o.SavePath, dir.path().c_str());
        o.Start = 0;
        o.Blocks = 3;
        o.MaxLines = 100;
        o.Width = 16;
        std::memset(o.DisplayLineState, -1, 8);
        c->load(o);
        blocks(3);
    }
    void blocks(int count) {
        int values[3] = {0, count, count};
        main->on_notification(PackNotification(0, NtfyBlocks), reinterpret_cast<std::intptr_t>(values));
    }
    void finished(int code) { c->on_notification(static_cast<std::uintptr_t>(code) << 16); }
};

TEST_F(ConvertControllerTest, RunStoresOptionsShowsProgressAndEnds) {
    c->on_start();
    EXPECT_EQ(convert.opened, "/buffer");
    EXPECT_EQ(convert.message, kConvertMessage);
    EXPECT_EQ(convert.prefix, "MK_20261207_230501_");
    EXPECT_EQ(convert.started.Start, 1);  // 0 became 1
    EXPECT_EQ(panel.values.start, "1");
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_STREQ(stored[0].SavePath, dir.path().c_str());
    EXPECT_TRUE(main->state().converting);
    EXPECT_FALSE(panel.enabled);
    EXPECT_EQ(view.convert_speed, 40);
    EXPECT_FALSE(view.enabled[id::kStartMeasure]);
    EXPECT_TRUE(view.shown[id::kStopConvert]);

    c->on_notification((std::uintptr_t{2} << 16) | kConvertProgress);
    EXPECT_EQ(view.texts[id::kProgress], "2");
    finished(kConvertDone);
    EXPECT_EQ(convert.closes, 1);
    EXPECT_EQ(view.convert_speed, -1);
    EXPECT_EQ(view.texts[id::kProgress], "0");
    EXPECT_FALSE(main->state().converting);
    EXPECT_TRUE(panel.enabled);
    EXPECT_TRUE(view.enabled[id::kStartMeasure]);
    EXPECT_TRUE(view.messages.empty());
}

TEST_F(ConvertControllerTest, StopEndsWithoutMessageAndFailuresShowMessage32) {
    c->on_start();
    c->on_stop();
    EXPECT_EQ(convert.stops, 1);
    finished(kConvertCancelled);
    EXPECT_TRUE(view.messages.empty());
    c->on_start();
    finished(kConvertNoOutput);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, "An error occurred during converting process.");
    c->on_start();
    finished(kConvertFailed);
    EXPECT_EQ(view.messages.size(), 2u);
}

TEST_F(ConvertControllerTest, OpenAndStartFailures) {
    convert.open_result = false;
    c->on_start();
    EXPECT_EQ(view.messages.back().text, "The PC buffer files do not exist, or the data of their are wrong.");
    EXPECT_EQ(convert.starts, 0);
    EXPECT_FALSE(main->state().converting);
    convert.open_result = true;
    convert.start_result = false;
    c->on_start();
    EXPECT_EQ(convert.closes, 1);
    EXPECT_FALSE(main->state().converting);
    EXPECT_TRUE(panel.enabled);
    EXPECT_EQ(view.messages.back().text, "An error occurred during converting process.");
}

TEST_F(ConvertControllerTest, RefusedFolderStopsTheRunButKeepsTheOtherFields) {
    panel.values.save_path = "/";
    panel.values.max_lines = "0";
    c->on_start();
    EXPECT_EQ(convert.starts, 0);
    EXPECT_EQ(view.messages.back().text, "Cannot specify root directory as the location to store.");
    EXPECT_EQ(panel.values.max_lines, "1");
    EXPECT_TRUE(stored.empty());
    c->store_silently();  // at exit: the old folder, the new line count
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_STREQ(stored[0].SavePath, dir.path().c_str());
    EXPECT_EQ(stored[0].MaxLines, 1);
}

TEST_F(ConvertControllerTest, NoStartWithoutBlocks) {
    blocks(0);
    c->on_start();
    EXPECT_EQ(convert.starts, 0);
}

TEST_F(ConvertControllerTest, DeleteTextMovesOnlyTheFolderOwnTextFiles) {
    for (const char* name : {"a.txt", "B.TXT", "keep.csv", "sub/inner.txt"}) {
        fs::create_directories(fs::path(dir.file(name)).parent_path());
        testing_util::write_file(dir.file(name), std::vector<std::uint8_t>{'x'});
    }
    view.answers = {Answer::Cancel};
    c->on_delete_text();
    EXPECT_TRUE(trashed.empty());
    EXPECT_EQ(view.messages.back().caption, "Delete text files");
    EXPECT_EQ(view.messages.back().buttons, Buttons::OkCancel);
    EXPECT_NE(view.messages.back().text.find(dir.path()), std::string::npos);
    view.answers = {Answer::Ok};
    c->on_delete_text();
    std::sort(trashed.begin(), trashed.end());
    EXPECT_EQ(trashed, (std::vector<std::string>{dir.file("B.TXT"), dir.file("a.txt")}));

    panel.values.save_path = dir.file("missing");
    c->on_delete_text();
    EXPECT_EQ(view.messages.back().text, "The specified folder \"" + dir.file("missing") + "\" is not found.");
    panel.values.save_path = dir.file("keep.csv");
    c->on_delete_text();
    EXPECT_EQ(view.messages.back().text,
              "The specified path \"" + dir.file("keep.csv") + "\" does not point at folder.");
    EXPECT_EQ(trashed.size(), 2u);
}

}  // namespace
}  // namespace capstore
