// Replays end to end, each program a process of its own: a buffer exported,
// replayed by `zamvex simulate --replay`, captured and exported again gives
// the same packets in every line mode and link type; a file text2pcap wrote
// replays with its frames intact; and the mistakes a user makes are named.
#include <gtest/gtest.h>

#include <filesystem>

#include "buffer_builder.h"
#include "pcapfile/capture_format.h"
#include "pcapfile/capture_reader.h"
#include "process_util.h"
#include "simulator/replay.h"
#include "simulator/traffic.h"
#include "testing/temp_dir.h"
#include "textlib/frame.h"

using namespace cli_test;
using namespace std::chrono_literals;

namespace {

// A packet as the round trip keeps it: the bytes, the direction and the error bits.
struct Packet {
    std::string bytes;
    std::uint32_t flags;
    bool operator==(const Packet&) const = default;
};

void PrintTo(const Packet& p, std::ostream* os) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    *os << "flags " << std::hex << p.flags << std::dec << ":";
    for (unsigned char c : p.bytes) *os << ' ' << kHex[c >> 4] << kHex[c & 15];
}

// The same packets in the same order; a failure names the first that differs.
void expect_same(const std::vector<Packet>& got, const std::vector<Packet>& want) {
    EXPECT_EQ(got.size(), want.size());
    for (std::size_t k = 0; k < std::min(got.size(), want.size()); ++k) {
        if (got[k] == want[k]) continue;
        ADD_FAILURE() << "packet " << k << " is " << testing::PrintToString(got[k]) << ", not "
                      << testing::PrintToString(want[k]);
        return;
    }
}

constexpr std::uint32_t kKeptFlags =
    pcapfile::kFlagDirectionMask | pcapfile::kFlagCrcError | pcapfile::kFlagTooShort | pcapfile::kFlagSymbolError;

std::vector<Packet> packets_of(const std::string& path) {
    std::string error;
    auto reader = pcapfile::OpenCaptureFile(path, error);
    std::vector<Packet> list;
    if (!reader) {
        ADD_FAILURE() << error;
        return list;
    }
    pcapfile::Packet p;
    while (reader->Next(p))
        list.push_back({std::string(p.data.begin(), p.data.end()), p.flags.value_or(0) & kKeptFlags});
    EXPECT_EQ(reader->Error(), "");
    return list;
}

// The generator's words for a line mode, written as a buffer folder. They end
// where a session ends (its line-state word), not inside a frame: a frame the
// measurement cut off would come back from the replay with an end of its own.
std::string generated_buffer(testing_util::TempDir& dir, simulator::LineMode mode, std::uint64_t seed) {
    simulator::LineConditions c;
    c.mode = mode;
    c.check = mode == simulator::LineMode::Ppp ? 0 : 1;
    c.protocol = simulator::FrameProtocol::Mixed;
    textlib_test::InfoBody body{};
    c.write_info(std::span<std::uint8_t, 34>(body.data(), 34));
    const std::string folder = dir.file("source");
    std::filesystem::create_directory(folder);
    std::vector<std::uint32_t> words = simulator::generate_records(c, seed, 6000);
    while (!words.empty() && (words.back() & 0xFF) != 0x01) words.pop_back();
    textlib_test::WriteBuffer(folder, body, words);
    return folder;
}

// Replays `file` (with the simulator's `options`), captures it until the
// analyzer ends the measurement and exports the capture with `export_args`.
std::string replay_and_export(testing_util::TempDir& dir, const std::string& file,
                              const std::vector<std::string>& options, const std::vector<std::string>& export_args,
                              std::string* summary = nullptr) {
    std::vector<std::string> sim_options{"--replay", file, "--replay-speed", "0"};
    sim_options.insert(sim_options.end(), options.begin(), options.end());
    Simulator sim(sim_options, dir.file("sim.err"));
    const std::string buffer = dir.file("replayed");
    std::filesystem::remove_all(buffer);
    const Outcome capture = zamvex({"capture", "--port", sim.device(), "--folder", buffer}, 60s);
    EXPECT_EQ(capture.exit_code, 0) << capture.err;
    EXPECT_NE(capture.out.find("stopped by the analyzer"), std::string::npos) << capture.out;
    EXPECT_EQ(sim.stop(), 0);
    if (summary) *summary = capture.out + read_text(dir.file("sim.err"));
    const std::string again = dir.file("again.pcapng");
    std::vector<std::string> args{"export", buffer, "--pcapng", again};
    args.insert(args.end(), export_args.begin(), export_args.end());
    const Outcome e = zamvex(args);
    EXPECT_EQ(e.exit_code, 0) << e.err;
    return again;
}

struct Trip {
    simulator::LineMode mode;
    std::vector<std::string> export_args;
    std::vector<std::string> simulate_args;
    std::uint16_t link_type;
};

}  // namespace

TEST(ReplayEndToEnd, ExportReplayCaptureExportGivesTheSamePackets) {
    const Trip trips[] = {
        {simulator::LineMode::Hdlc, {"--frame", "x25"}, {}, pcapfile::kLinkWiresharkPdu},
        {simulator::LineMode::Hdlc, {"--frame", "sdlc", "--link-type", "user0"}, {}, pcapfile::kLinkUser0},
        {simulator::LineMode::Hdlc, {"--frame", "lapd"}, {}, pcapfile::kLinkLapd},
        {simulator::LineMode::Hdlc, {"--link-type", "frelay"}, {}, pcapfile::kLinkFrameRelay},
        {simulator::LineMode::Nrzi, {"--frame", "x25x"}, {"--mode", "nrzi"}, pcapfile::kLinkWiresharkPdu},
        {simulator::LineMode::Ppp, {}, {}, pcapfile::kLinkPppWithDir},
    };
    for (const Trip& t : trips) {
        SCOPED_TRACE("line mode " + std::to_string(static_cast<int>(t.mode)) + ", link type " +
                     std::to_string(t.link_type));
        testing_util::TempDir dir;
        const std::string buffer = generated_buffer(dir, t.mode, 11);
        const std::string first = dir.file("first.pcapng");
        std::vector<std::string> args{"export", buffer, "--pcapng", first};
        args.insert(args.end(), t.export_args.begin(), t.export_args.end());
        const Outcome e = zamvex(args);
        ASSERT_EQ(e.exit_code, 0) << e.err;
        ASSERT_NE(e.out.find("(link type " + std::to_string(t.link_type) + ")"), std::string::npos) << e.out;
        const std::vector<Packet> before = packets_of(first);
        ASSERT_GT(before.size(), 50u);
        // The generated traffic has frames with every end the line can carry.
        std::uint32_t errors = 0;
        for (const Packet& p : before) errors |= p.flags & ~pcapfile::kFlagDirectionMask;
        EXPECT_NE(errors & pcapfile::kFlagSymbolError, 0u);
        if (t.mode != simulator::LineMode::Ppp) {
            EXPECT_EQ(errors, pcapfile::kFlagCrcError | pcapfile::kFlagTooShort | pcapfile::kFlagSymbolError);
        }

        std::string summary;
        const std::vector<Packet> after =
            packets_of(replay_and_export(dir, first, t.simulate_args, t.export_args, &summary));
        expect_same(after, before);
        const std::string frames = std::to_string(before.size()) + " frames";
        EXPECT_NE(summary.find("played to its end: " + frames), std::string::npos) << summary;
        EXPECT_NE(summary.find("0 data losses"), std::string::npos) << summary;
    }
}

TEST(ReplayEndToEnd, AFileText2pcapWroteReplaysWithItsFramesIntact) {
    if (std::system("text2pcap -v >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "text2pcap is not installed (Debian package wireshark-common)";
    testing_util::TempDir dir;
    // Cisco HDLC: a SLARP keepalive each way, then an IP packet; I and O give the directions (-D).
    const std::string hex =
        "O 0000 8f 80 35 00 00 00 02 00 00 00 07 00 00 00 06 ff ff 00 01\n"
        "I 0000 8f 80 35 00 00 00 02 00 00 00 06 00 00 00 07 ff ff 00 01\n"
        "O 0000 0f 00 08 00 45 00 00 1c 00 01 00 00 40 01 f7 7c 0a 00 00 02 0a 00 00 01 08 00 f7 ff 00 00 00 00\n";
    testing_util::write_file(dir.file("frames.txt"), hex);
    const Outcome made =
        run_shell("text2pcap -q -D -l 104 '" + dir.file("frames.txt") + "' '" + dir.file("chdlc.pcapng") + "'", 30s);
    ASSERT_EQ(made.exit_code, 0) << made.err;
    const std::vector<Packet> file = packets_of(dir.file("chdlc.pcapng"));
    ASSERT_EQ(file.size(), 3u);
    // Exported as what they are, Cisco HDLC, they are the file's frames again.
    expect_same(packets_of(replay_and_export(dir, dir.file("chdlc.pcapng"), {}, {"--link-type", "chdlc"})), file);
}

TEST(ReplayEndToEnd, FaultSwitchesStillApply) {
    testing_util::TempDir dir;
    const std::string buffer = generated_buffer(dir, simulator::LineMode::Hdlc, 3);
    const std::string first = dir.file("first.pcapng");
    ASSERT_EQ(zamvex({"export", buffer, "--pcapng", first}).exit_code, 0);
    const std::size_t all = packets_of(first).size();
    // The analyzer plays every frame; what the faults take away the PC counts as lost.
    for (const std::vector<std::string>& fault :
         {std::vector<std::string>{"--drop-frame", "12"}, {"--lose-every", "4"}}) {
        std::string summary;
        const auto lossy = packets_of(replay_and_export(dir, first, fault, {}, &summary));
        EXPECT_LT(lossy.size(), all) << fault[0];
        EXPECT_EQ(summary.find(" 0 data losses"), std::string::npos) << summary;
        EXPECT_NE(summary.find("played to its end: " + std::to_string(all) + " frames"), std::string::npos) << summary;
    }
}

TEST(ReplayEndToEnd, MistakesAreNamedBeforeTheAnalyzerStarts) {
    testing_util::TempDir dir;
    testing_util::write_file(dir.file("broken.pcap"), std::string("\xd4\xc3\xb2\xa1\x02\x00\x04\x00", 8));
    std::vector<std::uint8_t> ethernet{0xd4, 0xc3, 0xb2, 0xa1, 2, 0, 4, 0, 0, 0, 0, 0, 0,   0,
                                       0,    0,    0xff, 0xff, 0, 0, 1, 0, 0, 0, 0, 0, 0,   0,
                                       0,    0,    0,    0,    1, 0, 0, 0, 1, 0, 0, 0, 0x55};
    testing_util::write_file(dir.file("ether.pcap"), ethernet);
    std::vector<std::uint8_t> lapd = ethernet;
    lapd[20] = 203;
    testing_util::write_file(dir.file("lapd.pcap"), lapd);
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string message;
    };
    const Case cases[] = {
        {{"--replay", dir.file("none.pcap")}, 1, dir.file("none.pcap") + ": No such file or directory"},
        {{"--replay", dir.file("broken.pcap")},
         1,
         dir.file("broken.pcap") +
             ": at byte 0: the file ends inside the file header that begins here: it needs 24 bytes, 8 are there"},
        {{"--replay", dir.file("ether.pcap")}, 1, ": at byte 24: link type 1 cannot be replayed; the analyzer plays"},
        {{"--replay", dir.file("lapd.pcap"), "--mode", "ppp"},
         2,
         "--mode does not fit " + dir.file("lapd.pcap") + ": its LAPD (203) frames need an HDLC or NRZI line"},
        {{"--replay-speed", "2"}, 2, "--replay-speed goes with --replay FILE"},
        {{"--replay", dir.file("lapd.pcap"), "--replay-speed", "-1"}, 2, "bad value for --replay-speed: '-1'"},
        {{"--replay", dir.file("lapd.pcap"), "--rate", "100"},
         2,
         "--rate chooses generated traffic; it does not go with --replay"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"simulate"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const Outcome r = zamvex(args, 20s);
        EXPECT_EQ(r.exit_code, c.code) << c.message;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty()) << "no device offered: " << r.out;
    }
}

TEST(ReplayEndToEnd, TheFrameLimitIsTheLayoutsOwn) {
    EXPECT_EQ(simulator::kLongestFrameCells, static_cast<std::size_t>(textlib::kMaxFrameCells));
}
