// zamvex as a user runs it: each test starts `zamvex simulate` and drives it
// with the other subcommands as separate processes, checking files, texts and
// exit codes. The seed's conversion is compared with reviewed output files.
#include <gtest/gtest.h>

#include <filesystem>

#include "process_util.h"
#include "testing/temp_dir.h"

namespace cli_test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

std::string data_file(const std::string& name) { return read_text(std::string(CLI_TEST_DATA) + "/" + name); }

TEST(EndToEnd, CaptureOfASeedConvertsToTheReviewedText) {
    testing_util::TempDir dir;
    Simulator sim({"--seed", "7", "--protocol", "x25", "--rate", "0"});
    const std::string buffer = dir.file("buffer");
    // Flat with one block: the command stops itself at the block limit.
    const Outcome capture = zamvex({"capture", "--port", sim.device(), "--folder", buffer, "--max-blocks", "1"});
    ASSERT_EQ(capture.exit_code, 0) << capture.err;
    EXPECT_NE(capture.out.find("stopped by block limit; 1 block held"), std::string::npos) << capture.out;
    EXPECT_EQ(fs::file_size(buffer + "/00000000.mkw"), 1u << 20);

    const std::string print = dir.file("print");
    const Outcome convert = zamvex({"convert", buffer, "--out", print, "--prefix", "", "--max-lines", "40"});
    ASSERT_EQ(convert.exit_code, 0) << convert.err;
    EXPECT_NE(convert.out.find("1484 files written"), std::string::npos) << convert.out;
    EXPECT_EQ(read_text(print + "/00000000.txt"), data_file("seed7_print_first.txt"));
    EXPECT_EQ(read_text(print + "/00001483.txt"), data_file("seed7_print_last.txt"));
    EXPECT_FALSE(fs::exists(print + "/00001484.txt"));

    const std::string x25 = dir.file("x25");
    const Outcome translate = zamvex({"convert", buffer, "--out", x25, "--prefix", "X_", "--print", "translate",
                                      "--frame", "x25", "--packet", "x25", "--max-lines", "999999"});
    ASSERT_EQ(translate.exit_code, 0) << translate.err;
    const std::string head = data_file("seed7_x25_head.txt");
    EXPECT_EQ(read_text(x25 + "/X_00000000.txt").substr(0, head.size()), head);
}

TEST(EndToEnd, SettingsEditedInTheFileReachTheAnalyzer) {
    testing_util::TempDir dir;
    Simulator sim({"--model", "RV-7030"});
    const std::string file = dir.file("settings.txt");
    const Outcome save = zamvex({"settings", "save", "--port", sim.device(), file});
    ASSERT_EQ(save.exit_code, 0) << save.err;
    EXPECT_NE(save.out.find("RV-7030 settings (setup, tables and program)"), std::string::npos) << save.out;
    std::string text = read_text(file);
    ASSERT_EQ(text.rfind("RV-7030\r\n", 0), 0u);
    const std::string before = "S-SPEED :64000 \r\n";
    const auto at = text.find(before);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, before.size(), "S-SPEED :9600  \r\n");
    { std::ofstream(file, std::ios::binary | std::ios::trunc) << text; }
    const Outcome send = zamvex({"settings", "send", "--port", sim.device(), file});
    ASSERT_EQ(send.exit_code, 0) << send.err;

    // Saving again without --force is refused; with it the edit is read back.
    const Outcome again = zamvex({"settings", "save", "--port", sim.device(), file});
    EXPECT_EQ(again.exit_code, 1);
    EXPECT_NE(again.err.find("exists; add --force"), std::string::npos) << again.err;
    const Outcome forced = zamvex({"settings", "save", "--port", sim.device(), "--force", file});
    ASSERT_EQ(forced.exit_code, 0) << forced.err;
    EXPECT_EQ(read_text(file), text);
}

TEST(EndToEnd, AFileForAnotherModelIsNotSent) {
    testing_util::TempDir dir;
    Simulator rv7020({});
    const std::string file = dir.file("rv7020.txt");
    ASSERT_EQ(zamvex({"settings", "save", "--port", rv7020.device(), file}).exit_code, 0);
    Simulator rv7010({"--model", "RV-7010"});
    const Outcome send = zamvex({"settings", "send", "--port", rv7010.device(), file});
    EXPECT_EQ(send.exit_code, 1);
    EXPECT_NE(send.err.find("the file was made for another model"), std::string::npos) << send.err;
}

TEST(EndToEnd, TableTextBecomesTheTablesCells) {
    testing_util::TempDir dir;
    Simulator sim({});
    const std::string text = dir.file("table.txt");
    { std::ofstream(text, std::ios::binary) << "AB\r\n"; }
    const Outcome table = zamvex({"table", "--port", sim.device(), "--table", "3", text});
    ASSERT_EQ(table.exit_code, 0) << table.err;
    EXPECT_NE(table.out.find("table 3: 4 cells sent"), std::string::npos) << table.out;
    const std::string saved = dir.file("saved.txt");
    ASSERT_EQ(zamvex({"settings", "save", "--port", sim.device(), "--type", "1", saved}).exit_code, 0);
    EXPECT_NE(read_text(saved).find("TBL.No:3(4)\r\n41420d0a\r\n"), std::string::npos) << read_text(saved);

    const Outcome bad = zamvex({"table", "--port", sim.device(), "--table", "G", text});
    EXPECT_EQ(bad.exit_code, 2);
    EXPECT_NE(bad.err.find("bad value for --table: 'G' (0..F)"), std::string::npos);
}

TEST(EndToEnd, RefusedStartShowsItsReason) {
    testing_util::TempDir dir;
    Simulator sim({"--refuse-start", "5"});
    const Outcome r = zamvex({"capture", "--port", sim.device(), "--folder", dir.file("b"), "--seconds", "5"});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.err.find("A measurement cannot be started. (the analyzer's monitor buffer is write-protected) "
                         "(stop reason 5)"),
              std::string::npos)
        << r.err;
}

TEST(EndToEnd, AMeasuringAnalyzerIsLeftAlone) {
    testing_util::TempDir dir;
    Simulator sim({"--measuring"});
    const Outcome r = zamvex({"capture", "--port", sim.device(), "--folder", dir.file("b")});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.err.find("Cannot be connected while the analyzer is measuring."), std::string::npos) << r.err;
}

TEST(EndToEnd, InterruptedCaptureLeavesABufferThatConverts) {
    testing_util::TempDir dir;
    Simulator sim({"--seed", "3", "--rate", "2000"});
    const std::string buffer = dir.file("buffer");
    Background capture({"capture", "--port", sim.device(), "--folder", buffer}, dir.file("out"), dir.file("err"));
    // The measurement information is stored once the measurement runs.
    ASSERT_TRUE(eventually([&] { return fs::exists(buffer + "/datainfo.mkw"); }, 30s)) << read_text(dir.file("err"));
    capture.signal(SIGINT);
    ASSERT_EQ(capture.wait(30s), 0) << read_text(dir.file("err"));
    EXPECT_NE(read_text(dir.file("out")).find("stopped by Ctrl-C; 1 block held"), std::string::npos);
    ASSERT_TRUE(fs::exists(buffer + "/00000000.mkw"));
    EXPECT_GT(fs::file_size(buffer + "/00000000.mkw"), 0u);

    const Outcome convert = zamvex({"convert", buffer, "--out", dir.file("text"), "--prefix", "t"});
    ASSERT_EQ(convert.exit_code, 0) << convert.err;
    const std::string text = read_text(dir.file("text/t00000000.txt"));
    EXPECT_NE(text.find("\r\nSD:"), std::string::npos);
    EXPECT_NE(text.find("\r\nRD:"), std::string::npos);
}

TEST(EndToEnd, MistakesGiveClearMessagesAndExitCodes) {
    testing_util::TempDir dir;
    const Outcome no_command = zamvex({});
    EXPECT_EQ(no_command.exit_code, 2);
    const Outcome unknown = zamvex({"capture", "--port", "COM1", "--folder", "x", "--frobnicate"});
    EXPECT_EQ(unknown.exit_code, 2);
    EXPECT_EQ(unknown.err, "zamvex capture: unknown option '--frobnicate'\n(see zamvex capture --help)\n");
    const Outcome no_port = zamvex({"screen"});
    EXPECT_EQ(no_port.exit_code, 2);
    EXPECT_NE(no_port.err.find("--port is needed"), std::string::npos);
    const Outcome bad_value = zamvex({"convert", dir.path(), "--out", dir.file("t"), "--data", "octal"});
    EXPECT_EQ(bad_value.exit_code, 2);
    EXPECT_NE(bad_value.err.find("bad value for --data: 'octal'"), std::string::npos);

    const Outcome missing = zamvex({"capture", "--port", dir.file("no-such-port"), "--folder", dir.file("b")});
    EXPECT_EQ(missing.exit_code, 1);
    EXPECT_NE(missing.err.find("An error occurred during the serial port initializing process.\nThere is no serial "
                               "device '" +
                               dir.file("no-such-port") + "' (No such file or directory)."),
              std::string::npos)
        << missing.err;
    std::string mute_device;
    const Outcome silent = [&] {
        Simulator mute({"--mute"});
        mute_device = mute.device();
        return zamvex({"key", "--port", mute.device(), "RUN"});
    }();
    EXPECT_EQ(silent.exit_code, 1);
    // The library's text and status, then what to check.
    EXPECT_EQ(silent.err,
              "zamvex key: An error occurred during the connection process. (status 4: no answer in time)\n"
              "Nothing answered on '" +
                  mute_device +
                  "' at 115200 baud. Is the analyzer connected and switched on? Is its speed setting the same "
                  "(--speed, or --speed auto to try each)? Is this the right port ('zamvex ports' lists them)?\n");
    const Outcome no_buffer = zamvex({"convert", dir.file("nothing"), "--out", dir.file("t")});
    EXPECT_EQ(no_buffer.exit_code, 1);
    EXPECT_NE(no_buffer.err.find("The PC buffer files do not exist"), std::string::npos) << no_buffer.err;
}

TEST(EndToEnd, KeysMoveTheScreenThatComesBackAsPng) {
    testing_util::TempDir dir;
    Simulator sim({});
    const std::string before = dir.file("before.png");
    const std::string after = dir.file("after.png");
    ASSERT_EQ(zamvex({"screen", "--port", sim.device(), "--png", before}).exit_code, 0);
    const Outcome keys = zamvex({"key", "--port", sim.device(), "DOWN", "SHIFT", "0", "--png", after});
    ASSERT_EQ(keys.exit_code, 0) << keys.err;
    EXPECT_NE(keys.out.find("key \xE2\x86\x93 (19) sent\nkey SHIFT+0 (128) sent\n"), std::string::npos) << keys.out;
    const std::string a = read_text(before), b = read_text(after);
    ASSERT_GT(a.size(), 33u);
    EXPECT_EQ(a.substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(a.substr(16, 8), std::string("\0\0\x01\0\0\0\0\x50", 8));  // 256 x 80
    EXPECT_NE(a, b);  // the menu cursor moved and the last key is shown
}

}  // namespace
}  // namespace cli_test
