// `zamvex capture --resume` end to end: the simulated analyzer on a fixed
// --link path is unplugged and started again three times, each time with
// another traffic seed; the capture waits out every outage, ends cleanly on
// SIGTERM while it waits, and the folder holds each simulator's records
// exactly, a gap mark between, block numbers without a hole, and converts.
// `zamvex status` sees it measuring, waiting, and a state file left by a
// process that is gone as stale.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <memory>

#include "buffer_words.h"
#include "process_util.h"
#include "testing/temp_dir.h"

namespace cli_test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr std::uint32_t kOutageMark = 0x0000FF80;  // a data-loss mark whose count is not known

// The buffer's block files, first to last, and their words one after the other.
struct Blocks {
    std::vector<int> numbers;
    std::vector<std::int64_t> sizes;
    std::vector<std::uint32_t> words;
};

Blocks read_blocks(const std::string& folder) {
    Blocks b;
    for (const auto& e : fs::directory_iterator(folder)) {
        const std::string name = e.path().filename().string();
        if (name.size() == 12 && name.ends_with(".mkw") && name != "datainfo.mkw") b.numbers.push_back(std::stoi(name));
    }
    std::sort(b.numbers.begin(), b.numbers.end());
    for (const int n : b.numbers) {
        char name[16];
        std::snprintf(name, sizeof name, "/%08d.mkw", n);
        const auto words = read_words(folder + name);
        b.sizes.push_back(static_cast<std::int64_t>(words.size()) * 4);
        b.words.insert(b.words.end(), words.begin(), words.end());
    }
    return b;
}

std::size_t stored_words(const std::string& folder) {
    std::size_t bytes = 0;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec))
        if (e.path().filename() != "datainfo.mkw" && e.path().extension() == ".mkw") bytes += e.file_size(ec);
    return bytes / 4;
}

std::vector<std::string> simulator_options(const std::string& link, std::uint64_t seed, std::size_t records) {
    return {"--link", link, "--seed", std::to_string(seed), "--rate", "0", "--records", std::to_string(records)};
}

TEST(CaptureResume, ThreeOutagesAreWaitedOutAndTheFolderReadsStraightAcross) {
    constexpr std::size_t kRecords = 90000;  // each simulator's; all four cross into a second block
    const std::uint64_t seeds[] = {21, 22, 23, 24};
    testing_util::TempDir dir;
    const ScopedEnv runtime("XDG_RUNTIME_DIR", dir.path());
    const std::string link = dir.file("rv7020"), buffer = dir.file("buffer"), err = dir.file("err");
    auto sim = std::make_unique<Simulator>(simulator_options(link, seeds[0], kRecords));
    Background capture({"capture", "--resume", "--port", link, "--folder", buffer, "--max-blocks", "20"},
                       dir.file("out"), err);
    const std::string me = "zamvex capture on " + link + " (process " + std::to_string(capture.pid()) + "): ";
    for (std::size_t i = 0; i < 4; ++i) {
        // Every record this simulator sends is on disk (appended within a second).
        const std::size_t expected = (i + 1) * kRecords + i;
        ASSERT_TRUE(eventually([&] { return stored_words(buffer) == expected; }, 60s))
            << stored_words(buffer) << " words, not " << expected << "\n"
            << read_text(err);
        if (i == 1) {
            const Outcome status = zamvex({"status"});
            EXPECT_NE(status.out.find(me + "measuring, capturing since "), std::string::npos) << status.out;
        }
        sim->pull_plug();
        ASSERT_TRUE(eventually([&] { return count_of(read_text(err), "outage: ") == static_cast<int>(i + 1); }, 20s))
            << read_text(err);
        if (i == 0) {
            const Outcome status = zamvex({"status", "--json"});
            EXPECT_NE(status.out.find("\"state\": \"waiting for the port\", \"port\": \"" + link), std::string::npos)
                << status.out;
        }
        if (i < 3) sim = std::make_unique<Simulator>(simulator_options(link, seeds[i + 1], kRecords));
    }
    // Stopped while it waits for the fourth time: a clean end.
    capture.signal(SIGTERM);
    EXPECT_EQ(capture.wait(10s), 0) << read_text(err);
    const std::string log = read_text(err);
    EXPECT_EQ(count_of(log, "zamvex capture: outage: the serial port went away (unplugged?)"), 4) << log;
    EXPECT_EQ(count_of(log, "zamvex capture: resumed after "), 3) << log;
    EXPECT_NE(read_text(dir.file("out"))
                  .find(": stopped by SIGTERM; 2 blocks held (00000000.mkw to 00000001.mkw) in " + buffer +
                        "; 3 data losses; 4 outages\n"),
              std::string::npos)
        << read_text(dir.file("out"));
    EXPECT_FALSE(fs::exists(dir.file("zamvex/capture-" + std::to_string(capture.pid()) + ".state")));

    std::vector<std::uint32_t> expected;
    for (std::size_t i = 0; i < 4; ++i) {
        if (i > 0) expected.push_back(kOutageMark);
        const auto words = seed_words(seeds[i], kRecords);
        expected.insert(expected.end(), words.begin(), words.end());
    }
    const Blocks blocks = read_blocks(buffer);
    ASSERT_EQ(blocks.numbers, (std::vector<int>{0, 1}));
    EXPECT_EQ(blocks.sizes[0], 1 << 20);
    ASSERT_EQ(blocks.words.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) ASSERT_EQ(blocks.words[i], expected[i]) << "word " << i;

    const Outcome convert = zamvex({"convert", buffer, "--out", dir.file("text")});
    EXPECT_EQ(convert.exit_code, 0) << convert.err;
}

TEST(CaptureResume, StatusTellsAStateFileOfAProcessThatIsGoneFromARunningOne) {
    testing_util::TempDir dir;
    const ScopedEnv runtime("XDG_RUNTIME_DIR", dir.path());
    fs::create_directory(dir.file("zamvex"));
    const int gone = fork();
    if (gone == 0) _exit(0);
    waitpid(gone, nullptr, 0);
    const std::string port = "/dev/zamvex-test-port";
    testing_util::write_file(dir.file("zamvex/capture-" + std::to_string(gone) + ".state"),
                             "pid=" + std::to_string(gone) + "\ncommand=zamvex capture\nport=" + port +
                                 "\nfolder=/srv/buffer\nsince=1700000000\nstate=measuring\nblocks=3\n");
    const Outcome text = zamvex({"status"});
    EXPECT_EQ(text.exit_code, 0);
    EXPECT_NE(text.out.find("zamvex capture on " + port + " (process " + std::to_string(gone) +
                            "): not running: its process has ended (stale state file " + dir.path() +
                            "/zamvex/capture-" + std::to_string(gone) + ".state)"),
              std::string::npos)
        << text.out;
    const Outcome json = zamvex({"status", "--json"});
    EXPECT_NE(json.out.find("\"pid\": " + std::to_string(gone) + ", \"running\": false, \"state\": \"stale\""),
              std::string::npos)
        << json.out;
}

}  // namespace
}  // namespace cli_test
