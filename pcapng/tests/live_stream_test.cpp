// The live capture stream: for the words a measurement delivers, the stream
// holds the export's interface and packets byte for byte, and a stream whose
// reader went away abandons the records instead of hanging.
#include <gtest/gtest.h>

#include <unistd.h>
#include <csignal>

#include "export_harness.h"
#include "frame_words.h"
#include "pcapng/pcapng_live.h"
#include "sample_buffers.h"
#include "sample_conversations.h"
#include "textlib/live_records.h"

using namespace textlib_test;
using namespace pcapng_test;

namespace {

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

// The file without its section header block, whose application text differs.
std::vector<std::uint8_t> AfterSectionHeader(const std::vector<std::uint8_t>& file) {
    if (file.size() < 12) return {};
    return {file.begin() + U32(file, 4), file.end()};
}

std::vector<std::uint8_t> Stream(const InfoBody& body, const std::vector<std::uint32_t>& words,
                                 const pcapng::LiveOptions& o, pcapng::ExportSummary& s) {
    textlib::LiveRecords live;
    live.SetInfo(body.data());
    live.Append(words.data(), words.size());
    live.Finish();
    std::FILE* out = std::tmpfile();
    EXPECT_EQ(pcapng::StreamPcapng(live, o, out, s).message(), "");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::ftell(out)));
    std::rewind(out);
    EXPECT_EQ(std::fread(bytes.data(), 1, bytes.size(), out), bytes.size());
    std::fclose(out);
    return bytes;
}

struct Case {
    const char* name;
    InfoBody body;
    std::vector<std::uint32_t> words;
    int line;
    pcapng::FrameProtocol frameProtocol;
};

TEST(LiveStream, PacketsAreTheExportsOfTheSameWords) {
    std::vector<std::uint32_t> lost = HdlcSample();
    lost.insert(lost.begin() + 5, Gap(3));
    const Case cases[] = {
        {"lapd", HdlcBody(), Q931Call(), 0, pcapng::kFrameLapd},
        {"x25 with gaps", HdlcBody(), lost, 0, pcapng::kFrameX25},
        {"x25 rd only", HdlcBody(), X25Conversation(), 2, pcapng::kFrameX25},
        {"ppp", PppBody(), PppNegotiation(), 0, pcapng::kFrameX25},
        {"async sd only", AsyncBody(), MixedAsync(), 1, pcapng::kFrameX25},
        {"sync", BscBody(kBscAscii), BscConversation(kBscAscii), 0, pcapng::kFrameX25},
    };
    testing_util::TempDir dir;
    for (const Case& c : cases) {
        ExportOptions o;
        o.line = c.line;
        o.frameProtocol = c.frameProtocol;
        WriteSample(dir, c.body, c.words, o);
        ExportSummary exported, streamed;
        ASSERT_EQ(pcapng::ExportPcapng(o, exported).message(), "") << c.name;
        const auto live = Stream(c.body, c.words, pcapng::LiveOptions{c.line, c.frameProtocol}, streamed);
        EXPECT_EQ(AfterSectionHeader(live), AfterSectionHeader(testing_util::read_file(o.output))) << c.name;
        EXPECT_EQ(streamed.frames, exported.frames) << c.name;
        EXPECT_EQ(streamed.lostMarks, exported.lostMarks) << c.name;
        EXPECT_GT(streamed.frames, 0) << c.name;
    }
}

TEST(LiveStream, AReaderThatWentAwayEndsTheStreamWithTheReason) {
    std::signal(SIGPIPE, SIG_IGN);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    close(fds[0]);
    std::FILE* out = fdopen(fds[1], "w");
    textlib::LiveRecords live;
    const InfoBody body = HdlcBody();
    live.SetInfo(body.data());
    const auto words = Q931Call();
    live.Append(words.data(), words.size());  // never finished: only the failure can end it
    pcapng::ExportSummary s;
    EXPECT_EQ(pcapng::StreamPcapng(live, {}, out, s).message(), "cannot write the capture: Broken pipe");
    EXPECT_TRUE(live.Abandoned());
    std::fclose(out);
}

}  // namespace
