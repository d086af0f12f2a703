// The capture writer on a real folder: gap marks and loss counts, exact block
// contents, roll-over into the next block, flat and ring limits, no folder,
// the folder scan and the 200 ms fill and rate reports.
#include <gmock/gmock.h>

#include "capture_fixture.h"

namespace commlib::test {
namespace {

using ::testing::ElementsAre;
using Range = std::array<int, 3>;

using CaptureWriterTest = CaptureFixture;

TEST_F(CaptureWriterTest, StartClearsTheFolderAndReportsAnEmptyBuffer) {
    testing_util::write_file(dir.file("00000007.mkw"), "old");
    testing_util::write_file(dir.file("DATAINFO.MKW"), "old");
    testing_util::write_file(dir.file("notes.txt"), "kept");
    Make(4, false);
    writer->BeginCapture();
    EXPECT_FALSE(Exists(7));
    EXPECT_FALSE(std::filesystem::exists(dir.file("DATAINFO.MKW")));
    EXPECT_TRUE(std::filesystem::exists(dir.file("notes.txt")));
    EXPECT_TRUE(Exists(0));
    EXPECT_TRUE(writer->BlockOpen());
    EXPECT_THAT(out.Ranges(), ElementsAre(Range{0, 0, 0}));
    EXPECT_THAT(out.Values(NtfyLost), ElementsAre(0));
    EXPECT_THAT(out.Values(NtfyBlockFill), ElementsAre(0));
}

TEST_F(CaptureWriterTest, CounterJumpWritesAGapMarkBeforeTheRecordsAndCountsIt) {
    Make(4, false);
    writer->BeginCapture();
    out.notes.clear();
    writer->StoreData(5, Bytes{0x11, 0x41, 0x23, 0x42});
    EXPECT_THAT(out.Values(NtfyLost), ElementsAre(1));
    EXPECT_EQ(writer->ExpectedUnit(), 7);
    // In step again: no mark. A counter that wrapped past 65535 counts modulo 65536.
    writer->StoreData(7, Bytes{0x11, 0x42});
    writer->StoreData(2, Bytes{0x11, 0x43});
    EXPECT_THAT(out.Values(NtfyLost), ElementsAre(1, 2));
    writer->EndCapture();
    EXPECT_EQ(Block(0), (Bytes{0x80, 0xFF, 0x05, 0x00, 0x31, 0x41, 0x2F, 0x00, 0xBF, 0x00, 0x23, 0x42,
                               0x31, 0x42, 0x2F, 0x00, 0x80, 0xFF, 0xFA, 0xFF, 0x31, 0x43, 0x2F, 0x00}));
    EXPECT_EQ(LastRange(), (Range{0, 1, 1}));
}

TEST_F(CaptureWriterTest, ExactlyOneBlockOfRecordsRollsOverIntoBlockOne) {
    Make(4, false);
    writer->BeginCapture();
    Feed(BlockWords - 1);
    EXPECT_EQ(Size(0), 0);  // no tick and no time passed: nothing appended yet
    EXPECT_EQ(out.Ranges().size(), 1u);
    writer->StoreData(counter++, Bytes{0x11, 0x5A});
    EXPECT_EQ(Size(0), pcbuffer::kBlockBytes);
    EXPECT_EQ(LastRange(), (Range{0, 1, 1}));
    EXPECT_EQ(writer->BytesHeld(), 0);
    writer->StoreData(counter++, Bytes{0x23, 0x42});
    writer->EndCapture();
    const Bytes block0 = Block(0);
    EXPECT_EQ(Bytes(block0.begin(), block0.begin() + 8), (Bytes{0x30, 'A', 0x2F, 0, 0x30, 'B', 0x2F, 0}));
    // The 262,144th record is the last word of block 0; the next one is block 1's first.
    EXPECT_EQ(Bytes(block0.end() - 4, block0.end()), (Bytes{0x31, 0x5A, 0x2F, 0}));
    EXPECT_EQ(Block(1), (Bytes{0xBF, 0x00, 0x23, 0x42}));
    EXPECT_EQ(LastRange(), (Range{0, 2, 2}));
}

TEST_F(CaptureWriterTest, AGapMarkThatFillsTheBlockRollsOverBeforeTheRecords) {
    Make(4, false);
    writer->BeginCapture();
    Feed(BlockWords - 1);
    writer->StoreData(static_cast<std::uint16_t>(counter + 3), Bytes{0x23, 0x42});
    EXPECT_EQ(LastRange(), (Range{0, 1, 1}));
    writer->EndCapture();
    const Bytes block0 = Block(0);
    ASSERT_EQ(block0.size(), static_cast<std::size_t>(pcbuffer::kBlockBytes));
    EXPECT_EQ(Bytes(block0.end() - 4, block0.end()), (Bytes{0x80, 0xFF, 0x03, 0x00}));
    EXPECT_EQ(Block(1), (Bytes{0xBF, 0x00, 0x23, 0x42}));
}

TEST_F(CaptureWriterTest, EndingRightAfterARollOverLeavesAnEmptyLastBlock) {
    Make(4, false);
    writer->BeginCapture();
    Feed(BlockWords);
    writer->EndCapture();
    EXPECT_EQ(Size(0), pcbuffer::kBlockBytes);
    EXPECT_EQ(Size(1), 0);
    EXPECT_FALSE(writer->BlockOpen());
    EXPECT_EQ(LastRange(), (Range{0, 2, 2}));
}

TEST_F(CaptureWriterTest, FlatBufferStopsStoringAtMaxBlocks) {
    Make(3, false);
    writer->BeginCapture();
    Feed(3 * BlockWords);
    EXPECT_FALSE(writer->BlockOpen());
    EXPECT_EQ(LastRange(), (Range{0, 3, 3}));
    // Further records are dropped, but counted and still checked for gaps.
    Feed(10);
    writer->StoreData(static_cast<std::uint16_t>(counter + 4), SdUnits(1));
    EXPECT_THAT(out.Values(NtfyLost), ElementsAre(0, 1));
    writer->EndCapture();
    EXPECT_TRUE(Exists(0) && Exists(1) && Exists(2));
    EXPECT_FALSE(Exists(3));
    EXPECT_EQ(Size(2), pcbuffer::kBlockBytes);
    EXPECT_EQ(LastRange(), (Range{0, 3, 3}));
    EXPECT_EQ(writer->ReceivedTotal(), (3 * BlockWords + 11) * 2);
}

TEST_F(CaptureWriterTest, RingBufferKeepsMaxBlocksFilesAndDeletesTheOldest) {
    Make(3, true);
    writer->BeginCapture();
    Feed(4 * BlockWords);
    EXPECT_THAT(out.Ranges(),
                ElementsAre(Range{0, 0, 0}, Range{0, 1, 1}, Range{0, 2, 2}, Range{1, 3, 2}, Range{2, 4, 2}));
    EXPECT_FALSE(Exists(0));
    EXPECT_FALSE(Exists(1));
    EXPECT_EQ(Size(2), pcbuffer::kBlockBytes);
    EXPECT_EQ(Size(3), pcbuffer::kBlockBytes);
    EXPECT_TRUE(writer->BlockOpen());
    Feed(3);
    writer->EndCapture();
    EXPECT_EQ(Size(4), 12);
    EXPECT_EQ(LastRange(), (Range{2, 5, 3}));
}

TEST_F(CaptureWriterTest, WithoutAFolderItemsAreCountedAndNothingIsWritten) {
    Make(4, false, false);
    EXPECT_FALSE(writer->Storing());
    writer->BeginCapture();
    Feed(100);
    writer->StoreData(static_cast<std::uint16_t>(counter + 3), SdUnits(2));
    EXPECT_EQ(writer->ExpectedUnit(), 105);
    EXPECT_EQ(writer->ReceivedTotal(), 204u);
    EXPECT_THAT(out.Values(NtfyLost), ElementsAre(0, 1));
    writer->EndCapture();
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    EXPECT_EQ(LastRange(), (Range{0, 0, 0}));
}

TEST_F(CaptureWriterTest, ScanReportsWhatTheFolderAlreadyHolds) {
    Make(4, false);
    writer->BeginCapture();
    Feed(BlockWords + 5);
    writer->EndCapture();
    testing_util::write_file(pcbuffer::InfoFilePath(dir.path()), std::string("MIRLOKE DATAINFO\2\0\0\0", 20));

    writer->ScanFolder(settings);
    EXPECT_EQ(LastRange(), (Range{0, 1, 2}));
    EXPECT_EQ(out.Values(NtfyLost).back(), 0);
    EXPECT_EQ(out.Values(NtfyBlockFill).back(), 20);

    // No folder: nothing is scanned and nothing reported.
    out.notes.clear();
    BufferSettings none{nullptr, 4, 0, 0};
    writer->ScanFolder(none);
    EXPECT_TRUE(out.notes.empty());
    EXPECT_EQ(writer->Range().nextBlock, 0);
    EXPECT_FALSE(writer->Storing());
}

TEST_F(CaptureWriterTest, TicksReportTheRateWhileStoringAndTheFillAlways) {
    Make(4, false);
    now = 2000;
    writer->Tick();
    EXPECT_TRUE(out.Values(NtfyRate).empty());  // no block file: no rate
    EXPECT_THAT(out.Values(NtfyBlockFill), ElementsAre(0));
    writer->BeginCapture();
    out.notes.clear();
    Feed(500);  // 1000 bytes of units in 200 ms: 150 on the gauge
    now += 200;
    writer->Tick();
    Feed(5000);  // far more than the gauge shows
    now += 200;
    writer->Tick();
    writer->Tick();  // the clock has not moved: no rate
    EXPECT_THAT(out.Values(NtfyRate), ElementsAre(150, 1000));
    EXPECT_THAT(out.Values(NtfyBlockFill), ElementsAre(2000, 22000, 22000));
}

TEST_F(CaptureWriterTest, ResetAndDestructionFlushTheOpenBlock) {
    Make(4, false);
    writer->BeginCapture();
    Feed(3);
    writer->ResetCapture();
    EXPECT_EQ(Size(0), 12);
    EXPECT_EQ(LastRange(), (Range{0, 1, 1}));

    counter = 0;
    writer->BeginCapture();
    Feed(2);
    out.notes.clear();
    writer.reset();
    EXPECT_EQ(Size(0), 8);
    EXPECT_TRUE(out.notes.empty());  // the destructor only flushes
}

TEST_F(CaptureWriterTest, ANewStartWhileABlockIsOpenBeginsAFreshBuffer) {
    Make(4, false);
    writer->BeginCapture();
    Feed(BlockWords + 2);
    counter = 0;
    writer->BeginCapture();
    Feed(1);
    writer->EndCapture();
    EXPECT_FALSE(Exists(1));
    EXPECT_EQ(Block(0), (Bytes{0x30, 'A', 0x2F, 0}));
    EXPECT_EQ(LastRange(), (Range{0, 1, 1}));
}

}  // namespace
}  // namespace commlib::test
