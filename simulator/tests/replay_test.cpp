// Capture files replayed: the check before the analyzer starts, the record
// words of each frame (direction, fresh FCS, error ends), the pace of the
// file's times, and looping.
#include <gtest/gtest.h>

#include <filesystem>

#include "capture_builder.h"
#include "line/wire.h"
#include "pcapfile/upper_pdu.h"
#include "replay/replay.h"
#include "simulator/records.h"
#include "testing/temp_dir.h"

namespace simulator {
namespace {

using namespace pcapfile_test;
using pcapfile_test::operator+;
using pcapfile::kFlagCrcError;
using pcapfile::kFlagInbound;
using pcapfile::kFlagOutbound;

class ReplayFiles : public ::testing::Test {
protected:
    std::string write(const Bytes& file) {
        const std::string path = dir.file("f" + std::to_string(++n) + ".pcapng");
        testing_util::write_file(path, file);
        return path;
    }
    // Every record word of the file at speed 0, on the given line.
    std::vector<std::uint32_t> words(const std::string& path, LineMode mode, ReplayReport* report = nullptr) {
        ReplayOptions o{path, 0, false, 0, 0};
        Replay r(o, 0);
        LineConditions c;
        c.mode = mode;
        c.check = mode == LineMode::Ppp ? 0 : 1;
        r.begin(c);
        std::vector<std::uint32_t> all = r.take(0, 100000);
        EXPECT_TRUE(r.ended());
        if (report) *report = r.report();
        return all;
    }
    testing_util::TempDir dir;
    int n = 0;
};

const Bytes kLapd{0x02, 0x81, 0x7F}, kLapdRr{0x00, 0x81, 0x01, 0x01};

std::vector<std::uint32_t> hdlc(Direction d, const Bytes& b, std::uint8_t check_status = kCheckGood) {
    std::vector<std::uint32_t> w{time_stamp_word(d, 0, 0, 0), cell_word(d, kOpenFlag, 0x7E)};
    for (auto c : b) w.push_back(cell_word(d, kChar, c));
    const std::uint16_t fcs = crc16_x25(b);
    w.push_back(cell_word(d, check_status, static_cast<std::uint8_t>(check_status == kCheckGood ? fcs : ~fcs)));
    w.push_back(cell_word(d, kCloseFlag, 0x7E));
    return w;
}

std::vector<std::uint32_t> operator+(std::vector<std::uint32_t> a, const std::vector<std::uint32_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(ReplayFiles, CheckTakesPlayedLinksAndNamesWhatItCannotPlay) {
    ReplayFile f;
    const std::string lapd = write(PcapFile(false, false, 203, {{1, 0, kLapd, 0}, {2, 0, kLapdRr, 0}}));
    ASSERT_EQ(check_replay_file(lapd, f), "");
    EXPECT_EQ(f.mode, LineMode::Hdlc);
    EXPECT_EQ(f.frames, 2u);
    const std::string ppp = write(SectionHeader(false) + Interface(false, 9) + Interface(false, 204) +
                                  PacketBlock(false, 1, 0, {1, 0xC0, 0x21}) + PacketBlock(false, 0, 0, {0x21, 0x45}));
    ASSERT_EQ(check_replay_file(ppp, f), "");
    EXPECT_EQ(f.mode, LineMode::Ppp);
    EXPECT_EQ(f.link_types, (std::vector<std::uint32_t>{204, 9}));

    const Bytes mixed = SectionHeader(false) + Interface(false, 203) + Interface(false, 9) +
                        PacketBlock(false, 0, 0, kLapd) + PacketBlock(false, 1, 0, {0x21});
    const struct {
        Bytes file;
        std::string error;  // after "FILE: "
    } cases[] = {
        {PcapFile(false, false, 1, {{0, 0, kLapd, 0}}),
         "at byte 24: link type 1 cannot be replayed; the analyzer plays PPP (9), PPP_HDLC (50), PPP_WITH_DIR (204) "
         "on a PPP line; C_HDLC (104), FRELAY (107), USER0 (147), LINUX_LAPD (177), LAPD (203), LAPB_WITH_DIR (207), "
         "WIRESHARK_UPPER_PDU (252) naming lapb or lapd on an HDLC line"},
        {mixed, "at byte 104: a PPP (9) packet after LAPD (203) ones: one replay plays the frames of one line mode"},
        {PcapFile(false, false, 252, {{0, 0, pcapfile::UpperPduHeader("sip") + kLapd, 0}}),
         "at byte 24: the packet's tags name the protocol 'sip'; the analyzer plays lapb and lapd"},
        {PcapFile(false, false, 177, {{0, 0, {0, 4, 0, 0, 0}, 0}}),
         "at byte 24: a LINUX_LAPD packet of 5 bytes is shorter than its 16-byte pseudo-header"},
        {PcapFile(false, false, 204, {{0, 0, {}, 0}}), "at byte 24: a PPP_WITH_DIR packet without its direction byte"},
        {PcapFile(false, false, 203, {}), "the file holds no packets to replay"},
        {Bytes{1, 2, 3, 4, 5}, "at byte 0: not a pcap or pcapng file (it begins 01 02 03 04)"},
    };
    for (const auto& c : cases) {
        const std::string path = write(c.file);
        EXPECT_EQ(check_replay_file(path, f), path + ": " + c.error);
    }
    EXPECT_EQ(check_replay_file(dir.file("none"), f), dir.file("none") + ": No such file or directory");
}

TEST_F(ReplayFiles, FramesGoOutAsTheFileHoldsThemWithAFreshFcs) {
    // Outbound, inbound with a bad FCS, then one without flags, cut short in the file.
    const std::string path =
        write(SectionHeader(false) + Interface(false, 203) + PacketBlock(false, 0, 0, kLapd, kFlagOutbound) +
              PacketBlock(false, 0, 0, kLapdRr, kFlagInbound | kFlagCrcError) +
              PacketBlock(false, 0, 0, kLapd, std::nullopt, 40));
    ReplayReport r;
    EXPECT_EQ(words(path, LineMode::Hdlc, &r),
              std::vector<std::uint32_t>{line_state_word(0, 0x38)} + hdlc(Direction::Sd, kLapd) +
                  hdlc(Direction::Rd, kLapdRr, kCheckError) + hdlc(Direction::Sd, kLapd));
    EXPECT_EQ(r.sd, 2u);
    EXPECT_EQ(r.rd, 1u);
    EXPECT_EQ(r.cut_short, 1u);
    EXPECT_EQ(r.rounds, 1u);
    EXPECT_TRUE(r.finished);
    EXPECT_EQ(r.error, "");
}

TEST_F(ReplayFiles, DirectionsFromPseudoHeadersAndPacketFlags) {
    Bytes linux_out(16, 0), linux_in(16, 0);
    linux_out[1] = 4;  // sent by the host
    const auto count = [this](const Bytes& file) {
        ReplayReport r;
        words(write(file), LineMode::Hdlc, &r);
        return std::pair{r.sd, r.rd};
    };
    EXPECT_EQ(count(PcapFile(false, false, 207, {{0, 0, {1, 0x01, 0x3F}, 0}, {0, 0, {0, 0x01, 0x73}, 0}})),
              (std::pair<std::uint64_t, std::uint64_t>{1, 1}));
    EXPECT_EQ(count(PcapFile(false, false, 177, {{0, 0, linux_out + kLapd, 0}, {0, 0, linux_in + kLapd, 0}})),
              (std::pair<std::uint64_t, std::uint64_t>{1, 1}));
    // No direction at all: SD. The packet flags win over a direction byte.
    EXPECT_EQ(count(PcapFile(false, false, 104, {{0, 0, {0x0F, 0x00, 0x80, 0x35}, 0}})),
              (std::pair<std::uint64_t, std::uint64_t>{1, 0}));
    EXPECT_EQ(
        count(SectionHeader(false) + Interface(false, 207) + PacketBlock(false, 0, 0, {1, 1, 0x73}, kFlagInbound)),
        (std::pair<std::uint64_t, std::uint64_t>{0, 1}));
}

TEST_F(ReplayFiles, PppFramesGetTheirFcsOnceAndTheirEscapes) {
    const Bytes lcp{0xFF, 0x03, 0xC0, 0x21, 0x09, 0x01, 0x00, 0x04};
    const std::uint16_t fcs = crc16_x25(lcp);
    Bytes with_fcs = lcp;
    with_fcs.push_back(static_cast<std::uint8_t>(fcs));
    with_fcs.push_back(static_cast<std::uint8_t>(fcs >> 8));
    const auto plain = words(write(PcapFile(false, false, 9, {{0, 0, lcp, 0}})), LineMode::Ppp);
    EXPECT_EQ(words(write(PcapFile(false, false, 204, {{0, 0, Bytes{1} + with_fcs, 0}})), LineMode::Ppp), plain);
    std::vector<std::uint32_t> want{line_state_word(0, 0x38), time_stamp_word(Direction::Sd, 0, 0, 0),
                                    sd_word(kChar, 0x7E)};
    for (std::uint8_t b : with_fcs) {
        if (b < 0x20 || b == 0x7D || b == 0x7E) {
            want.push_back(sd_word(kChar, 0x7D));
            b ^= 0x20;
        }
        want.push_back(sd_word(kChar, b));
    }
    want.push_back(sd_word(kChar, 0x7E));
    EXPECT_EQ(plain, want);
}

TEST_F(ReplayFiles, AFileThatChangesWhileItPlaysEndsTheReplayWithTheReason) {
    const std::string path = write(PcapFile(false, false, 203, {{0, 0, kLapd, 0}, {0, 0, kLapd, 0}, {0, 0, kLapd, 0}}));
    LineConditions c;
    // Shorter than the check counted it.
    Replay fewer(ReplayOptions{path, 0, false, 4, 0}, 0);
    fewer.begin(c);
    fewer.take(0, 100000);
    EXPECT_TRUE(fewer.ended());
    EXPECT_EQ(fewer.report().error,
              path + ": the file ended after 3 of its 4 frames: it changed while it was replayed");
    EXPECT_FALSE(fewer.report().finished);
    // Cut inside a record after the replay began, past what the reader has buffered.
    const std::string longer = write(PcapFile(false, false, 203, std::vector<Record>(1000, Record{0, 0, kLapd, 0})));
    Replay cut(ReplayOptions{longer, 0, false, 1000, 0}, 0);
    cut.begin(c);
    std::filesystem::resize_file(longer, 24 + 500 * 19 + 18);
    cut.take(0, 100000);
    EXPECT_TRUE(cut.ended());
    EXPECT_EQ(cut.report().error, longer +
                                      ": at byte 9524: the file ends inside the record that begins here: it "
                                      "needs 19 bytes, 18 are there");
    EXPECT_EQ(cut.report().sd, 500u);
}

TEST_F(ReplayFiles, FramesLongerThanThePcKeepsAreCounted) {
    ReplayReport r;
    words(write(PcapFile(false, false, 104, {{0, 0, Bytes(1024, 0x0F), 0}, {0, 0, Bytes(1025, 0x0F), 0}})),
          LineMode::Hdlc, &r);
    EXPECT_EQ(r.too_long, 1u);
    // On a PPP line the escapes and the FCS are cells too: 512 flag bytes make 1024 cells, and the FCS more.
    words(write(PcapFile(false, false, 9, {{0, 0, Bytes(512, 0x7E), 0}, {0, 0, Bytes(500, 0x7E), 0}})), LineMode::Ppp,
          &r);
    EXPECT_EQ(r.too_long, 1u);
}

TEST_F(ReplayFiles, FramesKeepTheFilesPaceAndStampsFollowTheClock) {
    // Frames at 10 s, 10.5 s and 12 s; the measurement started at 1 s on a clock
    // that reads 08:00:00 at 0.
    const std::string path =
        write(PcapFile(false, false, 203, {{10, 0, kLapd, 0}, {10, 500000, kLapd, 0}, {12, 0, kLapd, 0}}));
    const auto stamps = [](const std::vector<std::uint32_t>& w) {
        std::vector<std::uint32_t> s;
        for (auto x : w)
            if ((x & 0x3F) == 3 || (x & 0x3F) == 2) s.push_back(x);
        return s;
    };
    for (const double speed : {1.0, 2.0}) {
        ReplayOptions o{path, speed, true, 0, 8 * 3600 * 1000};
        Replay r(o, 1000);
        LineConditions c;
        c.check = 1;
        r.begin(c);
        const auto at = [&](std::uint64_t ms) {
            return stamps(r.take(1000 + static_cast<std::uint64_t>(ms / speed), 100000));
        };
        EXPECT_EQ(at(0), (std::vector<std::uint32_t>{time_stamp_word(Direction::Sd, 8, 0, 1)}));
        EXPECT_EQ(at(490), (std::vector<std::uint32_t>{}));
        // 500 ms of quiet line, in the 100 ms idle unit, before the second frame.
        EXPECT_EQ(at(500), (std::vector<std::uint32_t>{idle_word(static_cast<std::uint16_t>(5 / speed)),
                                                       time_stamp_word(Direction::Sd, 8, 0, 1)}));
        // The last frame after its quiet time and, looping, the first one again at once.
        EXPECT_EQ(at(2000).size(), 3u);
        EXPECT_EQ(r.report().rounds, 1u);
        EXPECT_EQ(at(2500).size(), 2u);
        EXPECT_EQ(r.report().sd, 5u);
        EXPECT_FALSE(r.ended());
    }
}

}  // namespace
}  // namespace simulator
