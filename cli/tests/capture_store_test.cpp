// zamvex capture and the disk, end to end against `zamvex simulate`: a capture
// killed mid-block leaves every record up to a second before the kill in its
// block, and the folder converts; a folder that cannot be written is refused
// before the analyzer starts; a disk that fills up or a file size limit stops
// the measurement with the cause and the blocks left, exit 1.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <thread>

#include "buffer_words.h"
#include "process_util.h"
#include "testing/file_size_limit.h"
#include "testing/temp_dir.h"

namespace cli_test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string run_text(const Outcome& r) { return "exit " + std::to_string(r.exit_code) + "\n" + r.out + r.err; }

TEST(CaptureStore, AKilledCaptureKeepsEveryRecordUpToASecondBeforeTheKill) {
    constexpr int kRate = 2000;  // records per second: a block takes over two minutes
    testing_util::TempDir dir;
    Simulator sim({"--seed", "11", "--rate", std::to_string(kRate)});
    const std::string buffer = dir.file("buffer");
    Background capture({"capture", "--port", sim.device(), "--folder", buffer}, dir.file("out"), dir.file("err"));
    // The information file is saved once the measurement runs, so the start lies before this.
    ASSERT_TRUE(eventually([&] { return fs::exists(buffer + "/datainfo.mkw"); }, 30s)) << read_text(dir.file("err"));
    const auto seen_running = Clock::now();
    std::this_thread::sleep_for(3500ms);
    const auto killed = Clock::now();
    capture.signal(SIGKILL);
    EXPECT_EQ(capture.wait(10s), 128 + SIGKILL);

    // The simulator had sent at least kRate records per second since then; all but
    // the last second of them must be on disk, exactly and in order.
    const double seconds = std::chrono::duration<double>(killed - seen_running).count();
    const auto promised = static_cast<std::size_t>((seconds - 1.0) * kRate);
    const auto words = read_words(buffer + "/00000000.mkw");
    EXPECT_GE(words.size(), promised) << "killed " << seconds << " s after the start was seen";
    EXPECT_LT(words.size(), std::size_t{1} << 18) << "the block should not be full yet";
    EXPECT_EQ(fs::file_size(buffer + "/00000000.mkw") % 4, 0u);
    EXPECT_FALSE(fs::exists(buffer + "/00000001.mkw"));
    const auto expected = seed_words(11, words.size());
    for (std::size_t i = 0; i < words.size(); ++i)
        ASSERT_EQ(words[i], expected[i]) << "word " << i << " of " << words.size();

    const Outcome convert = zamvex({"convert", buffer, "--out", dir.file("text"), "--prefix", "t"});
    ASSERT_EQ(convert.exit_code, 0) << run_text(convert);
    const std::string text = read_text(dir.file("text/t00000000.txt"));
    EXPECT_NE(text.find("\r\nSD:"), std::string::npos);

    // A block cut inside a word (a crash in the middle of a write) reads as its whole words.
    {
        std::FILE* f = std::fopen((buffer + "/00000000.mkw").c_str(), "ab");
        ASSERT_NE(f, nullptr);
        std::fputs("\x30\x41", f);
        std::fclose(f);
    }
    const Outcome again = zamvex({"convert", buffer, "--out", dir.file("text2"), "--prefix", "t"});
    ASSERT_EQ(again.exit_code, 0) << run_text(again);
    EXPECT_EQ(read_text(dir.file("text2/t00000000.txt")), text);
}

// A folder nobody may write: mode 0555 for a user, a read-only mount for root
// (which permission bits do not stop).
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const std::string& path) : path_(path) {
        fs::create_directory(path);
        mounted_ = ::geteuid() == 0 && ::mount("zamvex-test", path.c_str(), "tmpfs", MS_RDONLY, "size=64k") == 0;
        if (!mounted_) ::chmod(path.c_str(), 0555);
    }
    ~ReadOnlyFolder() {
        if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
        else ::chmod(path_.c_str(), 0755);
    }
    bool effective() const { return mounted_ || ::geteuid() != 0; }

private:
    std::string path_;
    bool mounted_ = false;
};

TEST(CaptureStore, AFolderThatCannotBeWrittenIsRefusedBeforeTheStart) {
    testing_util::TempDir dir;
    Simulator sim({"--seed", "3"});
    const std::string folder = dir.file("ro");
    ReadOnlyFolder ro(folder);
    if (!ro.effective()) GTEST_SKIP() << "root without a read-only mount: nothing stops a write";
    const Outcome r = zamvex({"capture", "--port", sim.device(), "--folder", folder, "--seconds", "5"}, 30s);
    EXPECT_EQ(r.exit_code, 1) << run_text(r);
    EXPECT_NE(r.err.find("zamvex capture: cannot write to the buffer folder '" + folder + "': "), std::string::npos)
        << r.err;
    EXPECT_TRUE(r.err.find("Read-only file system") != std::string::npos ||
                r.err.find("Permission denied") != std::string::npos)
        << r.err;
    // Refused before connecting: the analyzer was never asked to measure.
    EXPECT_EQ(r.out, "");
}

TEST(CaptureStore, AFileSizeLimitStopsTheMeasurementWithTheCause) {
    testing_util::TempDir dir;
    Simulator sim({"--seed", "5", "--rate", "0"});
    const std::string buffer = dir.file("buffer");
    std::optional<Background> capture;
    {
        const testing_util::FileSizeLimit limit(600'002);  // inherited by the command
        capture.emplace(
            std::vector<std::string>{"capture", "--port", sim.device(), "--folder", buffer, "--seconds", "60"},
            dir.file("out"), dir.file("err"));
    }
    const int code = capture->wait(60s);
    const std::string err = read_text(dir.file("err"));
    EXPECT_EQ(code, 1) << err;
    EXPECT_NE(err.find("zamvex capture: could not store the measurement: File too large; no block is complete, "
                       "00000000 holds 600000 bytes; the analyzer was stopped; "),
              std::string::npos)
        << err;
    EXPECT_NE(err.find("ulimit -f"), std::string::npos) << err;
    EXPECT_EQ(fs::file_size(buffer + "/00000000.mkw"), 600'000u);
    EXPECT_FALSE(fs::exists(buffer + "/00000001.mkw"));
    const auto words = read_words(buffer + "/00000000.mkw");
    EXPECT_EQ(words, seed_words(5, words.size()));
}

TEST(CaptureStore, ADiskThatFillsUpStopsTheMeasurementAndKeepsTheCompleteBlocks) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to mount a small tmpfs";
    testing_util::TempDir dir;
    const std::string buffer = dir.file("small");
    fs::create_directory(buffer);
    ASSERT_EQ(::mount("zamvex-test", buffer.c_str(), "tmpfs", 0, "size=2600k"), 0) << std::strerror(errno);
    struct Unmount {
        std::string at;
        ~Unmount() { ::umount2(at.c_str(), MNT_DETACH); }
    } unmount{buffer};

    Simulator sim({"--seed", "9", "--rate", "0"});
    const Outcome r = zamvex({"capture", "--port", sim.device(), "--folder", buffer, "--seconds", "60"}, 90s);
    EXPECT_EQ(r.exit_code, 1) << run_text(r);
    // Below the ten blocks' 10 MiB: the command warned before it started.
    EXPECT_NE(r.err.find("zamvex capture: warning: only 2 MiB free in '" + buffer + "', 10 blocks need 10 MiB"),
              std::string::npos)
        << r.err;
    ASSERT_TRUE(fs::exists(buffer + "/00000002.mkw")) << r.err;
    const auto partial = fs::file_size(buffer + "/00000002.mkw");
    EXPECT_NE(r.err.find("could not store the measurement: No space left on device; blocks 00000000..00000001 are "
                         "complete, 00000002 holds " +
                         std::to_string(partial) + " bytes; the analyzer was stopped"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(fs::file_size(buffer + "/00000000.mkw"), 1u << 20);
    EXPECT_EQ(fs::file_size(buffer + "/00000001.mkw"), 1u << 20);
    EXPECT_EQ(partial % 4, 0u);
    const auto words = read_words(buffer + "/00000000.mkw");
    const auto expected = seed_words(9, words.size());
    EXPECT_EQ(words, expected);
}

}  // namespace
}  // namespace cli_test
