// A measurement through the protocol engine with the real capture writer:
// the status word starts and ends the capture, and data and information
// items land in the buffer folder.
#include <gmock/gmock.h>

#include <filesystem>

#include "capture/capture_writer.h"
#include "engine_harness.h"
#include "pcbuffer/buffer_names.h"
#include "testing/temp_dir.h"

namespace commlib::test {
namespace {

using ::testing::ElementsAre;

class CaptureEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        h.engine = std::make_unique<ProtocolEngine>(h.out, std::make_unique<capture::CaptureWriter>(h.out));
        h.capture = nullptr;
        const BufferSettings settings{dir.path().c_str(), 4, 0, 0};
        h.engine->ScanBufferFolder(settings);
        h.ConnectPacket();
    }
    std::vector<int> Codes() {
        std::vector<int> codes;
        for (const Note& n : h.TakeNotes()) codes.push_back(n.code);
        return codes;
    }
    Bytes Block(int n) { return testing_util::read_file(pcbuffer::BlockFilePath(dir.path(), n)); }

    testing_util::TempDir dir;
    Harness h;
};

TEST_F(CaptureEngineTest, StatusWordDrivesAMeasurementIntoTheFolder) {
    testing_util::write_file(pcbuffer::BlockFilePath(dir.path(), 9), "from the last measurement");
    h.Notification(0x0201, {0x00, 0x01});
    EXPECT_THAT(Codes(), ElementsAre(NtfyBlocks, NtfyLost, NtfyBlockFill, NtfyRate, NtfyMeasureState));
    EXPECT_FALSE(std::filesystem::exists(pcbuffer::BlockFilePath(dir.path(), 9)));

    h.Notification(0x8100, Bytes(InfoReceiveSize, 0x44));
    EXPECT_TRUE(std::filesystem::exists(pcbuffer::InfoFilePath(dir.path())));
    h.Notification(0x8000, {0x00, 0x00, 0x11, 0x41});
    h.Notification(0x8000, {0x03, 0x00, 0x23, 0x42});
    const auto notes = h.TakeNotes();
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].code, NtfyLost);
    EXPECT_EQ(reinterpret_cast<std::intptr_t>(notes[0].data), 1);

    h.Notification(0x0201, {0x00, 0x00});
    const auto end = h.TakeNotes();
    ASSERT_EQ(end.size(), 3u);
    EXPECT_EQ(end[0].code, NtfyBlocks);
    const int* range = static_cast<const int*>(end[0].data);
    EXPECT_THAT(std::vector<int>(range, range + 3), ElementsAre(0, 1, 1));
    EXPECT_EQ(end[1], (Note{NtfyRate, -1, nullptr}));
    EXPECT_EQ(end[2], (Note{NtfyMeasureState, 0, nullptr}));
    EXPECT_EQ(Block(0), (Bytes{0x31, 0x41, 0x2F, 0x00, 0x80, 0xFF, 0x02, 0x00, 0xBF, 0x00, 0x23, 0x42}));

    // The folder now scans as a buffer holding that block.
    const BufferSettings settings{dir.path().c_str(), 4, 0, 0};
    h.engine->ScanBufferFolder(settings);
    const auto scan = h.TakeNotes();
    ASSERT_EQ(scan.size(), 3u);
    range = static_cast<const int*>(scan[0].data);
    EXPECT_THAT(std::vector<int>(range, range + 3), ElementsAre(0, 0, 1));
    EXPECT_EQ(reinterpret_cast<std::intptr_t>(scan[2].data), 12);
}

}  // namespace
}  // namespace commlib::test
