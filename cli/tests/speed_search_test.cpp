// Finding the analyzer's speed: a simulator that only hears a PC at its own
// speed, as on a real line, and `--speed auto` or a list of speeds, each
// tried with one connect of the library's own timeout.
#include <gtest/gtest.h>

#include "process_util.h"
#include "testing/temp_dir.h"

namespace cli_test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A connect that nothing answers ends after the library's 3 s for "###" and
// 1 s for its packet-mode exit attempt.
constexpr auto kConnectTimeout = 4s;

TEST(SpeedSearch, AutoFindsTheAnalyzerAtItsSpeedAndSaysWhich) {
    testing_util::TempDir dir;
    Simulator sim({"--speed", "9600"});
    const auto start = Clock::now();
    const Outcome found = zamvex({"screen", "--port", sim.device(), "--speed", "auto", "--png", dir.file("s.png")});
    const auto took = Clock::now() - start;
    ASSERT_EQ(found.exit_code, 0) << found.err;
    // 115200 comes first and gets no answer; 9600 answers.
    EXPECT_EQ(found.err, "found RV-7020 1.05 at 9600 baud on " + sim.device() + "\n");
    EXPECT_EQ(found.out, "256x80 screen written to " + dir.file("s.png") + "\n");
    EXPECT_GE(took, kConnectTimeout - 500ms);
    EXPECT_LT(took, 2 * kConnectTimeout + 1s);
}

TEST(SpeedSearch, NoneAnsweringListsTheSpeedsTriedWithinOneTimeoutEach) {
    Simulator sim({"--speed", "9600"});
    const auto start = Clock::now();
    const Outcome none = zamvex({"key", "--port", sim.device(), "--speed", "1200,2400", "RUN"});
    const auto took = Clock::now() - start;
    EXPECT_EQ(none.exit_code, 1);
    EXPECT_EQ(none.err,
              "zamvex key: An error occurred during the connection process. (status 4: no answer in time)\n"
              "Nothing answered on '" +
                  sim.device() +
                  "' at any of 1200, 2400 baud. Is the analyzer connected and switched on? Is its speed setting one "
                  "of these? Is this the right port ('zamvex ports' lists them)?\n");
    EXPECT_GE(took, 2 * kConnectTimeout - 1s);
    EXPECT_LT(took, 2 * kConnectTimeout + 1s);
}

}  // namespace
}  // namespace cli_test
