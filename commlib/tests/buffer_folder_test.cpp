// PC buffer folders: file names, the scan's validity rule (over lists and on
// disk), clearing before a measurement, and block numbering with and without
// a ring buffer.
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "buffer/block_numbering.h"
#include "buffer/buffer_folder.h"
#include "buffer/buffer_names.h"
#include "data_set_test_util.h"
#include "testing/temp_dir.h"

namespace commlib {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using testing_util::write_file;

TEST(BufferNames, BlockFilesAndTheInformationFile) {
    EXPECT_EQ(BlockFileName(0), "00000000.mkw");
    EXPECT_EQ(BlockFileName(42), "00000042.mkw");
    EXPECT_EQ(BlockFileName(99'999'999), "99999999.mkw");
    EXPECT_EQ(BlockFilePath("/data/buf", 3), "/data/buf/00000003.mkw");
    EXPECT_EQ(InfoFilePath("/data/buf/"), "/data/buf/datainfo.mkw");
    EXPECT_TRUE(IsInfoFileName("DataInfo.MKW"));
    EXPECT_FALSE(IsInfoFileName("datainfo.mkw.bak"));
    EXPECT_TRUE(IsBufferFileName("00000001.MKW"));
    EXPECT_FALSE(IsBufferFileName("00000001.mkw~"));
    EXPECT_FALSE(IsBufferFileName("mkw"));
}

TEST(BufferNames, AnyNameStartingWithANumberAndADotIsABlock) {
    EXPECT_EQ(BlockNumberOf("00000002.mkw"), 2);
    EXPECT_EQ(BlockNumberOf("7.mkw"), 7);
    EXPECT_EQ(BlockNumberOf("12.old.mkw"), 12);
    EXPECT_EQ(BlockNumberOf("2147483647.mkw"), 2147483647);
    EXPECT_EQ(BlockNumberOf("2147483648.mkw"), std::nullopt);
    EXPECT_EQ(BlockNumberOf("7x.mkw"), std::nullopt);
    EXPECT_EQ(BlockNumberOf("-1.mkw"), std::nullopt);
    EXPECT_EQ(BlockNumberOf(".mkw"), std::nullopt);
    EXPECT_EQ(BlockNumberOf("123"), std::nullopt);
    EXPECT_EQ(BlockNumberOf("datainfo.mkw"), std::nullopt);
}

// A scan over a list whose information file is accepted when it is long enough.
BufferScan Scan(const std::vector<BufferFileEntry>& entries, bool headerValid = true) {
    return ScanBufferEntries(entries, [headerValid](const BufferFileEntry&) { return headerValid; });
}

TEST(FolderScan, ConsecutiveBlocksWithAValidInformationFile) {
    const std::vector<BufferFileEntry> files = {
        {"00000003.mkw", 1048576}, {"datainfo.mkw", 2058}, {"00000004.mkw", 400},
        {"00000002.mkw", 1048576}, {"notes.txt", 5}, {"00000009.txt", 5}};
    EXPECT_EQ(Scan(files), (BufferScan{true, 2, 4, 3, 400}));
    EXPECT_EQ(Scan({{"DATAINFO.MKW", 20}, {"7.mkw", 12}}), (BufferScan{true, 7, 7, 1, 12}));
    // An empty last block (a measurement that stopped right after a roll-over).
    EXPECT_EQ(Scan({{"datainfo.mkw", 2058}, {"00000000.mkw", 1048576}, {"00000001.mkw", 0}}),
              (BufferScan{true, 0, 1, 2, 0}));
}

TEST(FolderScan, GapsAndBadInformationFilesMeanNoData) {
    const BufferScan none{};
    EXPECT_EQ(Scan({{"datainfo.mkw", 2058}, {"00000003.mkw", 8}, {"00000005.mkw", 8}}), none);
    EXPECT_EQ(Scan({{"00000003.mkw", 8}}), none);
    EXPECT_EQ(Scan({{"datainfo.mkw", 2058}}), none);
    EXPECT_EQ(Scan({{"datainfo.mkw", 2058}, {"00000003.mkw", 8}}, false), none);
    EXPECT_EQ(Scan({{"datainfo.mkw", 2058}, {"7.mkw", 8}, {"00000007.mkw", 8}}), none);
    bool asked = false;
    const std::vector<BufferFileEntry> shortInfo = {{"datainfo.mkw", 19}, {"00000000.mkw", 8}};
    EXPECT_EQ(ScanBufferEntries(shortInfo, [&asked](const BufferFileEntry&) { return asked = true; }), none);
    EXPECT_FALSE(asked);   // a 19-byte file is not even opened
    // Numbers far apart do not overflow the span check.
    EXPECT_EQ(Scan({{"datainfo.mkw", 2058}, {"0.mkw", 8}, {"2147483647.mkw", 8}}), none);
}

Bytes InfoFile(const std::string& magic = "MIRLOKE DATAINFO", int bodyBytes = 2038) {
    return test::DataSetFile(magic, 4, Bytes(static_cast<std::size_t>(bodyBytes), 0));
}

TEST(FolderScan, OnDisk) {
    testing_util::TempDir dir;
    write_file(dir.file("datainfo.mkw"), InfoFile());
    write_file(dir.file("00000002.mkw"), Bytes(16, 1));
    write_file(dir.file("00000003.mkw"), Bytes(16, 1));
    write_file(dir.file("00000004.mkw"), Bytes(12, 1));
    fs::create_directory(dir.file("00000005.mkw"));   // a folder is no block
    EXPECT_EQ(ScanBufferFolder(dir.path().c_str()), (BufferScan{true, 2, 4, 3, 12}));

    write_file(dir.file("datainfo.mkw"), InfoFile("MIRLOKE DATAINFO", 0));   // header only: enough for the scan
    EXPECT_TRUE(ScanBufferFolder(dir.path().c_str()).hasData);
    const Bytes info = InfoFile();
    write_file(dir.file("datainfo.mkw"), Bytes(info.begin(), info.begin() + 19));
    EXPECT_FALSE(ScanBufferFolder(dir.path().c_str()).hasData);
    write_file(dir.file("datainfo.mkw"), InfoFile("MIRLOKE SETUP   "));
    EXPECT_FALSE(ScanBufferFolder(dir.path().c_str()).hasData);
    fs::remove(dir.file("datainfo.mkw"));
    write_file(dir.file("DataInfo.Mkw"), InfoFile());
    EXPECT_TRUE(ScanBufferFolder(dir.path().c_str()).hasData);
    fs::remove(dir.file("00000003.mkw"));
    EXPECT_EQ(ScanBufferFolder(dir.path().c_str()), BufferScan{});

    EXPECT_EQ(ScanBufferFolder(nullptr), BufferScan{});
    EXPECT_EQ(ScanBufferFolder(""), BufferScan{});
    EXPECT_EQ(ScanBufferFolder(dir.file("missing").c_str()), BufferScan{});
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
    write_file(BlockFilePath(dir.path(), range.nextBlock), Bytes(8, 1));
    for (int filled = 0; filled <= 3; ++filled) {
        CloseBlock(range);
        ASSERT_EQ(DecideNextBlock(range, ring), NextBlock::Create);
        write_file(BlockFilePath(dir.path(), range.nextBlock), Bytes(filled == 3 ? 0 : 8, 1));
        for (int n : TrimRing(range, ring)) {
            dropped.push_back(n);
            EXPECT_TRUE(DeleteBlockFile(dir.path(), n));
        }
    }
    EXPECT_EQ(range, (BlockRange{2, 4, 2}));
    EXPECT_EQ(dropped, (std::vector<int>{0, 1}));
    // The folder, read back, holds blocks 2 to 4.
    write_file(dir.file("datainfo.mkw"), InfoFile());
    EXPECT_EQ(ScanBufferFolder(dir.path().c_str()), (BufferScan{true, 2, 4, 3, 0}));
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
    EXPECT_TRUE(TrimRing(odd, {true, 0, true}).empty());   // no endless loop without a limit
}

} // namespace
} // namespace commlib
