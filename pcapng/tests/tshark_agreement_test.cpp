// Exported conversations read back by a tshark that was never set up (a new
// home folder, no -o): packet for packet, Wireshark's Q.931 message type, X.25
// packet type and PPP protocol must be what our own translation shows for the
// same frame, with the same direction and end.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <sstream>
#include <string_view>

#include "export_harness.h"
#include "frame_words.h"
#include "frames/frame_formatter.h"
#include "frames/ppp_formatter.h"
#include "sample_conversations.h"

using namespace pcapng_test;
using namespace textlib_test;

namespace {

struct Name {
    std::string_view name;
    int code;
};

// The names our translations print, with the numbers Wireshark reports.
constexpr Name kQ931[] = {{"ALERT", 0x01},    {"CALL PROC", 0x02}, {"SETUP", 0x05}, {"CONN", 0x07},
                          {"CONN ACK", 0x0F}, {"DISC", 0x45},      {"REL", 0x4D},   {"REL COMP", 0x5A}};
constexpr Name kX25[] = {{"DT", 0x00}, {"RR", 0x01}, {"CR", 0x0B}, {"CC", 0x0F}, {"CQ", 0x13}, {"CF", 0x17}};
constexpr Name kPpp[] = {{"IP", 0x0021}, {"IPCP", 0x8021}, {"LCP", 0xC021}, {"PAP", 0xC023}, {"LQR", 0xC025}};

template <std::size_t N>
std::optional<int> Lookup(const Name (&table)[N], const std::string& name) {
    for (const Name& n : table)
        if (n.name == name) return n.code;
    ADD_FAILURE() << "no number for '" << name << "'";
    return std::nullopt;
}

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

// "SD:142002 08 SETUP     0 01    G  ...": the message column, 9 wide, at 13;
// "(7E)" for a type without a name; none for frames that carry no message.
std::optional<int> OurQ931(const std::string& line) {
    if (line.size() <= 13 || line.compare(13, 10, "(Not INFO)") == 0) return std::nullopt;
    std::string name = line.substr(13, 9);
    name.erase(name.find_last_not_of(' ') + 1);
    if (name.size() == 4 && name[0] == '(') return std::stoi(name.substr(1, 2), nullptr, 16);
    return Lookup(kQ931, name);
}

// "SD:100001  0   1 CR ...": the packet type after the group and channel.
std::optional<int> OurX25(const std::string& line) {
    std::vector<std::string> w = Words(line);
    if (w.size() < 4 || w[1] == "(Not") return std::nullopt;
    return Lookup(kX25, w[3]);
}

// "SD:081500 LCP      CONF-REQ ...": the protocol after the time.
std::optional<int> OurPpp(const std::string& line) {
    std::vector<std::string> w = Words(line);
    if (w.size() < 2) return std::nullopt;
    return Lookup(kPpp, w[1]);
}

std::uint32_t FlagDirection(int direction) {
    return direction == textlib::kFrameSd ? 2u : direction == textlib::kFrameRd ? 1u : 0u;
}

enum class Level { Q931, X25, Ppp };

// Exports `words`, runs tshark and compares every packet with our frame.
// Returns how many packets carried a decoded message of the level.
int CompareWithTshark(const InfoBody& body, const std::vector<std::uint32_t>& words,
                      pcapng::FrameProtocol frameProtocol, Level level,
                      const std::function<std::string(const textlib::Frame&)>& format) {
    testing_util::TempDir dir;
    ExportOptions o;
    o.frameProtocol = frameProtocol;
    o.midnight = pcapng::MidnightOf("2026-03-14");
    WriteSample(dir, body, words, o);
    ExportSummary s;
    EXPECT_EQ(pcapng::ExportPcapng(o, s).message(), "");

    std::vector<OurFrame> ours = OurFrames(o.buffer, 0, format);
    std::vector<TsharkPacket> theirs = RunTshark(o.output);
    EXPECT_EQ(s.frames, static_cast<std::int64_t>(ours.size()));
    EXPECT_EQ(theirs.size(), ours.size()) << "tshark read a different number of packets";
    int decoded = 0;
    for (std::size_t k = 0; k < std::min(ours.size(), theirs.size()); ++k) {
        const OurFrame& f = ours[k];
        const TsharkPacket& p = theirs[k];
        SCOPED_TRACE("packet " + std::to_string(k + 1) + ": " + f.line);
        EXPECT_EQ(p.direction, FlagDirection(f.direction));
        EXPECT_EQ(p.crcError, f.endStatus == textlib::kEndNg);
        EXPECT_EQ(p.tooShort, f.endStatus == textlib::kEndShort);
        EXPECT_EQ(p.symbolError, f.endStatus == textlib::kEndAbort || f.endStatus == textlib::kEndBreak);
        EXPECT_EQ(!p.comment.empty(), f.afterLost) << p.comment;
        switch (level) {
        case Level::Q931:
            EXPECT_EQ(p.q931, OurQ931(f.line));
            decoded += p.q931.has_value();
            break;
        case Level::X25:
            EXPECT_EQ(p.x25, OurX25(f.line));
            decoded += p.x25.has_value();
            break;
        case Level::Ppp:
            EXPECT_EQ(p.ppp, OurPpp(f.line));
            decoded += p.ppp.has_value();
            break;
        }
    }
    return decoded;
}

class TsharkAgreement : public ::testing::Test {
protected:
    void SetUp() override {
        if (!TsharkInstalled()) GTEST_SKIP() << "skipped: tshark is not installed (Debian package tshark)";
    }
};

}  // namespace

TEST_F(TsharkAgreement, LapdCallDecodesToOurQ931Messages) {
    auto formatter = textlib::CreateFrameFormatter(textlib::kLapd, textlib::kPacketQ931);
    int decoded = CompareWithTshark(HdlcBody(), Q931Call(), pcapng::kFrameLapd, Level::Q931,
                                    [&](const textlib::Frame& f) { return formatter->FormatLine(f); });
    EXPECT_EQ(decoded, 10);  // SETUP through the unknown message; the rest carry none
}

TEST_F(TsharkAgreement, X25CallDecodesToOurPacketTypes) {
    auto formatter = textlib::CreateFrameFormatter(textlib::kX25, textlib::kPacketX25);
    int decoded = CompareWithTshark(HdlcBody(), X25Conversation(), pcapng::kFrameX25, Level::X25,
                                    [&](const textlib::Frame& f) { return formatter->FormatLine(f); });
    EXPECT_EQ(decoded, 7);  // CR CC DT RR DT CQ CF
}

TEST_F(TsharkAgreement, PppNegotiationDecodesToOurProtocols) {
    auto formatter = textlib::CreatePppFormatter();
    int decoded = CompareWithTshark(PppBody(), PppNegotiation(), pcapng::kFrameSdlc, Level::Ppp,
                                    [&](const textlib::Frame& f) { return formatter->FormatLine(f); });
    EXPECT_EQ(decoded, 16);  // every frame names its protocol
}

// What a user sees: the X.25 packet types by name and LAPB's directions.
TEST_F(TsharkAgreement, X25ExportShowsPacketNamesAndDirectionsWithoutSetting) {
    testing_util::TempDir dir;
    ExportOptions o;
    WriteSample(dir, HdlcBody(), X25Conversation(), o);
    ExportSummary s;
    ASSERT_EQ(pcapng::ExportPcapng(o, s).message(), "");
    const std::string details = Tshark(o.output, "-V -O x25");
    for (const char* type : {"Packet Type: Call request", "Packet Type: Data"})
        EXPECT_NE(details.find(type), std::string::npos) << type << "\n" << details;
    // tshark 4.0 calls 0x0F "Call accepted" either way: its X.25 decoder learns
    // the DCE's side only from LAPB_WITH_DIR's pseudo-header, a link type it cannot read.
    EXPECT_TRUE(details.find("Packet Type: Call connected") != std::string::npos ||
                details.find("Packet Type: Call accepted") != std::string::npos)
        << details;
    // The summary lines of LAPB frames name the sender and receiver.
    std::vector<OurFrame> ours = OurFrames(o.buffer, 0, [](const textlib::Frame&) { return std::string(); });
    std::istringstream lines(Tshark(o.output, ""));
    int named = 0;
    std::size_t k = 0;
    for (std::string line; std::getline(lines, line) && k < ours.size(); ++k) {
        const bool sent = line.find("DTE \xE2\x86\x92 DCE") != std::string::npos;
        const bool received = line.find("DCE \xE2\x86\x92 DTE") != std::string::npos;
        if (!sent && !received) continue;  // X.25 call packets show the call's addresses there
        ++named;
        EXPECT_EQ(sent ? textlib::kFrameSd : textlib::kFrameRd, ours[k].direction) << line;
    }
    EXPECT_EQ(k, ours.size());
    EXPECT_GE(named, 10);
}
