// `zamvex monitor` against `zamvex simulate`: for every line mode and layout
// family the lines it prints while measuring are the lines `zamvex convert`
// makes of the buffer it kept; Ctrl-C's SIGTERM and a closed stdout end it cleanly.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "process_util.h"
#include "testing/temp_dir.h"

namespace cli_test {
namespace {

using namespace std::chrono_literals;

struct Family {
    const char* name;
    std::vector<std::string> options;
    const char* shows;  // a piece of text the layout must show, so that it surely ran
};

const Family kFamilies[] = {
    {"print", {}, "\nSD:"},
    {"print with line states", {"--line-states", "RS,CS,CD", "--data", "hex"}, "\nCD:"},
    {"translate", {"--print", "translate"}, "* MODE    :"},
    {"csv data", {"--format", "csv", "--csv-data", "hex"}, ","},
    {"csv frames", {"--format", "csv", "--csv-form", "frame", "--line", "rd"}, "RD,"},
};

std::string without_cr(std::string s) {
    std::erase(s, '\r');
    return s;
}

class MonitorModes : public ::testing::TestWithParam<const char*> {};

TEST_P(MonitorModes, PrintsWhatConvertMakesOfTheKeptBuffer) {
    testing_util::TempDir dir;
    Simulator sim({"--mode", GetParam(), "--rate", "3000"});
    for (const Family& f : kFamilies) {
        const std::string buffer = dir.file("buffer");
        std::vector<std::string> args{"monitor", "--port",  sim.device(), "--folder",
                                      buffer,    "--force", "--seconds",  "1"};
        args.insert(args.end(), f.options.begin(), f.options.end());
        const Outcome live = zamvex(args);
        ASSERT_EQ(live.exit_code, 0) << f.name << ": " << live.err;
        EXPECT_NE(live.err.find("stopped by time"), std::string::npos) << f.name << ": " << live.err;

        const std::string out = dir.file("out");
        std::filesystem::remove_all(out);
        std::vector<std::string> convert{"convert", buffer, "--out", out, "--prefix", "T_", "--max-lines", "999999"};
        convert.insert(convert.end(), f.options.begin(), f.options.end());
        const Outcome offline = zamvex(convert);
        ASSERT_EQ(offline.exit_code, 0) << f.name << ": " << offline.err;
        const std::string expected = without_cr(read_text(out + "/T_00000000.txt"));
        EXPECT_GT(std::count(expected.begin(), expected.end(), '\n'), 10) << f.name;
        EXPECT_NE(expected.find(f.shows), std::string::npos) << f.name;
        EXPECT_EQ(live.out, expected) << f.name;
    }
}

INSTANTIATE_TEST_SUITE_P(LineModes, MonitorModes, ::testing::Values("ASYNC", "SYNC", "HDLC", "NRZI", "PPP"));

TEST(Monitor, SigtermEndsTheMeasurementCleanlyWithoutAFolder) {
    testing_util::TempDir dir;
    Simulator sim({"--protocol", "x25"});
    const std::string out = dir.file("out.txt"), err = dir.file("err.txt");
    Background monitor({"monitor", "--port", sim.device(), "--print", "translate"}, out, err);
    ASSERT_TRUE(eventually([&] { return read_text(out).find("SD:") != std::string::npos; }, 20s)) << read_text(err);
    monitor.signal(SIGTERM);
    EXPECT_EQ(monitor.wait(5s), 0) << read_text(err);
    EXPECT_NE(read_text(err).find("stopped by SIGTERM"), std::string::npos) << read_text(err);
    EXPECT_EQ(read_text(out).rfind("        ** FRAME CONVERSION **\n", 0), 0u);
    // The analyzer is free again: a second session can measure at once.
    const Outcome again = zamvex({"monitor", "--port", sim.device(), "--seconds", "0.5", "--format", "csv"});
    EXPECT_EQ(again.exit_code, 0) << again.err;
}

TEST(Monitor, AClosedPipeStopsTheMeasurement) {
    Simulator sim({});
    const auto started = std::chrono::steady_clock::now();
    const std::string script = std::string("'") + ZAMVEX_EXE + "' monitor --port '" + sim.device() +
                               "' 2>/dev/null | head -3 >/dev/null; exit ${PIPESTATUS[0]}";
    const Outcome r = run_shell(script, 30s);
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_LT(std::chrono::steady_clock::now() - started, 15s);
}

TEST(Monitor, PcapngOnStdoutIsDecodedByTsharkAsItArrives) {
    if (std::system("command -v tshark >/dev/null 2>&1") != 0) GTEST_SKIP() << "tshark is not installed";
    Simulator sim({"--protocol", "lapd"});
    const std::string script = std::string("'") + ZAMVEX_EXE + "' monitor --port '" + sim.device() +
                               "' --frame lapd --pcapng - 2>/dev/null | tshark -r - -c 12 2>/dev/null; "
                               "echo \"exit ${PIPESTATUS[0]} ${PIPESTATUS[1]}\"";
    const Outcome r = run_shell(script, 60s);
    ASSERT_EQ(r.exit_code, 0) << r.err;
    // Twelve packets, each decoded as LAPD (or the Q.931 inside it), then both ended well.
    EXPECT_EQ(count_of(r.out, "\n"), 13) << r.out;
    EXPECT_EQ(count_of(r.out, " LAPD ") + count_of(r.out, " Q.931 "), 12) << r.out;
    EXPECT_NE(r.out.find("exit 0 0\n"), std::string::npos) << r.out;
}

TEST(Monitor, PcapngToStdoutEndsSoonAfterStdinEndsOrAHangUpOnASilentLine) {
    testing_util::TempDir dir;
    Simulator sim({"--records", "1"});  // measures, but the line stays silent after one record
    const std::string out = dir.file("out.pcapng"), err = dir.file("err.txt");
    int input[2];
    ASSERT_EQ(pipe2(input, O_CLOEXEC), 0);
    Background monitor({"monitor", "--port", sim.device(), "--pcapng", "-"}, out, err, input[0]);
    close(input[0]);
    // The section header goes out once the measurement's information has come.
    ASSERT_TRUE(eventually([&] { return !read_text(out).empty(); }, 20s)) << read_text(err);
    close(input[1]);
    const auto closed = std::chrono::steady_clock::now();
    EXPECT_EQ(monitor.wait(10s), 0) << read_text(err);
    EXPECT_LT(std::chrono::steady_clock::now() - closed, 2s);
    EXPECT_NE(read_text(err).find("stopped by the end of stdin"), std::string::npos) << read_text(err);

    Background hung_up({"monitor", "--port", sim.device(), "--pcapng", "-"}, out, err);
    ASSERT_TRUE(eventually([&] { return !read_text(out).empty(); }, 20s)) << read_text(err);
    hung_up.signal(SIGHUP);
    EXPECT_EQ(hung_up.wait(10s), 0) << read_text(err);
    EXPECT_NE(read_text(err).find("stopped by SIGHUP"), std::string::npos) << read_text(err);
}

TEST(Monitor, UsageMistakesAreSaidBeforeAnyPortIsOpened) {
    const Outcome start = zamvex({"monitor", "--port", "/dev/null", "--start", "2"});
    EXPECT_EQ(start.exit_code, 2);
    EXPECT_NE(start.err.find("unknown option '--start'"), std::string::npos) << start.err;
    const Outcome frame = zamvex({"monitor", "--port", "/dev/null", "--frame", "hdlc"});
    EXPECT_EQ(frame.exit_code, 2);
    EXPECT_NE(frame.err.find("bad value for --frame"), std::string::npos) << frame.err;
    const Outcome help = zamvex({"monitor", "--help"});
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_NE(help.out.find("--csv-form data|frame"), std::string::npos);
    EXPECT_EQ(help.out.find("--max-lines"), std::string::npos);
    const Outcome lines = zamvex({"monitor", "--port", "/dev/null", "--pcapng", "-", "--print", "translate"});
    EXPECT_EQ(lines.exit_code, 2);
    EXPECT_NE(lines.err.find("--print makes lines, and --pcapng writes frames"), std::string::npos) << lines.err;
}

}  // namespace
}  // namespace cli_test
