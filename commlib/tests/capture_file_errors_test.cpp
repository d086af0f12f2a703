// Storing ends cleanly when the disk fails: a write that comes up short, a
// full disk, a block that cannot be created, a folder that vanishes. The
// blocks already closed stay intact, no block stays open and the reported
// range stops advancing; the measurement itself goes on being counted.
#include <gmock/gmock.h>

#include <sys/mount.h>
#include <unistd.h>

#include "capture_fixture.h"
#include "testing/file_size_limit.h"

namespace commlib::test {
namespace {

using ::testing::ElementsAre;
using Range = std::array<int, 3>;

// The whole block as Feed() fills it: items of 256 units, letters restarting with each item.
Bytes FullBlock() {
    Bytes block;
    block.reserve(pcbuffer::kBlockBytes);
    for (std::size_t i = 0; i < BlockWords; ++i) {
        const auto ch = static_cast<std::uint8_t>('A' + (i % 256) % 26);
        block.insert(block.end(), {0x30, ch, 0x2F, 0x00});
    }
    return block;
}

class CaptureFileErrorTest : public CaptureFixture {
protected:
    // After the failure: more data and a gap are taken without a block and
    // without moving the range; the end reports the same range once more.
    void ExpectStoringEnded(const Range& range) {
        EXPECT_FALSE(writer->BlockOpen());
        EXPECT_EQ(LastRange(), range);
        const auto reports = out.Ranges().size();
        const int lost = writer->LostCount();
        Feed(BlockWords + 10);
        writer->StoreData(static_cast<std::uint16_t>(counter + 2), SdUnits(1));
        EXPECT_EQ(writer->LostCount(), lost + 1);
        EXPECT_EQ(out.Ranges().size(), reports);
        writer->EndCapture();
        EXPECT_EQ(LastRange(), range);
    }

    FailingFileIo io;
};

TEST_F(CaptureFileErrorTest, ShortRollOverWriteKeepsWholeWordsAndStops) {
    io.failWrite = 2;  // block 1's roll-over
    io.shortBy = 1001;
    Make(8, false, true, &io);
    writer->BeginCapture();
    Feed(2 * BlockWords);
    EXPECT_EQ(Block(0), FullBlock());
    // 1,047,575 bytes got out; the broken last word is cut off.
    ASSERT_TRUE(io.truncatedTo.has_value());
    EXPECT_EQ(*io.truncatedTo, pcbuffer::kBlockBytes - 1004);
    const Bytes block1 = Block(1);
    const Bytes full = FullBlock();
    EXPECT_EQ(block1, Bytes(full.begin(), full.begin() + (pcbuffer::kBlockBytes - 1004)));
    EXPECT_FALSE(Exists(2));
    ExpectStoringEnded({0, 2, 2});
    ASSERT_EQ(out.failures.size(), 1u);
    EXPECT_EQ(out.failures[0].Error, ENOSPC);
    EXPECT_EQ(out.failures[0].BlockBytes, pcbuffer::kBlockBytes - 1004);
}

TEST_F(CaptureFileErrorTest, FullDiskOnTheFirstBlockLeavesItEmpty) {
    io.failWrite = 1;
    Make(8, true, true, &io);
    writer->BeginCapture();
    Feed(BlockWords);
    EXPECT_EQ(Size(0), 0);
    EXPECT_FALSE(Exists(1));
    ExpectStoringEnded({0, 1, 1});
}

TEST_F(CaptureFileErrorTest, BlockThatCannotBeCreatedEndsStoring) {
    io.failCreatesFrom = 3;  // block 2
    Make(8, false, true, &io);
    writer->BeginCapture();
    Feed(2 * BlockWords);
    EXPECT_EQ(Block(0), FullBlock());
    EXPECT_EQ(Block(1), FullBlock());
    EXPECT_FALSE(Exists(2));
    ExpectStoringEnded({0, 2, 2});
}

TEST_F(CaptureFileErrorTest, ShortWriteOfTheLastBlockAtTheEnd) {
    io.failWrite = 1;
    io.shortBy = 2;
    Make(8, false, true, &io);
    writer->BeginCapture();
    Feed(3);
    writer->EndCapture();
    EXPECT_EQ(Block(0), (Bytes{0x30, 'A', 0x2F, 0, 0x30, 'B', 0x2F, 0}));
    EXPECT_EQ(LastRange(), (Range{0, 1, 1}));
}

TEST_F(CaptureFileErrorTest, FolderThatVanishesEndsStoring) {
    const std::string folder = dir.file("buffer");
    std::filesystem::create_directory(folder);
    settings = BufferSettings{folder.c_str(), 8, 0, 0};
    writer = std::make_unique<capture::CaptureWriter>(out);
    writer->ScanFolder(settings);
    writer->BeginCapture();
    Feed(100);
    std::filesystem::remove_all(folder);
    Feed(BlockWords);
    EXPECT_FALSE(std::filesystem::exists(folder));
    ExpectStoringEnded({0, 1, 1});
    // Block 0 was still open and went out whole; block 1 had no folder to go to.
    ASSERT_EQ(out.failures.size(), 1u);
    const StoreFailure& f = out.failures[0];
    EXPECT_EQ(f.Error, ENOENT);
    EXPECT_EQ(f.Operation, StoreOpCreate);
    EXPECT_EQ(f.Block, 1);
    EXPECT_EQ(f.LastComplete, 0);
}

// RLIMIT_FSIZE: the kernel's own EFBIG partway through a block, the limit put back afterwards.
TEST_F(CaptureFileErrorTest, AFileSizeLimitEndsStoringWithWholeWords) {
    Make(8, false);
    writer->BeginCapture();
    Feed(1024);
    now += 200;
    writer->Tick();  // 4096 bytes out before the limit
    {
        testing_util::FileSizeLimit limit(600'002);
        ASSERT_TRUE(limit.set());
        Feed(BlockWords);
    }
    // The roll-over's write stopped at the limit, 2 bytes into a word; they were cut off.
    ASSERT_EQ(out.failures.size(), 1u);
    const StoreFailure& f = out.failures[0];
    EXPECT_EQ(f.Error, EFBIG);
    EXPECT_EQ(f.Operation, StoreOpWrite);
    EXPECT_EQ(f.Block, 0);
    EXPECT_EQ(f.BlockBytes, 600'000);
    EXPECT_EQ(f.LastComplete, -1);
    const Bytes stored = Block(0);
    ASSERT_EQ(stored.size(), 600'000u);
    Bytes expected;
    for (std::size_t i = 0; expected.size() < stored.size(); ++i)
        expected.insert(expected.end(), {0x30, static_cast<std::uint8_t>('A' + (i % 256) % 26), 0x2F, 0});
    EXPECT_EQ(stored, expected);
    EXPECT_FALSE(Exists(1));
    ExpectStoringEnded({0, 1, 1});
}

// A real file system that fills up: a small tmpfs, which only root can mount.
class TmpfsMount {
public:
    explicit TmpfsMount(const std::string& at, unsigned long flags = 0) : at_(at) {
        std::filesystem::create_directory(at);
        mounted_ = ::geteuid() == 0 && ::mount("zamvex-test", at.c_str(), "tmpfs", flags, "size=2600k") == 0;
    }
    ~TmpfsMount() {
        if (mounted_) ::umount2(at_.c_str(), MNT_DETACH);
    }
    bool Mounted() const { return mounted_; }

private:
    std::string at_;
    bool mounted_ = false;
};

TEST_F(CaptureFileErrorTest, DiskThatFillsUpKeepsTheCompletedBlocks) {
    const std::string folder = dir.file("small");
    TmpfsMount mount(folder);
    if (!mount.Mounted()) GTEST_SKIP() << "needs root to mount a small tmpfs; the file seam tests cover the logic";
    settings = BufferSettings{folder.c_str(), 10, 0, 0};
    writer = std::make_unique<capture::CaptureWriter>(out);
    writer->ScanFolder(settings);
    writer->BeginCapture();
    Feed(4 * BlockWords);
    // Two blocks fit; the third one filled the disk part way.
    const Bytes full = FullBlock();
    EXPECT_EQ(testing_util::read_file(pcbuffer::BlockFilePath(folder, 0)), full);
    EXPECT_EQ(testing_util::read_file(pcbuffer::BlockFilePath(folder, 1)), full);
    const Bytes partial = testing_util::read_file(pcbuffer::BlockFilePath(folder, 2));
    EXPECT_LT(partial.size(), full.size());
    EXPECT_EQ(partial.size() % 4, 0u);
    EXPECT_TRUE(std::equal(partial.begin(), partial.end(), full.begin()));
    EXPECT_FALSE(std::filesystem::exists(pcbuffer::BlockFilePath(folder, 3)));
    ExpectStoringEnded({0, 3, 3});
    ASSERT_EQ(out.failures.size(), 1u);
    const StoreFailure& f = out.failures[0];
    EXPECT_EQ(f.Error, ENOSPC);
    EXPECT_EQ(f.Block, 2);
    EXPECT_EQ(f.BlockBytes, static_cast<long long>(partial.size()));
    EXPECT_EQ(f.FirstComplete, 0);
    EXPECT_EQ(f.LastComplete, 1);
}

TEST_F(CaptureFileErrorTest, ReadOnlyFolderFailsAtTheFirstBlock) {
    const std::string folder = dir.file("readonly");
    TmpfsMount mount(folder, MS_RDONLY);
    if (!mount.Mounted()) GTEST_SKIP() << "needs root to mount a read-only file system";
    settings = BufferSettings{folder.c_str(), 10, 0, 0};
    writer = std::make_unique<capture::CaptureWriter>(out);
    writer->ScanFolder(settings);
    writer->BeginCapture();
    ASSERT_EQ(out.failures.size(), 1u);
    const StoreFailure& f = out.failures[0];
    EXPECT_EQ(f.Error, EROFS);
    EXPECT_EQ(f.Operation, StoreOpCreate);
    EXPECT_EQ(f.Block, 0);
    EXPECT_EQ(f.BlockBytes, -1);
    EXPECT_EQ(f.LastComplete, -1);
    EXPECT_EQ(writer->LostCount(), 1);
    ExpectStoringEnded({0, 0, 0});
}

}  // namespace
}  // namespace commlib::test
