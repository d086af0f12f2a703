// The capture writer's side of a PC buffer folder: clearing it before a
// measurement, and block numbering with and without a ring buffer.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <filesystem>

#include "buffer/block_numbering.h"
#include "buffer/buffer_folder.h"
#include "data_set_test_util.h"
#include "pcbuffer/buffer_names.h"
#include "pcbuffer/folder_scan.h"
#include "testing/temp_dir.h"

namespace commlib {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using testing_util::write_file;

Bytes InfoFile(const std::string& magic = "MIRLOKE DATAINFO", int bodyBytes = 2038) {
    return test::DataSetFile(magic, 4, Bytes(static_cast<std::size_t>(bodyBytes), 0));
}

TEST(ClearBufferFolder, DeletesPlainFilesOnly) {
    testing_util::TempDir dir;
    for (const char* name : {"datainfo.mkw", "00000000.mkw", "7.MKW", "readonly.mkw", "keep.txt", "target.dat"})
        write_file(dir.file(name), Bytes(4, 0));
    fs::permissions(dir.file("readonly.mkw"), fs::perms::owner_read, fs::perm_options::replace);
    fs::create_directory(dir.file("00000001.mkw"));
    ASSERT_EQ(::mkfifo(dir.file("pipe.mkw").c_str(), 0600), 0);
    fs::create_symlink(dir.file("target.dat"), dir.file("link.mkw"));

    EXPECT_EQ(ClearBufferFolder(dir.path()), 5);
    for (const char* gone : {"datainfo.mkw", "00000000.mkw", "7.MKW", "readonly.mkw", "link.mkw"})
        EXPECT_FALSE(fs::exists(fs::symlink_status(dir.file(gone)))) << gone;
    for (const char* kept : {"keep.txt", "target.dat", "00000001.mkw", "pipe.mkw"})
        EXPECT_TRUE(fs::exists(fs::symlink_status(dir.file(kept)))) << kept;
    EXPECT_EQ(ClearBufferFolder(dir.file("missing")), 0);
}

TEST(BlockNumbering, RingWithThreeBlocksKeepsTwoClosedAndTheOneBeingWritten) {
    testing_util::TempDir dir;
    const BlockLimits ring{true, 3, true};
    BlockRange range = StartRange();
    std::vector<int> dropped;
    ASSERT_EQ(DecideNextBlock(range, ring), NextBlock::Create);
    write_file(pcbuffer::BlockFilePath(dir.path(), range.nextBlock), Bytes(8, 1));
    for (int filled = 0; filled <= 3; ++filled) {
        CloseBlock(range);
        ASSERT_EQ(DecideNextBlock(range, ring), NextBlock::Create);
        write_file(pcbuffer::BlockFilePath(dir.path(), range.nextBlock), Bytes(filled == 3 ? 0 : 8, 1));
        for (int n : TrimRing(range, ring)) {
            dropped.push_back(n);
            EXPECT_TRUE(DeleteBlockFile(dir.path(), n));
        }
    }
    EXPECT_EQ(range, (BlockRange{2, 4, 2}));
    EXPECT_EQ(dropped, (std::vector<int>{0, 1}));
    // The folder, read back, holds blocks 2 to 4.
    write_file(dir.file("datainfo.mkw"), InfoFile());
    EXPECT_EQ(pcbuffer::ScanBufferFolder(dir.path().c_str()), (pcbuffer::BufferScan{true, 2, 4, 3, 0}));
}

TEST(BlockNumbering, FlatBufferStopsAtMaxBlocks) {
    const BlockLimits flat{true, 3, false};
    BlockRange range = StartRange();
    for (int filled = 0; filled < 3; ++filled) {
        ASSERT_EQ(DecideNextBlock(range, flat), NextBlock::Create) << filled;
        CloseBlock(range);
        EXPECT_TRUE(TrimRing(range, flat).empty());
    }
    EXPECT_EQ(range, (BlockRange{0, 3, 3}));
    EXPECT_EQ(DecideNextBlock(range, flat), NextBlock::Drop);
}

TEST(BlockNumbering, LimitsAndSingleBlockRing) {
    EXPECT_EQ(DecideNextBlock({}, {false, 3, false}), NextBlock::Fail);
    EXPECT_EQ(DecideNextBlock({}, {true, 0, true}), NextBlock::Fail);
    BlockRange last{99'999'990, 99'999'999, 9};
    EXPECT_EQ(DecideNextBlock(last, {true, 1024, true}), NextBlock::Create);
    CloseBlock(last);
    EXPECT_EQ(DecideNextBlock(last, {true, 1024, true}), NextBlock::Drop);

    const BlockLimits one{true, 1, true};
    BlockRange range = StartRange();
    CloseBlock(range);
    EXPECT_EQ(TrimRing(range, one), std::vector<int>{0});
    EXPECT_EQ(range, (BlockRange{1, 1, 0}));
    BlockRange odd{0, 5, 5};
    EXPECT_TRUE(TrimRing(odd, {true, 0, true}).empty());  // no endless loop without a limit
}

}  // namespace
}  // namespace commlib
