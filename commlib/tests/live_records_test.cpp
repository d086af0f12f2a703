// The live record path: the words of a measurement reach the live callback as
// each data item arrives, equal to what the capture writer stores in the
// block file, and without a buffer folder the analyzer is still asked for them.
#include <gmock/gmock.h>

#include <cstring>

#include "capture/capture_writer.h"
#include "engine_harness.h"
#include "pcbuffer/buffer_names.h"
#include "testing/temp_dir.h"

namespace commlib::test {
namespace {

using ::testing::ElementsAre;

struct LiveLog {
    std::vector<int> events;
    Bytes words;  // every LiveWords payload, as bytes
    Bytes info;   // the last LiveInfo body
    static void Take(void* context, int event, const void* data, unsigned count) {
        auto* log = static_cast<LiveLog*>(context);
        log->events.push_back(event);
        const auto* p = static_cast<const std::uint8_t*>(data);
        if (event == LiveWords) log->words.insert(log->words.end(), p, p + 4 * count);
        if (event == LiveInfo) log->info.assign(p, p + count);
    }
};

class LiveRecordsTest : public ::testing::Test {
protected:
    void Start(const char* folder) {
        h.engine = std::make_unique<ProtocolEngine>(h.out, std::make_unique<capture::CaptureWriter>(h.out));
        h.capture = nullptr;
        const BufferSettings settings{folder, 4, 0, 0};
        h.engine->ScanBufferFolder(settings);
        h.engine->SetLiveRecords(LiveLog::Take, &log);
    }
    testing_util::TempDir dir;
    Harness h;
    LiveLog log;
};

TEST_F(LiveRecordsTest, LiveWordsAreTheStoredWordsAsEachItemArrives) {
    Start(dir.path().c_str());
    h.ConnectPacket();
    h.Notification(0x8000, {0x00, 0x00, 0x11, 0x41});  // before the start: neither stored nor live
    h.Notification(0x0201, {0x00, 0x01});
    h.Notification(0x8100, Bytes(InfoReceiveSize, 0x44));
    h.Notification(0x8000, {0x00, 0x00, 0x11, 0x41, 0x23, 0x42});
    EXPECT_EQ(log.words, (Bytes{0x31, 0x41, 0x2F, 0x00, 0xBF, 0x00, 0x23, 0x42}));
    // Two units lost before this item: the gap mark goes first, as in the block.
    h.Notification(0x8000, {0x04, 0x00, 0x15, 0x00, 0x26, 0x43, 0x10, 0x00});
    h.Notification(0x0201, {0x00, 0x00});
    EXPECT_EQ(log.words, testing_util::read_file(pcbuffer::BlockFilePath(dir.path(), 0)));
    EXPECT_EQ(log.words.size(), 24u);
    EXPECT_THAT(log.events, ElementsAre(LiveBegin, LiveInfo, LiveWords, LiveWords, LiveEnd));
    ASSERT_EQ(log.info.size(), 2038u);
    EXPECT_EQ(log.info[0], 0x44);
    EXPECT_EQ(log.info[387], 0x44);

    // After the end nothing more; a link reset with no measurement sends no second end.
    h.Notification(0x8000, {0x06, 0x00, 0x11, 0x41});
    h.engine->Reset();
    EXPECT_EQ(log.events.size(), 5u);
}

TEST_F(LiveRecordsTest, WithoutAFolderTheAnalyzerIsAskedForDataAndWordsStillCome) {
    Start(nullptr);
    h.Request(ReqConnect);
    h.Ack();
    h.Ack();
    h.TakeSent();
    h.Answer(2, '4', Record(1, {2}));
    auto packets = h.TakePackets();
    ASSERT_EQ(packets.size(), 1u);
    EXPECT_EQ(Bytes(packets[0].begin() + 13, packets[0].begin() + 19), (Bytes{0x00, 0x80, 1, 0x00, 0xE0, 1}));
    h.Answer(3, '3');

    h.Notification(0x0201, {0x00, 0x01});
    h.Notification(0x8000, {0x00, 0x00, 0x11, 0x41});
    // A reset in the middle of a measurement ends the live stream as well.
    h.engine->Reset();
    EXPECT_THAT(log.events, ElementsAre(LiveBegin, LiveWords, LiveEnd));
    EXPECT_EQ(log.words, (Bytes{0x31, 0x41, 0x2F, 0x00}));
}

TEST_F(LiveRecordsTest, ACallbackTakenAwayIsNotCalledAndTheCounterStillFollows) {
    Start(nullptr);
    h.ConnectPacket();
    h.Notification(0x0201, {0x00, 0x01});
    h.engine->SetLiveRecords(nullptr, nullptr);
    h.Notification(0x8000, {0x00, 0x00, 0x11, 0x41});
    h.engine->SetLiveRecords(LiveLog::Take, &log);
    // The unit counter went on meanwhile: no gap is reported for the unit not seen live.
    h.Notification(0x8000, {0x01, 0x00, 0x12, 0x42});
    EXPECT_THAT(log.events, ElementsAre(LiveBegin, LiveWords));
    EXPECT_EQ(log.words, (Bytes{0x32, 0x42, 0x2F, 0x00}));
}

}  // namespace
}  // namespace commlib::test
