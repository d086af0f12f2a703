// zamvex-extcap as Wireshark runs it: the extcap answers without a port, and
// tshark from Debian listing the interface, capturing from `zamvex simulate`
// into a file whose packets are those `zamvex export` makes of the kept buffer,
// and ending at once with our message when the port is bad.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <tuple>

#include "process_util.h"
#include "testing/temp_dir.h"

namespace cli_test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

Outcome extcap(const std::vector<std::string>& args, std::chrono::seconds limit = 30s) {
    return run_program(ZAMVEX_EXTCAP_EXE, args, limit);
}

bool tshark_installed() { return std::system("tshark -v >/dev/null 2>&1") == 0; }

// A home folder whose personal extcap folder (Wireshark 4.0's) holds our program;
// WIRESHARK_EXTCAP_DIR is not used for root.
struct TsharkHome {
    testing_util::TempDir dir;
    TsharkHome() {
        const std::string folder = dir.file(".config/wireshark/extcap");
        fs::create_directories(folder);
        fs::create_symlink(ZAMVEX_EXTCAP_EXE, folder + "/zamvex-extcap");
    }
    // `tshark args` with this home, to its end.
    Outcome tshark(const std::string& args, std::chrono::seconds limit) {
        return run_shell("unset XDG_CONFIG_HOME; HOME='" + dir.path() + "' exec tshark " + args, limit);
    }
};

TEST(Extcap, AnswersWiresharksQuestionsWithoutOpeningAPort) {
    const Outcome list = extcap({"--extcap-interfaces", "--extcap-version=4.0"});
    ASSERT_EQ(list.exit_code, 0) << list.err;
    EXPECT_EQ(list.out.rfind("extcap {version=1.0}{help=", 0), 0u) << list.out;
    EXPECT_NE(list.out.find("\ninterface {value=zamvex}{display="), std::string::npos) << list.out;

    const Outcome dlts = extcap({"--extcap-interface", "zamvex", "--extcap-dlts"});
    ASSERT_EQ(dlts.exit_code, 0);
    EXPECT_EQ(dlts.out.rfind("dlt {number=252}{name=WIRESHARK_UPPER_PDU}", 0), 0u) << dlts.out;

    const Outcome config = extcap({"--extcap-interface", "zamvex", "--extcap-config"});
    ASSERT_EQ(config.exit_code, 0);
    for (const char* line : {"arg {number=0}{call=--port}{display=Port}{type=string}{required=true}",
                             "value {arg=1}{value=115200}{display=115200}{default=true}",
                             "value {arg=1}{value=auto}{display=auto (try each, most common first)}{default=false}",
                             "value {arg=2}{value=none}{display=None}{default=true}",
                             "value {arg=3}{value=x25}{display=X.25 (LAPB modulo 8)}{default=true}",
                             "value {arg=3}{value=lapd}{display=LAPD (Q.931)}{default=false}",
                             "arg {number=4}{call=--folder}", "arg {number=5}{call=--ring-blocks}",
                             "value {arg=6}{value=upper-pdu}{display=LAPB tagged for Wireshark (252), LAPD (203)}"
                             "{default=true}",
                             "value {arg=6}{value=user0}{display=LAPB on user link type 0 (147)}{default=false}"})
        EXPECT_NE(config.out.find(line), std::string::npos) << line << "\n" << config.out;

    const Outcome other = extcap({"--extcap-interface", "eth0", "--extcap-dlts"});
    EXPECT_EQ(other.exit_code, 2);
}

TEST(Extcap, ErrorsBeforeTheCaptureOpenAndCloseTheFifoAndSayWhyOnOneLine) {
    testing_util::TempDir dir;
    const std::string fifo = dir.file("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // The reading end, as Wireshark holds it; it sees the end of the stream at once.
    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    const Outcome bad =
        extcap({"--extcap-interface", "zamvex", "--capture", "--fifo", fifo, "--port", dir.file("no-such-port")}, 20s);
    EXPECT_EQ(bad.exit_code, 1);
    EXPECT_EQ(std::count(bad.err.begin(), bad.err.end(), '\n'), 1) << bad.err;
    EXPECT_EQ(bad.err.rfind("zamvex-extcap: ", 0), 0u) << bad.err;
    char c;
    EXPECT_EQ(read(reader, &c, 1), 0) << "the fifo was opened and closed";
    const Outcome measuring = [&] {
        Simulator sim({"--measuring"});
        return extcap({"--extcap-interface", "zamvex", "--capture", "--fifo", fifo, "--port", sim.device()}, 30s);
    }();
    EXPECT_EQ(measuring.exit_code, 1);
    EXPECT_NE(measuring.err.find("measuring"), std::string::npos) << measuring.err;
    close(reader);
}

TEST(Extcap, TsharkListsTheInterfaceFromThePersonalFolder) {
    if (!tshark_installed()) GTEST_SKIP() << "tshark is not installed";
    TsharkHome home;
    const Outcome list = home.tshark("-D", 60s);
    EXPECT_NE(list.out.find("zamvex (ZAMVEX-3 serial line analyzer"), std::string::npos) << list.out << list.err;
}

// One packet as compared: time, flags and bytes.
using Packet = std::tuple<std::uint64_t, std::uint32_t, std::string>;

std::uint32_t u32(const std::string& b, std::size_t at) {
    return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8 |
           static_cast<std::uint8_t>(b[at + 2]) << 16 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 3])) << 24;
}

// The enhanced packet blocks of a little-endian pcapng file.
std::vector<Packet> packets(const std::string& file) {
    std::vector<Packet> list;
    for (std::size_t at = 0; at + 12 <= file.size();) {
        const std::uint32_t type = u32(file, at), length = u32(file, at + 4);
        if (length < 12 || at + length > file.size()) break;
        if (type == 6) {
            const std::uint32_t captured = u32(file, at + 20);
            std::uint32_t flags = 0;
            // Options after the padded data: epb_flags is option 2.
            for (std::size_t o = at + 28 + ((captured + 3) & ~3u); o + 4 <= at + length - 4;) {
                const unsigned code = u32(file, o) & 0xFFFF, size = u32(file, o) >> 16;
                if (code == 0) break;
                if (code == 2 && size == 4) flags = u32(file, o + 4);
                o += 4 + ((size + 3) & ~3u);
            }
            list.emplace_back(std::uint64_t{u32(file, at + 12)} << 32 | u32(file, at + 16), flags,
                              file.substr(at + 28, captured));
        }
        at += length;
    }
    return list;
}

TEST(Extcap, TsharkCapturesThePacketsThatTheExportOfTheKeptBufferHolds) {
    if (!tshark_installed()) GTEST_SKIP() << "tshark is not installed";
    TsharkHome home;
    Simulator sim({"--protocol", "lapd", "--rate", "1000"});
    const std::string buffer = home.dir.file("buffer"), out = home.dir.file("out.pcapng");
    const Outcome capture = home.tshark("-i zamvex -o 'extcap.zamvex.port:" + sim.device() +
                                            "' -o extcap.zamvex.frame:lapd -o 'extcap.zamvex.folder:" + buffer +
                                            "' -a duration:5 -w '" + out + "'",
                                        60s);
    ASSERT_EQ(capture.exit_code, 0) << capture.err;
    const Outcome exported =
        run_program(ZAMVEX_EXE, {"export", buffer, "--pcapng", home.dir.file("export.pcapng"), "--frame", "lapd"}, 60s);
    ASSERT_EQ(exported.exit_code, 0) << exported.err;
    const auto live = packets(read_text(out));
    const auto all = packets(read_text(home.dir.file("export.pcapng")));
    ASSERT_GT(live.size(), 10u) << capture.err;
    ASSERT_LE(live.size(), all.size());
    for (std::size_t k = 0; k < live.size(); ++k) EXPECT_EQ(live[k], all[k]) << "packet " << k;
    EXPECT_NE(read_text(out).find(std::string("\xCB\x00", 2)), std::string::npos) << "LAPD link type 203 in the IDB";
}

TEST(Extcap, FifoDashWritesTheStreamToStdout) {
    testing_util::TempDir dir;
    Simulator sim({"--protocol", "lapd", "--rate", "1000"});
    const std::string out = dir.file("out.pcapng");
    const int out_fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err_fd = open(dir.file("err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int pid = spawn_program(
        ZAMVEX_EXTCAP_EXE,
        {"--extcap-interface", "zamvex", "--capture", "--fifo", "-", "--port", sim.device(), "--frame", "lapd"}, out_fd,
        err_fd);
    close(out_fd);
    close(err_fd);
    EXPECT_TRUE(eventually([&] { return packets(read_text(out)).size() >= 5; }, 30s)) << read_text(dir.file("err"));
    kill(pid, SIGTERM);
    EXPECT_EQ(wait_for(pid, 10s), 0) << read_text(dir.file("err"));
}

TEST(Extcap, ABadPortEndsTsharkAtOnceWithOurMessage) {
    if (!tshark_installed()) GTEST_SKIP() << "tshark is not installed";
    TsharkHome home;
    // tshark's own start (its dissectors, every extcap's interface list) is
    // the baseline; on a busy machine it alone takes seconds.
    auto started = std::chrono::steady_clock::now();
    home.tshark("-D", 60s);
    const auto baseline = std::chrono::steady_clock::now() - started;
    started = std::chrono::steady_clock::now();
    const Outcome r = home.tshark("-i zamvex -o 'extcap.zamvex.port:" + home.dir.file("no-such-port") +
                                      "' -a duration:60 -w '" + home.dir.file("out.pcapng") + "'",
                                  60s);
    EXPECT_LT(std::chrono::steady_clock::now() - started, baseline + 5s) << "tshark waited for a capture that failed";
    EXPECT_NE(r.exit_code, 0);
    EXPECT_NE(r.err.find("zamvex-extcap: "), std::string::npos) << r.err;
}

}  // namespace
}  // namespace cli_test
