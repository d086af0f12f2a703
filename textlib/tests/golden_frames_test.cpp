// Frame, packet and PPP translations of whole hand-built conversations,
// compared byte for byte with reviewed expected files in tests/data.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <optional>

#include "buffer_builder.h"
#include "convert_harness.h"
#include "frame_words.h"

using namespace textlib_test;

namespace {

std::vector<int> Concat(std::vector<int> a, const std::vector<int>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A stamped HDLC frame of one direction.
void Add(std::vector<std::uint32_t>& w, bool rd, int h, int m, int s, const std::vector<int>& bytes,
         int fcs = kFcsGood) {
    w.push_back(TimeStamp(rd, h, m, s));
    Append(w, HdlcFrame(rd, bytes, fcs));
}

// LAPB link set-up, an X.25 call with data both ways, a frame lost to an
// abort, a gap, a clearing and the link's disconnection. SD is the DTE.
std::vector<std::uint32_t> X25Conversation() {
    std::vector<std::uint32_t> w;
    Add(w, false, 10, 0, 0, {0x03, 0x3F});                  // SABM P
    Add(w, true, 10, 0, 0, {0x03, 0x73});                   // UA F
    Append(w, {Sd(0x7E, kOpenFlag), Sd(0x7E, kCloseFlag)});  // idle flags
    Add(w, false, 10, 0, 1, {0x01, 0x00, 0x10, 0x01, 0x0B, 0x55, 0x12, 0x34, 0x56, 0x78, 0x90, 0x00});   // CR
    Add(w, true, 10, 0, 1, {0x01, 0x21});                   // RR N(R) 1
    Add(w, true, 10, 0, 2, {0x03, 0x20, 0x10, 0x01, 0x0F});  // CC
    Add(w, false, 10, 0, 2, {0x03, 0x21});                  // RR
    // A data packet from the DTE while the DCE answers with an RR packet.
    w.push_back(TimeStamp(false, 10, 0, 3));
    w.push_back(TimeStamp(true, 10, 0, 3));
    std::vector<int> hello{0x01, 0x22, 0x10, 0x01, 0x00, 'H', 'E', 'L', 'L', 'O', 0x0D, 0x0A};
    Append(w, Overlay(HdlcFrame(false, hello), HdlcFrame(true, {0x03, 0x42, 0x10, 0x01, 0x21})));
    std::vector<int> block{0x01, 0x44, 0x10, 0x01, 0x32};   // a long data packet, FCS error
    for (int k = 0; k < 64; ++k) block.push_back(0x20 + k);
    Add(w, false, 10, 0, 4, block, kFcsBad);
    Add(w, true, 10, 0, 4, {0x01, 0x49});                   // REJ N(R) 2
    w.push_back(TimeStamp(false, 10, 0, 5));                // aborted while being sent
    Append(w, {Sd(0x7E, kOpenFlag), Sd(0x01), Sd(0x44), Sd(0xFF, kAbortMark), Sd(0x7E, kCloseFlag)});
    w.push_back(Gap(12));
    Add(w, false, 10, 0, 6, {0x01, 0x44, 0x10, 0x01, 0x13, 0x00, 0x00});   // CQ
    Add(w, true, 10, 0, 6, {0x03, 0x64, 0x10, 0x01, 0x17});  // CF
    Add(w, true, 10, 0, 7, {0x03, 0x87, 0x44, 0x46, 0x01}); // FRMR
    Add(w, false, 10, 0, 8, {0x03, 0x53});                  // DISC P
    Add(w, true, 10, 0, 8, {0x03, 0x73});                   // UA F
    w.push_back(TimeStamp(true, 10, 0, 9));                 // a short frame
    Append(w, {Rd(0x7E, kOpenFlag), Rd(0x03), Rd(0x00, kShortMark)});
    return w;
}

// A basic-rate call: TEI assignment, multiple-frame set-up, an outgoing call
// answered, cleared by the user, and the link released. SD is the user side.
std::vector<std::uint32_t> Q931Call() {
    std::vector<std::uint32_t> w;
    const std::vector<int> user{0x00, 0x81}, net{0x02, 0x81}, userResp{0x02, 0x81}, netResp{0x00, 0x81};
    Add(w, false, 14, 20, 0, {0xFC, 0xFF, 0x03, 0x0F, 0x12, 0x34, 0x01, 0xFF});   // TEI request
    Add(w, true, 14, 20, 0, {0xFE, 0xFF, 0x03, 0x0F, 0x12, 0x34, 0x02, 0x81});    // TEI assigned
    Add(w, false, 14, 20, 1, Concat(user, {0x7F}));                                // SABME P
    Add(w, true, 14, 20, 1, Concat(netResp, {0x73}));                              // UA F
    Add(w, false, 14, 20, 2, Concat(user, {0x00, 0x00, 0x08, 0x01, 0x01, 0x05, 0x04, 0x03, 0x80, 0x90, 0xA2, 0x18,
                                           0x01, 0x89, 0x70, 0x05, 0x81, 0x31, 0x32, 0x33, 0x34}));   // SETUP
    Add(w, true, 14, 20, 2, Concat(netResp, {0x01, 0x02}));                        // RR N(R) 1
    Add(w, true, 14, 20, 2, Concat(net, {0x00, 0x02, 0x08, 0x01, 0x81, 0x02, 0x18, 0x01, 0x89}));   // CALL PROC
    Add(w, false, 14, 20, 3, Concat(userResp, {0x01, 0x02}));                      // RR
    Add(w, true, 14, 20, 5, Concat(net, {0x02, 0x02, 0x08, 0x01, 0x81, 0x01}));   // ALERT
    Add(w, true, 14, 20, 9, Concat(net, {0x04, 0x02, 0x08, 0x01, 0x81, 0x07}));   // CONN
    Add(w, false, 14, 20, 9, Concat(user, {0x02, 0x06, 0x08, 0x01, 0x01, 0x0F}));  // CONN ACK
    Add(w, true, 14, 21, 0, Concat(netResp, {0x01, 0x05}));                        // RR with F
    Add(w, false, 14, 22, 30, Concat(user, {0x04, 0x06, 0x08, 0x01, 0x01, 0x45, 0x08, 0x02, 0x80, 0x90}));   // DISC
    Add(w, true, 14, 22, 30, Concat(net, {0x06, 0x06, 0x08, 0x01, 0x81, 0x4D}));  // REL
    Add(w, false, 14, 22, 31, Concat(user, {0x06, 0x08, 0x08, 0x01, 0x01, 0x5A}), kFcsBad);   // REL COMP, FCS error
    Add(w, false, 14, 22, 31, Concat(user, {0x08, 0x08, 0x08, 0x01, 0x01, 0x5A}));   // REL COMP again
    Add(w, true, 14, 22, 31, Concat(net, {0x08, 0x0A, 0x08, 0x00, 0x7E}));         // unknown message, dummy reference
    Add(w, false, 14, 22, 32, Concat(user, {0x53}));                               // DISC P
    Add(w, true, 14, 22, 32, Concat(netResp, {0x73}));                             // UA F
    return w;
}

// A stamped PPP frame of one direction.
void AddPpp(std::vector<std::uint32_t>& w, bool rd, int h, int m, int s, const std::vector<int>& bytes) {
    w.push_back(TimeStamp(rd, h, m, s));
    Append(w, PppFrame(rd, bytes));
}

// LCP options both ways, PAP, IPCP with a NAK, one IP datagram each way, an
// echo without time stamps, a gap and the link's termination. SD is the client.
std::vector<std::uint32_t> PppNegotiation() {
    std::vector<std::uint32_t> w;
    const std::vector<int> lcp{0xFF, 0x03, 0xC0, 0x21};
    AddPpp(w, false, 8, 15, 0, Concat(lcp, {0x01, 0x01, 0x00, 0x12, 0x01, 0x04, 0x05, 0xDC, 0x02, 0x06, 0x00, 0x00,
                                            0x00, 0x00, 0x05, 0x06, 0x12, 0x34, 0x56, 0x78, 0x4A, 0x7E}));
    AddPpp(w, true, 8, 15, 0, Concat(lcp, {0x01, 0x07, 0x00, 0x0E, 0x03, 0x04, 0xC0, 0x23, 0x05, 0x06, 0x0A, 0xBC,
                                           0xDE, 0xF0, 0x91, 0x3D}));
    AddPpp(w, true, 8, 15, 0, Concat(lcp, {0x02, 0x01, 0x00, 0x12, 0x01, 0x04, 0x05, 0xDC, 0x02, 0x06, 0x00, 0x00,
                                           0x00, 0x00, 0x05, 0x06, 0x12, 0x34, 0x56, 0x78, 0x2B, 0x19}));
    AddPpp(w, false, 8, 15, 1, Concat(lcp, {0x02, 0x07, 0x00, 0x0E, 0x03, 0x04, 0xC0, 0x23, 0x05, 0x06, 0x0A, 0xBC,
                                            0xDE, 0xF0, 0x66, 0x02}));
    AddPpp(w, false, 8, 15, 1, {0xC0, 0x23, 0x01, 0x01, 0x00, 0x0E, 0x04, 'u', 's', 'e', 'r', 0x02, 'p', 'w',
                                0x5C, 0x11});                                                          // PAP, compressed
    AddPpp(w, true, 8, 15, 1, {0xFF, 0x03, 0xC0, 0x23, 0x02, 0x01, 0x00, 0x05, 0x00, 0x8E, 0x43});  // PAP ack
    AddPpp(w, false, 8, 15, 2, {0x80, 0x21, 0x01, 0x01, 0x00, 0x0A, 0x03, 0x06, 0x00, 0x00, 0x00, 0x00, 0x21, 0x7D});
    AddPpp(w, true, 8, 15, 2, {0x80, 0x21, 0x03, 0x01, 0x00, 0x0A, 0x03, 0x06, 0xC0, 0xA8, 0x01, 0x02, 0x9A, 0x04});
    AddPpp(w, false, 8, 15, 2, {0x80, 0x21, 0x01, 0x02, 0x00, 0x0A, 0x03, 0x06, 0xC0, 0xA8, 0x01, 0x02, 0x37, 0x6B});
    AddPpp(w, true, 8, 15, 2, {0x80, 0x21, 0x02, 0x02, 0x00, 0x0A, 0x03, 0x06, 0xC0, 0xA8, 0x01, 0x02, 0x0C, 0xE1});
    std::vector<int> ip{0x21, 0x45, 0x00, 0x00, 0x54, 0x1C, 0x46, 0x40, 0x00, 0x40, 0x01, 0x7E, 0x7D, 0xC0, 0xA8,
                        0x01, 0x02, 0xC0, 0xA8, 0x01, 0x01};
    for (int k = 0; k < 40; ++k) ip.push_back(k);   // ICMP echo data, cut by the line width
    AddPpp(w, false, 8, 15, 3, ip);
    AddPpp(w, true, 8, 15, 3, {0x00, 0x21, 0x45, 0x00, 0x00, 0x14, 0x00, 0x01, 0x00, 0x00, 0x3F, 0x06});
    Append(w, PppFrame(false, Concat(lcp, {0x09, 0x03, 0x00, 0x08, 0x12, 0x34, 0x56, 0x78, 0x70, 0x0F})));   // no stamp
    w.push_back(Gap(3));
    AddPpp(w, false, 8, 16, 0, Concat(lcp, {0x05, 0x04, 0x00, 0x04, 0xA1, 0x5B}));   // TERM-REQ
    AddPpp(w, true, 8, 16, 0, Concat(lcp, {0x06, 0x04, 0x00, 0x04, 0x3C, 0x07}));    // TERM-ACK
    AddPpp(w, true, 8, 16, 1, {0xC0, 0x25});                                          // LQR, nothing more
    return w;
}

std::string Expected(const std::string& name) { return ReadText(std::string(TEXTLIB_TEST_DATA) + "/" + name); }

struct GoldenCase {
    const char* expected;
    std::vector<std::uint32_t> (*words)();
    InfoBody (*body)();
    int frame;    // TranslateFrame
    int packet;   // TranslatePacket
};

class GoldenFrames : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenFrames, MatchesReviewedOutput) {
    const GoldenCase& c = GetParam();
    testing_util::TempDir dir;
    std::string buffer = dir.file("buffer"), out = dir.file("out");
    std::filesystem::create_directory(buffer);
    std::filesystem::create_directory(out);
    WriteBuffer(buffer, c.body(), c.words());

    ConvertOptions o = DefaultOptions(out);
    o.PrintFormat = 1;   // Translate
    o.GuideCut = 1;      // translations keep their header box all the same
    o.TranslateFrame = c.frame;
    o.TranslatePacket = c.packet;
    Converted r = Convert(buffer, o);
    ASSERT_EQ(r.code, 0);
    EXPECT_EQ(ReadText(out + "/T_00000000.txt"), Expected(c.expected));
    EXPECT_FALSE(std::filesystem::exists(out + "/T_00000001.txt"));
}

INSTANTIATE_TEST_SUITE_P(
    Conversations, GoldenFrames,
    ::testing::Values(GoldenCase{"hdlc_x25_frames.txt", X25Conversation, HdlcBody, 1, 0},
                      GoldenCase{"hdlc_x25_packets.txt", X25Conversation, HdlcBody, 1, 1},
                      GoldenCase{"lapd_q931_frames.txt", Q931Call, HdlcBody, 4, 0},
                      GoldenCase{"lapd_q931_packets.txt", Q931Call, HdlcBody, 4, 3},
                      GoldenCase{"ppp_negotiation.txt", PppNegotiation, PppBody, 0, 0}),
    [](const ::testing::TestParamInfo<GoldenCase>& info) {
        std::string name = info.param.expected;
        return name.substr(0, name.find('.'));
    });

}  // namespace

namespace {

struct JobOutput {
    std::optional<int> code;
    std::string text;
};

JobOutput RunJob(const InfoBody& body, const std::vector<std::uint32_t>& words, ConvertOptions o) {
    testing_util::TempDir dir;
    std::string buffer = dir.file("buffer");
    std::filesystem::create_directory(buffer);
    WriteBuffer(buffer, body, words);
    std::snprintf(o.SavePath, sizeof o.SavePath, "%s", dir.path().c_str());
    JobOutput r{Convert(buffer, o).code, {}};
    if (std::filesystem::exists(dir.file("T_00000000.txt"))) r.text = ReadText(dir.file("T_00000000.txt"));
    return r;
}

ConvertOptions TranslateOptions(int frame, int packet) {
    ConvertOptions o = DefaultOptions("");
    o.PrintFormat = 1;
    o.TranslateFrame = frame;
    o.TranslatePacket = packet;
    return o;
}

// The lines after the column header.
std::vector<std::string> FrameLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = text.find(" DATA\r\n");
    for (at = at == std::string::npos ? text.size() : at + 7; at < text.size();) {
        std::size_t end = text.find("\r\n", at);
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

}  // namespace

TEST(FrameJobs, OneDirectionGivesOnlyItsFrames) {
    ConvertOptions o = TranslateOptions(1, 0);
    o.Line = 1;   // SD only
    JobOutput sd = RunJob(HdlcBody(), X25Conversation(), o);
    ASSERT_EQ(sd.code, 0);
    std::vector<std::string> want{"SD:100000 03 SABM      1      G",
                                  "SD:100001 01 INFO    0 0   0  G  10010B55123456789000",
                                  "SD:100002 03 RR        0   1  G",
                                  "SD:100003 01 INFO    1 0   1  G  10010048454C4C4F0D0A"};
    std::vector<std::string> lines = FrameLines(sd.text);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 4), want);
    EXPECT_EQ(lines[5], "SD:100005 01 INFO    2 0   2  A");
    EXPECT_EQ(lines[6], "Lost");
    EXPECT_EQ(lines[8], "SD:100008 03 DISC      1      G");

    o.Line = 2;   // RD only
    JobOutput rd = RunJob(HdlcBody(), X25Conversation(), o);
    lines = FrameLines(rd.text);
    ASSERT_EQ(lines.size(), 10u);
    for (const std::string& line : lines) EXPECT_TRUE(line.rfind("RD:", 0) == 0 || line == "Lost") << line;
}

TEST(FrameJobs, BlockRangeDecidesWhichFramesArePrinted) {
    // Block 1 holds 65536 four-word frames, block 2 one SABM.
    std::vector<std::uint32_t> w;
    while (w.size() < static_cast<std::size_t>(kBlockWords)) Append(w, HdlcFrame(false, {0x01, 0x32}, 0));
    Append(w, HdlcFrame(false, {0x03, 0x3F}));
    ConvertOptions o = TranslateOptions(1, 0);
    o.Start = 2;
    o.Blocks = 1;
    JobOutput second = RunJob(HdlcBody(), w, o);
    ASSERT_EQ(second.code, 0);
    EXPECT_EQ(FrameLines(second.text), (std::vector<std::string>{"SD:       03 SABM      1      G"}));

    o.Start = 1;
    JobOutput first = RunJob(HdlcBody(), w, o);
    std::vector<std::string> lines = FrameLines(first.text);
    ASSERT_EQ(lines.size(), 65536u);
    EXPECT_EQ(lines.front(), "SD:       01 INFO    1 1   1");
    EXPECT_EQ(lines.back(), lines.front());

    o.Start = 3;   // past the last block: the headers and nothing else
    JobOutput past = RunJob(HdlcBody(), w, o);
    EXPECT_EQ(past.code, 0);
    EXPECT_TRUE(FrameLines(past.text).empty());
    EXPECT_EQ(past.text.rfind("     TM   AD TYPE  NS P/F NR FCS DATA\r\n"), past.text.size() - 39);
}

TEST(FrameJobs, FormatterOutsideTheListsFailsTheJobAfterTheHeaders) {
    JobOutput bad = RunJob(HdlcBody(), X25Conversation(), TranslateOptions(5, 0));
    EXPECT_EQ(bad.code, 1);
    EXPECT_EQ(bad.text.find("        ** FRAME CONVERSION **\r\n"), 0u);
    EXPECT_TRUE(FrameLines(bad.text).empty());
    EXPECT_EQ(RunJob(HdlcBody(), X25Conversation(), TranslateOptions(1, 4)).code, 1);
    EXPECT_EQ(RunJob(PppBody(), PppNegotiation(), TranslateOptions(9, 9)).code, 0);   // PPP ignores both
}
