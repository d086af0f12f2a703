// The same manners as a user meets them, through the built program: what a
// conversion says it did, what it refuses, and what ended a capture.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "buffer_builder.h"
#include "process_util.h"
#include "testing/temp_dir.h"

namespace cli_test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// A buffer of two full blocks and a short third one, all of ASYNC text.
std::string three_blocks(testing_util::TempDir& dir) {
    const std::string buffer = dir.file("buffer");
    fs::create_directory(buffer);
    std::vector<std::uint32_t> words;
    const auto text = textlib_test::SdText("hello, analyzer");
    while (words.size() < 2 * textlib_test::kBlockWords + 100) textlib_test::Append(words, text);
    textlib_test::WriteBuffer(buffer, textlib_test::AsyncBody(), words);
    return buffer;
}

TEST(MannersEndToEnd, ConvertTakesEveryBlockAndSummarisesTheFiles) {
    testing_util::TempDir dir;
    const std::string buffer = three_blocks(dir), out = dir.file("text");
    const Outcome r = zamvex({"convert", buffer, "--out", out, "--prefix", "t", "--max-lines", "5000"});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    std::size_t files = 0;
    for (const auto& e : fs::directory_iterator(out)) files += e.is_regular_file();
    ASSERT_GT(files, 2u);
    char last[32];
    std::snprintf(last, sizeof last, "t%08zu.txt", files - 1);
    EXPECT_EQ(r.out, std::to_string(files) + " files written to " + out + ": t00000000.txt .. " + last + "\n");

    // Every block was read; with --blocks, only those.
    const auto count_text = [&](const std::vector<std::string>& extra) {
        const std::string one = dir.file("one" + std::to_string(extra.size()));
        std::vector<std::string> args{"convert", buffer, "--out", one, "--prefix", "o", "--max-lines", "999999"};
        args.insert(args.end(), extra.begin(), extra.end());
        EXPECT_EQ(zamvex(args).exit_code, 0);
        const std::string text = read_text(one + "/o00000000.txt");
        std::size_t n = 0;
        for (auto at = text.find("h e l l o"); at != std::string::npos; at = text.find("h e l l o", at + 1)) ++n;
        return n;
    };
    const std::size_t all = count_text({}), two = count_text({"--blocks", "2"}), one = count_text({"--blocks", "1"});
    EXPECT_GT(one, 9000u);
    EXPECT_GT(two, one + one / 2);  // a line may straddle two blocks
    EXPECT_GT(all, two);
}

TEST(MannersEndToEnd, ConvertAndExportRefuseWhatTheyCannotDoWell) {
    testing_util::TempDir dir;
    const std::string buffer = three_blocks(dir), out = dir.file("text");
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string message;
    };
    const Case cases[] = {
        {{"convert", buffer, "--out", out, "--start", "4"},
         1,
         "--start 4 is past the last block: the buffer holds 3 blocks"},
        {{"export", buffer, "--pcapng", dir.file("x.pcapng"), "--start", "4"},
         1,
         "--start 4 is past the last block: the buffer holds 3 blocks"},
        {{"convert", buffer + "/00000001.mkw", "--out", out},
         1,
         "'" + buffer + "/00000001.mkw' is not a single data file (a block file of a PC buffer folder)"},
        {{"export", buffer + "/00000001.mkw", "--pcapng", dir.file("x.pcapng")},
         1,
         "'" + buffer + "/00000001.mkw' is not a single data file (a block file of a PC buffer folder)"},
        {{"convert", buffer, "--out", out, "--print", "translate", "--no-time-stamps"},
         2,
         "--no-time-stamps does nothing with --print translate; it goes with --print normal"},
        {{"convert", buffer, "--out", out, "--csv-data", "hex"},
         2,
         "--csv-data does nothing with --print normal; it goes with --format csv"},
    };
    for (const Case& c : cases) {
        const Outcome r = zamvex(c.args);
        EXPECT_EQ(r.exit_code, c.code) << c.args[0] << " " << c.message;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    EXPECT_FALSE(fs::exists(out + "/MK_")) << "nothing converted";
    EXPECT_FALSE(fs::exists(dir.file("x.pcapng")));
}

TEST(MannersEndToEnd, SendingAFileThatIsNoSettingsFileSaysSo) {
    testing_util::TempDir dir;
    testing_util::write_file(dir.file("notes.txt"), std::string("shopping list\r\nmilk\r\n"));
    // The file is looked at before the port: /dev/null is never opened as an analyzer.
    const Outcome r = zamvex({"settings", "send", "--port", "/dev/null", dir.file("notes.txt")});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.err.find("not a settings file: the first line is not a model name (RV-7010, RV-7020 or RV-7030) "
                         "but 'shopping list'"),
              std::string::npos)
        << r.err;
}

TEST(MannersEndToEnd, ABadSettingNamesItsLine) {
    testing_util::TempDir dir;
    Simulator sim({"--model", "RV-7020"});
    const std::string file = dir.file("settings.txt");
    ASSERT_EQ(zamvex({"settings", "save", "--port", sim.device(), file}).exit_code, 0);
    std::string text = read_text(file);
    const auto at = text.find("S-SPEED :");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, text.find("\r\n", at) - at, "S-SPEED :FAST");
    testing_util::write_file(file, text);
    const auto line = 1 + std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n');
    const Outcome r = zamvex({"settings", "send", "--port", sim.device(), file});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.err.find("line " + std::to_string(line) + " reads 'S-SPEED :FAST'"), std::string::npos) << r.err;
}

TEST(MannersEndToEnd, SigtermIsReportedAsSuch) {
    testing_util::TempDir dir;
    Simulator sim({"--seed", "3", "--rate", "2000"});
    const std::string buffer = dir.file("buffer");
    Background capture({"capture", "--port", sim.device(), "--folder", buffer}, dir.file("out"), dir.file("err"));
    ASSERT_TRUE(eventually([&] { return fs::exists(buffer + "/datainfo.mkw"); }, 30s)) << read_text(dir.file("err"));
    capture.signal(SIGTERM);
    ASSERT_EQ(capture.wait(30s), 0) << read_text(dir.file("err"));
    EXPECT_NE(read_text(dir.file("out")).find("stopped by SIGTERM; 1 block held"), std::string::npos)
        << read_text(dir.file("out"));
}

TEST(MannersEndToEnd, ScreenTextFitsTheTerminalWidth) {
    Simulator sim({});
    ::setenv("COLUMNS", "60", 1);  // not a terminal here: the command reads $COLUMNS
    const Outcome r = zamvex({"screen", "--port", sim.device(), "--text"});
    ::unsetenv("COLUMNS");
    ASSERT_EQ(r.exit_code, 0) << r.err;
    std::size_t start = 0, lines = 0;
    for (std::size_t end; (end = r.out.find('\n', start)) != std::string::npos; start = end + 1, ++lines) {
        const std::string line = r.out.substr(start, end - start);
        std::size_t cells = 0;
        for (const char c : line) cells += (static_cast<unsigned char>(c) & 0xC0) != 0x80;  // UTF-8 characters
        EXPECT_LE(cells, 60u) << line;
    }
    EXPECT_GT(lines, 5u);
    // Said beside the picture, on stderr, so that stdout holds only the picture.
    EXPECT_NE(r.err.find("scaled to 1/"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("to fit 60 columns; --png keeps every pixel)"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace cli_test
