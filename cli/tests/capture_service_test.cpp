// The pieces of an unattended capture without a process: the settings file's
// rules, what the report logs and tells the service manager and when, the
// state file's text, and the journal's priority prefixes.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "commands/capture_config.h"
#include "commands/capture_options.h"
#include "commands/capture_report.h"
#include "commands/port_options.h"
#include "service/state_file.h"
#include "text/stderr_lines.h"

namespace cli {
namespace {

using namespace std::chrono_literals;

// The check `zamvex capture --config` makes of each setting.
std::string check(const ParsedOptions& setting) {
    ParsedOptions o = setting;
    o.values.emplace("--port", "p");
    std::string why;
    CaptureJob job;
    if (port_choice(o, why)) read_capture_options(o, job, why);
    return why;
}

std::optional<std::string> apply(const std::string& text, ParsedOptions& options) {
    return apply_capture_settings("/etc/zamvex/capture/x.conf", text, options, check);
}

TEST(CaptureSettings, GoodLinesBecomeOptionsThatTheCommandLineOverrides) {
    ParsedOptions o;
    o.values["--speed"] = "9600";
    const auto error = apply(
        "# the analyzer on the rack\n\nspeed = 38400\nparity=even  # as set up\n"
        "ring = yes\nkeep-free = 2G\nmax-blocks = 100\n",
        o);
    ASSERT_FALSE(error) << *error;
    EXPECT_EQ(o.value("--speed"), "9600");
    EXPECT_EQ(o.value("--parity"), "even");
    EXPECT_EQ(o.value("--keep-free"), "2G");
    EXPECT_EQ(o.value("--max-blocks"), "100");
    EXPECT_TRUE(o.has("--ring"));
    ParsedOptions none;
    EXPECT_FALSE(apply("ring = no\n", none));
    EXPECT_FALSE(none.has("--ring"));
}

TEST(CaptureSettings, EveryMistakeNamesTheFileTheLineAndTheSetting) {
    const std::pair<const char*, const char*> cases[] = {
        {"speed = 9600\nmax-block = 8\n",
         "/etc/zamvex/capture/x.conf:2: unknown setting 'max-block' (the settings are speed, parity, folder, "
         "max-blocks, ring, keep-free)"},
        {"max-blocks = 5000\n", "/etc/zamvex/capture/x.conf:1: max-blocks: bad value for --max-blocks (1..1024)"},
        {"\nparity = mark\n",
         "/etc/zamvex/capture/x.conf:2: parity: bad value for --parity: 'mark' (none, odd or even)"},
        {"ring = maybe\n", "/etc/zamvex/capture/x.conf:1: bad value for setting ring: 'maybe' (yes or no)"},
        {"keep-free = 2G\n",
         "/etc/zamvex/capture/x.conf:1: keep-free: --keep-free gives up the oldest blocks of a ring: add --ring"},
        {"keep-free = lots\nring = yes\n",
         "/etc/zamvex/capture/x.conf:1: keep-free: bad value for --keep-free: 'lots' (500M, 2G)"},
        {"speed = 9600\nspeed = 19200\n",
         "/etc/zamvex/capture/x.conf:2: setting speed is given twice (also on line 1)"},
        {"folder\n", "/etc/zamvex/capture/x.conf:1: 'folder' is not a setting (name = value)"},
        {"port = /dev/ttyUSB1\n",
         "/etc/zamvex/capture/x.conf:1: unknown setting 'port' (the settings are speed, parity, folder, max-blocks, "
         "ring, keep-free)"},
    };
    for (const auto& [text, expected] : cases) {
        ParsedOptions o;
        const auto error = apply(text, o);
        ASSERT_TRUE(error) << text;
        EXPECT_EQ(*error, expected);
        EXPECT_TRUE(o.values.empty() && o.flags.empty()) << "nothing is taken from a file with a mistake";
    }
}

TEST(CaptureSettings, KeepFreeSizesAndTheOptionsThatCannotGoTogether) {
    std::string error;
    CaptureJob job;
    ParsedOptions o;
    o.flags = {"--ring"};
    for (const auto& [text, bytes] : {std::pair{"500M", 500LL << 20}, std::pair{"2GiB", 2LL << 30},
                                      std::pair{"1048576", 1LL << 20}, std::pair{"4k", 4LL << 10}}) {
        o.values["--keep-free"] = text;
        ASSERT_TRUE(read_capture_options(o, job, error)) << text << ": " << error;
        EXPECT_EQ(job.keep_free, bytes) << text;
    }
    for (const char* bad : {"0", "-5M", "2X", "M", "1.5G"}) {
        o.values["--keep-free"] = bad;
        EXPECT_FALSE(read_capture_options(o, job, error)) << bad;
    }
    ParsedOptions both;
    both.flags = {"--force", "--resume"};
    EXPECT_FALSE(read_capture_options(both, job, error));
    EXPECT_EQ(error, "--force replaces the blocks in DIR and --resume goes on with them: give one of them");
}

// A report whose clocks the test moves, and what it said.
struct Recorder {
    std::vector<std::string> lines, messages;
    std::vector<CaptureState> states;
    std::chrono::steady_clock::time_point now = std::chrono::steady_clock::time_point{} + std::chrono::hours(1000);

    CaptureReport make(bool journal) {
        ReportSinks sinks;
        sinks.log = [this](Priority p, const std::string& text) {
            lines.push_back(journal_lines(p, text, true).substr(0, journal_lines(p, text, true).size() - 1));
        };
        sinks.notify = [this](const std::string& m) { messages.push_back(m); };
        sinks.state = [this](const CaptureState& s) { states.push_back(s); };
        sinks.journal = journal;
        sinks.watchdog = true;
        return CaptureReport(
            {"zamvex capture", "/dev/ttyUSB0", "/srv/buf", 10, nullptr}, sinks, [this] { return now; },
            [] { return 1700000000LL; });
    }
};

TEST(CaptureReporting, WhatTheLogAndTheServiceManagerHearAndWhen) {
    Recorder r;
    CaptureReport report = r.make(true);
    EXPECT_EQ(r.states.back().state, kStarting);
    EXPECT_TRUE(r.messages.empty());  // READY only once it measures
    report.measuring("RV-7020 1.05 (packet mode)", {{0, 0, 0}, 0, 0, 0});
    EXPECT_EQ(r.lines.back(),
              "<6>zamvex capture: started: RV-7020 1.05 (packet mode) on /dev/ttyUSB0 into /srv/buf from block "
              "00000000.mkw");
    ASSERT_GE(r.messages.size(), 2u);
    EXPECT_EQ(r.messages[0], "WATCHDOG=1");
    EXPECT_EQ(r.messages[1], "READY=1\nSTATUS=measuring: 0 blocks, 0.0 KiB/s, 0 data losses, 0 outages");
    EXPECT_EQ(r.states.back().state, kMeasuring);

    // Ten seconds later 2 blocks and a half: 2.5 MiB in 10 s, the watchdog fed, STATUS= again.
    r.messages.clear();
    r.now += 10s;
    report.progress({{0, 2, 2}, 1 << 19, 500, 1}, true);
    EXPECT_EQ(r.messages.front(), "WATCHDOG=1");
    EXPECT_EQ(r.messages.back(),
              "STATUS=measuring: 2 blocks (00000000.mkw to 00000001.mkw), 256.0 KiB/s, 1 data loss, 0 outages");
    EXPECT_EQ(r.states.back().rate, 262144);
    // A protocol loop that is not heard from gets no WATCHDOG=1.
    r.messages.clear();
    r.now += 1500ms;
    report.progress({{0, 2, 2}, 1 << 19, 500, 1}, false);
    EXPECT_TRUE(r.messages.empty());

    const std::size_t before = r.lines.size();
    report.outage("the serial port went away (unplugged?)", {{0, 3, 3}, 0, 0, 1});
    EXPECT_EQ(r.lines.back(),
              "<4>zamvex capture: outage: the serial port went away (unplugged?); block 00000002.mkw and those "
              "before it are kept; waiting for /dev/ttyUSB0 to answer again");
    EXPECT_EQ(r.states.back().state, kWaiting);
    EXPECT_EQ(r.states.back().outages, 1);
    report.attempt_failed("There is no serial device\n'/dev/ttyUSB0'", 2s);
    EXPECT_EQ(r.lines.back(),
              "<4>zamvex capture: attempt 1 failed: There is no serial device '/dev/ttyUSB0'; next attempt "
              "in 2 s");
    r.now += 12s;
    report.measuring("RV-7020 1.05 (packet mode)", {{0, 2, 2}, 4096, 0, 2});
    EXPECT_EQ(r.lines.back(),
              "<6>zamvex capture: resumed after 12 s (attempt 2): RV-7020 1.05 (packet mode) measuring again on "
              "/dev/ttyUSB0 into /srv/buf from block 00000002.mkw");
    EXPECT_EQ(r.lines.size(), before + 3);

    // An hour after the start: one line with the figures since then.
    r.now += 3600s;
    report.progress({{30, 40, 10}, 0, 0, 2}, true);
    report.progress({{30, 40, 10}, 0, 0, 2}, true);
    EXPECT_EQ(r.lines.size(), before + 4);
    EXPECT_EQ(
        r.lines.back().rfind("<6>zamvex capture: 1 h: 40.0 MiB stored, 10 blocks (00000030.mkw to 00000039.mkw)", 0),
        0u)
        << r.lines.back();
    report.ended(true, "RV-7020 1.05 (packet mode): stopped by SIGTERM");
    EXPECT_EQ(r.messages.back(), "STOPPING=1\nSTATUS=stopped: RV-7020 1.05 (packet mode): stopped by SIGTERM");
}

TEST(CaptureReporting, OnATerminalOnlyOutagesAndResumesAreLogged) {
    Recorder r;
    CaptureReport report = r.make(false);
    report.measuring("RV-7020 1.05 (packet mode)", {});
    r.now += 7200s;
    report.progress({}, true);
    report.ended(true, "done");
    EXPECT_TRUE(r.lines.empty());
    report.outage("the analyzer stopped answering", {});
    EXPECT_EQ(r.lines.size(), 1u);
}

TEST(CaptureStateFile, ItsTextReadsBackAndAGoneProcessIsNotRunning) {
    CaptureState s;
    s.pid = 4242;
    s.command = "zamvex capture";
    s.port = "/dev/serial/by-id/usb-FTDI-if00-port0";
    s.folder = "/var/lib/zamvex/a\nb";
    s.state = kWaiting;
    s.next_block = 12;
    s.blocks = 12;
    s.outages = 2;
    const std::string text = state_text(s);
    EXPECT_NE(text.find("\nfolder=/var/lib/zamvex/a b\n"), std::string::npos) << text;
    const auto back = parse_state(text + "later_key=1\n");
    ASSERT_TRUE(back);
    EXPECT_EQ(back->port, s.port);
    EXPECT_EQ(back->state, kWaiting);
    EXPECT_EQ(back->next_block, 12);
    EXPECT_EQ(back->outages, 2);
    EXPECT_FALSE(parse_state("port=/dev/x\n"));

    EXPECT_TRUE(process_running(::getpid(), process_start_ticks(::getpid())));
    EXPECT_FALSE(process_running(::getpid(), process_start_ticks(::getpid()) + 1));  // the pid of another
    const int child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    EXPECT_FALSE(process_running(child, 0));
}

TEST(JournalLines, EveryLineCarriesThePriorityOnlyInTheJournal) {
    EXPECT_EQ(journal_lines(Priority::Error, "zamvex capture: no port\n(see zamvex capture --help)", true),
              "<3>zamvex capture: no port\n<3>(see zamvex capture --help)\n");
    EXPECT_EQ(journal_lines(Priority::Warning, "careful", false), "careful\n");
    EXPECT_EQ(journal_lines(Priority::Info, "a\n", true), "<6>a\n");
}

}  // namespace
}  // namespace cli
