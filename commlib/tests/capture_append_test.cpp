// What reaches the block file while a block fills: every tick appends what the
// buffer holds, a data item does when a second passed without one, the file
// is flushed to the disk only at a block's end (at most once a second in a
// flood of blocks) and at the measurement's end,
// and the finished files are the same as when a block went out in one write.
// A block cut inside a word by a crash is trimmed by the next folder scan.
#include <gtest/gtest.h>

#include "capture_fixture.h"

namespace commlib::test {
namespace {

// Feed()'s records from word `from` on, `bytes` long (items of 256 from the start).
Bytes Records(std::size_t from, std::size_t bytes) {
    Bytes out;
    for (std::size_t i = from; out.size() < bytes; ++i)
        out.insert(out.end(), {0x30, static_cast<std::uint8_t>('A' + (i % 256) % 26), 0x2F, 0x00});
    return out;
}

class CaptureAppendTest : public CaptureFixture {
protected:
    // The writer flushes through the seam when it goes: before the seam does.
    void TearDown() override { writer.reset(); }
    FailingFileIo io;
};

TEST_F(CaptureAppendTest, TicksAppendWhatIsHeldAndTheFinishedBlocksAreUnchanged) {
    Make(4, true, true, &io);
    writer->BeginCapture();
    Feed(512);
    EXPECT_EQ(Size(0), 0);
    now += 200;
    writer->Tick();
    EXPECT_EQ(Block(0), Records(0, 2048));
    EXPECT_EQ(writer->BytesWritten(), 2048);
    writer->Tick();  // nothing new: no write
    EXPECT_EQ(io.writes, 1);
    Feed(256);
    writer->Tick();
    EXPECT_EQ(Block(0), Records(0, 3072));
    // The rest of the block goes out at its end; block 1 gets the next records.
    Feed(BlockWords - 768 + 256);
    EXPECT_EQ(Block(0), Records(0, pcbuffer::kBlockBytes));
    EXPECT_EQ(Size(1), 0);
    writer->Tick();
    EXPECT_EQ(Block(1), Records(BlockWords, 1024));
    Feed(3 * BlockWords);
    writer->EndCapture();
    // A ring of 4: blocks 1..4, each exactly as a run without ticks would leave it.
    EXPECT_FALSE(Exists(0));
    for (int b = 1; b <= 3; ++b) EXPECT_EQ(Block(b), Records(b * BlockWords, pcbuffer::kBlockBytes)) << b;
    EXPECT_EQ(Block(4), Records(4 * BlockWords, 1024));
    EXPECT_EQ(LastRange(), (std::array<int, 3>{1, 5, 4}));
    EXPECT_TRUE(out.failures.empty());
}

TEST_F(CaptureAppendTest, DataItemsAppendWhenASecondPassedWithoutATick) {
    Make(4, false, true, &io);
    writer->BeginCapture();
    Feed(256);
    now += capture::AppendEveryMs - 1;
    Feed(256);
    EXPECT_EQ(Size(0), 0);
    now += 1;
    Feed(256);
    EXPECT_EQ(Block(0), Records(0, 3 * 1024));
    // The clock starts over from that append.
    now += capture::AppendEveryMs - 1;
    Feed(256);
    EXPECT_EQ(Size(0), 3 * 1024);
}

TEST_F(CaptureAppendTest, FilesAreFlushedToTheDiskAtABlocksEndAndAtTheEndOnly) {
    Make(4, false, true, &io);
    writer->BeginCapture();
    for (int i = 0; i < 5; ++i) {
        Feed(256);
        now += 200;
        writer->Tick();
    }
    EXPECT_EQ(io.syncs, 0);
    Feed(BlockWords - 5 * 256);
    EXPECT_EQ(io.syncs, 1);
    Feed(256);
    writer->Tick();
    EXPECT_EQ(io.syncs, 1);
    writer->EndCapture();
    EXPECT_EQ(io.syncs, 2);
    EXPECT_EQ(Block(1), Records(BlockWords, 1024));
}

TEST_F(CaptureAppendTest, AFloodOfBlocksIsFlushedOnceASecondAndTheEndAlways) {
    Make(8, true, true, &io);
    writer->BeginCapture();
    Feed(BlockWords);  // the first block end flushes
    EXPECT_EQ(io.syncs, 1);
    now += capture::SyncEveryMs - 1;
    Feed(2 * BlockWords);  // two more within the second: written and closed, not flushed
    EXPECT_EQ(io.syncs, 1);
    EXPECT_EQ(Size(2), pcbuffer::kBlockBytes);
    now += 1;
    Feed(BlockWords);
    EXPECT_EQ(io.syncs, 2);
    Feed(BlockWords);  // at once after that flush: none
    EXPECT_EQ(io.syncs, 2);
    writer->EndCapture();
    EXPECT_EQ(io.syncs, 3);
    // A new measurement flushes its first block end again.
    writer->BeginCapture();
    Feed(BlockWords);
    EXPECT_EQ(io.syncs, 4);
}

TEST_F(CaptureAppendTest, TheScanTrimsANewestBlockCutInsideAWord) {
    Make(4, false);
    writer->BeginCapture();
    Feed(BlockWords + 3);
    writer->EndCapture();
    testing_util::write_file(pcbuffer::InfoFilePath(dir.path()), std::string("MIRLOKE DATAINFO\2\0\0\0", 20));
    // As a process killed in the middle of a write could leave it: 2 bytes of a fourth word.
    Bytes cut = Records(BlockWords, 12);
    cut.insert(cut.end(), {0x30, 'D'});
    testing_util::write_file(pcbuffer::BlockFilePath(dir.path(), 1), std::string(cut.begin(), cut.end()));

    writer->ScanFolder(settings);
    EXPECT_EQ(Block(1), Records(BlockWords, 12));
    EXPECT_EQ(Size(0), pcbuffer::kBlockBytes);
    EXPECT_EQ(out.Values(NtfyBlockFill).back(), 12);
    EXPECT_EQ(LastRange(), (std::array<int, 3>{0, 1, 2}));
    // Whole words are left alone.
    writer->ScanFolder(settings);
    EXPECT_EQ(Size(1), 12);
}

}  // namespace
}  // namespace commlib::test
