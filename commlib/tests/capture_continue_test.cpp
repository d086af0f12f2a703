// A measurement that goes on with the blocks a folder already holds (after an
// outage, or a run that was cut off): appended to the newest block behind a
// gap mark, numbering on from there; and a ring that gives up its oldest
// blocks to keep the disk's free space above a floor.
#include <gmock/gmock.h>

#include "capture_fixture.h"

namespace commlib::test {
namespace {

using ::testing::ElementsAre;
using Range = std::array<int, 3>;

constexpr std::int64_t MiB = pcbuffer::kBlockBytes;
const Bytes OutageMark{0x80, 0xFF, 0x00, 0x00};

class CaptureContinueTest : public CaptureFixture {
protected:
    // The writer flushes through `io` when it goes, so it goes first.
    void TearDown() override { writer.reset(); }
    void Start(int maxBlocks, bool ring, std::int64_t keepFree = 0) {
        Make(maxBlocks, ring, true, &io);
        writer->SetOptions(CaptureOptions{1, 0, keepFree});
        writer->BeginCapture();
    }
    static Bytes Cat(Bytes a, const Bytes& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    }
    // The words Feed() stores for n records when the counter starts at 0.
    static Bytes Fed(std::size_t n) {
        Bytes b;
        for (std::size_t i = 0; i < n; ++i) b.insert(b.end(), {0x30, static_cast<std::uint8_t>('A' + i % 26), 0x2F, 0});
        return b;
    }
    FailingFileIo io;
};

TEST_F(CaptureContinueTest, TheNewestBlockGoesOnBehindAGapMark) {
    const Bytes full(MiB, 0x31);
    testing_util::write_file(dir.file("00000004.mkw"), full);
    // A run cut off inside a word: the broken word goes, the whole ones stay.
    testing_util::write_file(dir.file("00000005.mkw"), Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    testing_util::write_file(dir.file("datainfo.mkw"), "old information");
    Start(8, false);
    EXPECT_TRUE(std::filesystem::exists(dir.file("datainfo.mkw")));
    EXPECT_THAT(out.Ranges(), ElementsAre(Range{4, 5, 1}));
    EXPECT_THAT(out.Values(NtfyLost), ElementsAre(0, 1));
    EXPECT_THAT(out.Values(NtfyBlockFill), ElementsAre(8));
    Feed(3);
    writer->EndCapture();
    EXPECT_EQ(Block(4), full);
    EXPECT_EQ(Block(5), Cat(Cat(Bytes{1, 2, 3, 4, 5, 6, 7, 8}, OutageMark), Fed(3)));
    EXPECT_EQ(LastRange(), (Range{4, 6, 2}));
    EXPECT_EQ(writer->LostCount(), 1);

    // A start that follows without an end in between flushes first and goes on after that.
    counter = 0;
    writer->BeginCapture();
    writer->BeginCapture();
    Feed(1);
    writer->EndCapture();
    EXPECT_EQ(
        Block(5),
        Cat(Cat(Cat(Cat(Bytes{1, 2, 3, 4, 5, 6, 7, 8}, OutageMark), Fed(3)), Cat(OutageMark, OutageMark)), Fed(1)));
    EXPECT_FALSE(Exists(6));
}

TEST_F(CaptureContinueTest, AFullNewestBlockIsFollowedByTheNextAndTheRingStillTrims) {
    for (int b = 4; b <= 6; ++b) testing_util::write_file(pcbuffer::BlockFilePath(dir.path(), b), Bytes(MiB, 0x31));
    Start(3, true);
    EXPECT_FALSE(Exists(4));
    EXPECT_TRUE(Exists(5) && Exists(6));
    EXPECT_THAT(out.Ranges(), ElementsAre(Range{5, 7, 2}));
    Feed(2);
    writer->EndCapture();
    EXPECT_EQ(Block(7), Cat(OutageMark, Fed(2)));
    EXPECT_EQ(LastRange(), (Range{5, 8, 3}));
}

TEST_F(CaptureContinueTest, BlocksWithAGapOrNoBlocksStartAFreshBuffer) {
    testing_util::write_file(dir.file("00000003.mkw"), Bytes(8, 1));
    testing_util::write_file(dir.file("00000005.mkw"), Bytes(8, 1));
    Start(4, false);
    EXPECT_FALSE(Exists(3) || Exists(5));
    EXPECT_THAT(out.Ranges(), ElementsAre(Range{0, 0, 0}));
    EXPECT_THAT(out.Values(NtfyLost), ElementsAre(0));
    Feed(1);
    writer->EndCapture();
    EXPECT_EQ(Block(0), Fed(1));

    // Without the option a folder's blocks are cleared as always.
    writer->SetOptions(CaptureOptions{0, 0, 0});
    counter = 0;
    writer->BeginCapture();
    writer->EndCapture();
    EXPECT_EQ(Size(0), 0);
}

TEST_F(CaptureContinueTest, ARingGivesUpItsOldestBlocksToKeepTheFloorButNeverTheOpenOne) {
    // A disk with 6 MiB for the buffer; 2 MiB must stay free.
    io.freeBytes = [this] {
        std::int64_t used = 0;
        for (const auto& e : std::filesystem::directory_iterator(dir.path())) used += e.file_size();
        return 6 * MiB - used;
    };
    Start(100, true, 2 * MiB);
    Feed(6 * BlockWords);
    // Three complete blocks and the empty one being written leave 3 MiB, of
    // which the open block will take one.
    EXPECT_FALSE(Exists(2));
    EXPECT_TRUE(Exists(3) && Exists(4) && Exists(5) && Exists(6));
    EXPECT_EQ(LastRange(), (Range{3, 6, 3}));
    std::vector<std::intptr_t> oldest;
    for (const auto& n : out.notes)
        if (n.code == NtfyTrimmed) {
            EXPECT_EQ(n.status, 1);
            oldest.push_back(n.value);
        }
    EXPECT_THAT(oldest, ElementsAre(1, 2, 3));

    // A disk whose space does not come back (a reader still holds the files)
    // gives up one block per new block, and never the open one.
    io.freeBytes = [] { return std::int64_t{0}; };
    Feed(3 * BlockWords);
    EXPECT_FALSE(Exists(5));
    EXPECT_TRUE(Exists(6) && Exists(9));
    EXPECT_EQ(LastRange(), (Range{6, 9, 3}));
    writer->EndCapture();
    EXPECT_EQ(Size(9), 0);
}

TEST_F(CaptureContinueTest, AFlatBufferIsNeverTrimmed) {
    io.freeBytes = [] { return std::int64_t{0}; };
    Start(4, false, 2 * MiB);
    Feed(2 * BlockWords);
    EXPECT_TRUE(Exists(0) && Exists(1) && Exists(2));
    EXPECT_EQ(LastRange(), (Range{0, 2, 2}));
}

}  // namespace
}  // namespace commlib::test
