// The line going away under a running `zamvex capture`, and ports that cannot
// be used, as a user meets them: the text on stderr, the exit code, how soon
// the command ends and which blocks are left on disk.
#include <gtest/gtest.h>

#include <filesystem>

#include "process_util.h"
#include "testing/temp_dir.h"

namespace cli_test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::vector<std::string> blocks_in(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        if (e.path().extension() == ".mkw" && e.path().filename() != "datainfo.mkw")
            names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(LinkFaults, UnpluggedMidCaptureEndsAtOnceAndKeepsTheBlocks) {
    testing_util::TempDir dir;
    Simulator sim({"--rate", "0"});
    const std::string buffer = dir.file("buffer");
    Background capture({"capture", "--port", sim.device(), "--folder", buffer, "--max-blocks", "50", "--seconds", "30"},
                       dir.file("out"), dir.file("err"));
    // Two whole blocks stored, the third on its way.
    ASSERT_TRUE(eventually([&] { return fs::exists(buffer + "/00000002.mkw"); }, 30s));
    sim.pull_plug();
    const auto pulled = Clock::now();
    const int code = capture.wait(20s);
    const auto took = Clock::now() - pulled;

    EXPECT_EQ(code, 1);
    const std::string err = read_text(dir.file("err"));
    EXPECT_TRUE(has(err, "zamvex capture: the serial port went away (unplugged?); the ")) << err;
    EXPECT_TRUE(has(err, " are kept in " + buffer)) << err;
    // Far sooner than any time-out: the hang-up itself ends the measurement.
    EXPECT_LT(took, 5s);
    const auto blocks = blocks_in(buffer);
    ASSERT_GE(blocks.size(), 3u);
    for (std::size_t i = 0; i + 1 < blocks.size(); ++i) EXPECT_EQ(fs::file_size(buffer + "/" + blocks[i]), 1u << 20);
    EXPECT_TRUE(fs::exists(buffer + "/datainfo.mkw"));
}

TEST(LinkFaults, ASilentAnalyzerIsNoticedByTheLinkSupervision) {
    testing_util::TempDir dir;
    // Goes dead well inside the measurement, without closing its line.
    Simulator sim({"--rate", "200", "--silent-after-frames", "400"});
    const std::string buffer = dir.file("buffer");
    const auto started = Clock::now();
    const Outcome r = zamvex({"capture", "--port", sim.device(), "--folder", buffer, "--seconds", "120"}, 60s);
    const auto took = Clock::now() - started;

    EXPECT_EQ(r.exit_code, 1);
    EXPECT_TRUE(has(r.err, "zamvex capture: the analyzer stopped answering")) << r.err;
    EXPECT_LT(took, 40s);  // not the 120 s asked for
    EXPECT_TRUE(fs::exists(buffer + "/datainfo.mkw"));
}

TEST(LinkFaults, PortsThatCannotBeUsedSayWhyAndWhatToDo) {
    const Outcome missing = zamvex({"screen", "--port", "/dev/zamvex-no-such-port"});
    EXPECT_EQ(missing.exit_code, 1);
    EXPECT_TRUE(has(missing.err,
                    "There is no serial device '/dev/zamvex-no-such-port' (No such file or directory). "
                    "Is the adapter plugged in?\n"))
        << missing.err;

    const Outcome not_serial = zamvex({"screen", "--port", "/dev/null"});
    EXPECT_EQ(not_serial.exit_code, 1);
    EXPECT_TRUE(has(not_serial.err, "'/dev/null' is not a serial device")) << not_serial.err;

    testing_util::TempDir dir;
    Simulator sim({});
    const Outcome speed = zamvex({"screen", "--port", sim.device(), "--speed", "12345"});
    EXPECT_EQ(speed.exit_code, 1);
    EXPECT_TRUE(has(speed.err, "' does not support 12345 baud.")) << speed.err;

    // A capture holds the port: the second program names it and its process.
    Background holder({"capture", "--port", sim.device(), "--folder", dir.file("buffer"), "--seconds", "30"},
                      dir.file("out"), dir.file("err"));
    ASSERT_TRUE(eventually([&] { return fs::exists(dir.file("buffer/datainfo.mkw")); }, 30s));
    const Outcome busy = zamvex({"screen", "--port", sim.device()});
    EXPECT_EQ(busy.exit_code, 1);
    EXPECT_TRUE(has(busy.err, "' is in use by zamvex (process " + std::to_string(holder.pid()) + ").")) << busy.err;
    holder.signal(SIGINT);
    EXPECT_EQ(holder.wait(30s), 0);
}

TEST(LinkFaults, KeyChecksThePictureFileBeforePressingAnyKey) {
    testing_util::TempDir dir;
    Simulator sim({});
    const std::string png = dir.file("missing/screen.png");
    const Outcome r = zamvex({"key", "--port", sim.device(), "--png", png, "RUN"});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(r.err, "zamvex key: cannot create '" + png + "': No such file or directory\n");
    EXPECT_EQ(r.out, "");  // no key was sent
    EXPECT_FALSE(fs::exists(dir.file("missing")));
}

}  // namespace
}  // namespace cli_test
