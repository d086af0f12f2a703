// The PC buffer folder format: file names, and the scan's validity rule over
// file lists and on disk.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "pcbuffer/buffer_names.h"
#include "pcbuffer/folder_scan.h"
#include "testing/temp_dir.h"

namespace pcbuffer {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
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

TEST(BufferNames, WrittenBlockNamesHaveEightDigits) {
    EXPECT_TRUE(IsWrittenBlockName("00000000.mkw"));
    EXPECT_TRUE(IsWrittenBlockName("99999999.mkw"));
    for (const char* other : {"7.mkw", "000000001.mkw", "00000001.MKW", "00000001.mkw.bak", "0000000x.mkw",
                              "datainfo.mkw", "-0000001.mkw", ""})
        EXPECT_FALSE(IsWrittenBlockName(other)) << other;
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
    const std::vector<BufferFileEntry> files = {{"00000003.mkw", 1048576}, {"datainfo.mkw", 2058},
                                                {"00000004.mkw", 400},     {"00000002.mkw", 1048576},
                                                {"notes.txt", 5},          {"00000009.txt", 5}};
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
    EXPECT_FALSE(asked);  // a 19-byte file is not even opened
    // Numbers far apart do not overflow the span check.
    EXPECT_EQ(Scan({{"datainfo.mkw", 2058}, {"0.mkw", 8}, {"2147483647.mkw", 8}}), none);
}

TEST(FolderScan, TheBlockRunAloneNeedsNoInformationFile) {
    EXPECT_EQ(ScanBlockRun(std::vector<BufferFileEntry>{{"00000004.mkw", 400}, {"00000003.mkw", 1048576}}),
              (BufferScan{true, 3, 4, 2, 400}));
    EXPECT_EQ(ScanBlockRun(std::vector<BufferFileEntry>{{"datainfo.mkw", 2058}}), BufferScan{});
    EXPECT_EQ(ScanBlockRun(std::vector<BufferFileEntry>{{"00000003.mkw", 8}, {"00000005.mkw", 8}}), BufferScan{});
}

// An information file: the magic, a model code and a body of `bodyBytes` zeros.
Bytes InfoFile(const std::string& magic = "MIRLOKE DATAINFO", int bodyBytes = 2038) {
    Bytes file(magic.begin(), magic.end());
    file.insert(file.end(), {4, 0, 0, 0});
    file.resize(file.size() + static_cast<std::size_t>(bodyBytes), 0);
    return file;
}

TEST(FolderScan, OnDisk) {
    testing_util::TempDir dir;
    write_file(dir.file("datainfo.mkw"), InfoFile());
    write_file(dir.file("00000002.mkw"), Bytes(16, 1));
    write_file(dir.file("00000003.mkw"), Bytes(16, 1));
    write_file(dir.file("00000004.mkw"), Bytes(12, 1));
    fs::create_directory(dir.file("00000005.mkw"));  // a folder is no block
    EXPECT_EQ(ScanBufferFolder(dir.path().c_str()), (BufferScan{true, 2, 4, 3, 12}));

    write_file(dir.file("datainfo.mkw"), InfoFile("MIRLOKE DATAINFO", 0));  // header only: enough for the scan
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

TEST(FolderScan, ReadingTheInformationFileTakesItsBodyOnlyWhenAllOfItIsValid) {
    testing_util::TempDir dir;
    const std::string path = dir.file("datainfo.mkw");
    Bytes info = InfoFile();
    for (std::size_t i = kInfoHeaderSize; i < info.size(); ++i) info[i] = static_cast<std::uint8_t>(i * 7);
    write_file(path, info);
    std::array<std::uint8_t, kInfoBodySize> body{};
    ASSERT_TRUE(ReadInfoFile(path, body).ok());
    EXPECT_TRUE(std::equal(body.begin(), body.end(), info.begin() + kInfoHeaderSize));
    EXPECT_TRUE(InfoHeaderValid(path).ok());

    // A short body, a wrong magic or no file: false, and the body read before stays.
    const auto before = body;
    Bytes shortBody = InfoFile();  // a body of zeros, one byte short
    shortBody.pop_back();
    write_file(path, shortBody);
    EXPECT_EQ(ReadInfoFile(path, body).message(), "cannot read '" + path + "': the information file is too short");
    EXPECT_TRUE(InfoHeaderValid(path).ok());  // the header alone is still valid
    write_file(path, InfoFile("MIRLOKE SETUP   "));
    EXPECT_EQ(ReadInfoFile(path, body).message(), "cannot read '" + path + "': not a buffer information file");
    EXPECT_FALSE(InfoHeaderValid(path).ok());
    EXPECT_EQ(ReadInfoFile(dir.file("missing.mkw"), body).errorNumber(), ENOENT);
    EXPECT_EQ(body, before);
}

TEST(FolderScan, EveryInformationFileIsAskedForInListOrder) {
    // A reader takes the body of each valid information file it is asked
    // about, so a damaged second one must be asked about and must not undo the first.
    std::vector<std::string> asked;
    const std::vector<BufferFileEntry> files = {
        {"datainfo.mkw", 2058}, {"00000000.mkw", 8}, {"DATAINFO.MKW", 30}, {"DataInfo.mkw", 19}};
    const BufferScan scan = ScanBufferEntries(files, [&asked](const BufferFileEntry& e) {
        asked.push_back(e.name);
        return e.size == 2058;
    });
    EXPECT_EQ(scan, (BufferScan{true, 0, 0, 1, 8}));
    EXPECT_EQ(asked, (std::vector<std::string>{"datainfo.mkw", "DATAINFO.MKW"}));
}

TEST(FolderScan, OnlyPlainFilesAreListed) {
    testing_util::TempDir dir;
    write_file(dir.file("00000000.mkw"), Bytes(8, 1));
    write_file(dir.file("notes.txt"), Bytes(8, 1));
    ASSERT_EQ(::mkfifo(dir.file("00000001.mkw").c_str(), 0600), 0);
    fs::create_directory(dir.file("00000002.mkw"));
    fs::create_symlink(dir.file("00000000.mkw"), dir.file("00000003.mkw"));
    fs::create_symlink(dir.file("gone"), dir.file("00000004.mkw"));
    std::vector<std::string> names;
    for (const BufferFileEntry& e : ListBufferFiles(dir.path())) names.push_back(e.name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"00000000.mkw", "00000003.mkw"}));
    EXPECT_TRUE(ListBufferFiles(dir.file("missing")).empty());
}

}  // namespace
}  // namespace pcbuffer
