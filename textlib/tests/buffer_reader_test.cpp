// Buffer reader: folder checks, block mapping in both directions, single data
// files, the filtered record stream and the line-state search.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <random>

#include "buffer_builder.h"
#include "buffer_reader.h"
#include "pcbuffer/folder_scan.h"
#include "testing/temp_dir.h"

using namespace textlib_test;
using textlib::BufferReader;

namespace {

std::vector<std::uint32_t> Numbered(std::size_t n) {
    std::vector<std::uint32_t> w(n);
    for (std::size_t i = 0; i < n; ++i) w[i] = Sd(static_cast<int>(i & 0xFF)) | static_cast<std::uint32_t>(i % 7) << 24;
    return w;
}

}  // namespace

TEST(FolderScan, AcceptsConsecutiveBlocksWithValidInfo) {
    testing_util::TempDir dir;
    WriteBuffer(dir.path(), AsyncBody(), Numbered(2 * kBlockWords + 10), 2);
    BufferReader r;
    ASSERT_TRUE(r.Open(dir.path().c_str()));
    EXPECT_EQ(r.FirstBlock(), 2);
    EXPECT_EQ(r.BlockCount(), 3);
    EXPECT_FALSE(r.IsSingleFile());
    EXPECT_EQ(r.Info(2), 18);  // the body came from datainfo.mkw
}

TEST(FolderScan, RejectsBadInfoFilesGapsAndEmptyFolders) {
    testing_util::TempDir dir;
    BufferReader r;
    EXPECT_FALSE(r.Open(dir.path().c_str()));  // nothing at all
    EXPECT_FALSE(r.Open((dir.path() + "/missing").c_str()));
    EXPECT_FALSE(r.Open(nullptr));

    WriteBuffer(dir.path(), AsyncBody(), Numbered(10));
    std::string info = dir.file("datainfo.mkw");
    auto bytes = testing_util::read_file(info);

    testing_util::write_file(info, std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 19));
    EXPECT_FALSE(r.Open(dir.path().c_str())) << "19 bytes fail the size check";
    testing_util::write_file(info, std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 20));
    EXPECT_FALSE(r.Open(dir.path().c_str())) << "20 bytes pass the size check but have no body";
    auto wrongMagic = bytes;
    wrongMagic[8] = 'X';
    testing_util::write_file(info, wrongMagic);
    EXPECT_FALSE(r.Open(dir.path().c_str()));
    std::filesystem::remove(info);
    EXPECT_FALSE(r.Open(dir.path().c_str()));
    EXPECT_FALSE(r.IsOpen());

    // An info file named in capitals still counts.
    testing_util::write_file(dir.file("DataInfo.MKW"), bytes);
    EXPECT_TRUE(r.Open(dir.path().c_str()));

    // A second, cut-off info file next to a good one leaves the good body alone.
    auto cut = bytes;
    cut.resize(20 + 100);
    std::fill(cut.begin() + 20, cut.end(), 0xEE);
    testing_util::write_file(dir.file("DATAINFO.mkw"), cut);
    ASSERT_TRUE(r.Open(dir.path().c_str()));
    EXPECT_EQ(r.Info(2), 18);
    r.Close();
    EXPECT_EQ(r.Info(2), 0) << "nothing of a closed buffer stays";
}

TEST(FolderScan, BlockNumbersMustBeConsecutive) {
    testing_util::TempDir dir;
    WriteInfoFile(dir.path(), AsyncBody());
    testing_util::write_file(BlockName(dir.path(), 3), std::string(8, 'x'));
    testing_util::write_file(BlockName(dir.path(), 5), std::string(8, 'x'));
    BufferReader r;
    EXPECT_FALSE(r.Open(dir.path().c_str())) << "count 2, span 3";
    testing_util::write_file(BlockName(dir.path(), 4), std::string(8, 'x'));
    testing_util::write_file(dir.file("notes.mkw"), "ignored");
    testing_util::write_file(dir.file("00000009.txt"), "not a block file");
    ASSERT_TRUE(r.Open(dir.path().c_str()));
    EXPECT_EQ(r.FirstBlock(), 3);
    EXPECT_EQ(r.BlockCount(), 3);
}

TEST(FolderScan, TheReaderTakesTheBlocksTheCaptureWriterFinds) {
    testing_util::TempDir dir;
    WriteBuffer(dir.path(), AsyncBody(), Numbered(10), 2);
    BufferReader r;
    auto agree = [&](bool opens, int blocks) {
        const pcbuffer::BufferScan scan = pcbuffer::ScanBufferFolder(dir.path().c_str());
        EXPECT_EQ(r.Open(dir.path().c_str()), opens);
        EXPECT_EQ(scan.hasData, opens);
        EXPECT_EQ(r.BlockCount(), blocks);
        EXPECT_EQ(scan.blockCount, blocks);
    };
    agree(true, 1);
    ASSERT_EQ(::mkfifo(BlockName(dir.path(), 3).c_str(), 0600), 0);
    agree(true, 1);  // only plain files are blocks
    testing_util::write_file(dir.file("123456789.mkw"), std::string(8, 'x'));
    agree(false, 0);  // a number far off is a gap, as for the writer
}

TEST(FolderScan, ShortNameCountsButReadsAsEndOfData) {
    testing_util::TempDir dir;
    WriteInfoFile(dir.path(), AsyncBody());
    auto bytes = WordBytes(std::vector<std::uint32_t>{Sd('A')}.data(), 1);
    testing_util::write_file(dir.file("7.mkw"), bytes);
    BufferReader r;
    ASSERT_TRUE(r.Open(dir.path().c_str()));
    EXPECT_EQ(r.FirstBlock(), 7);
    EXPECT_EQ(r.ReadWord(0), 0u);
}

TEST(BlockMapping, ReadsAcrossBlockBoundariesBothWays) {
    testing_util::TempDir dir;
    auto words = Numbered(2 * kBlockWords + 5);
    WriteBuffer(dir.path(), AsyncBody(), words);
    BufferReader r;
    ASSERT_TRUE(r.Open(dir.path().c_str()));
    for (std::int64_t i : {std::int64_t{0}, std::int64_t{kBlockWords - 1}, std::int64_t{kBlockWords},
                           std::int64_t{2 * kBlockWords + 4}, std::int64_t{kBlockWords + 3}, std::int64_t{17}})
        EXPECT_EQ(r.ReadWord(i), words[static_cast<std::size_t>(i)]) << "index " << i;
    EXPECT_EQ(r.ReadWord(2 * kBlockWords + 5), 0u) << "past the last block's words";
    EXPECT_EQ(r.ReadWord(3 * kBlockWords), 0u) << "no such block";
    EXPECT_EQ(r.ReadWord(-1), 0u);
    EXPECT_EQ(r.ReadWord(5), words[5]) << "maps the first block again after misses";
}

TEST(BlockMapping, SeekSeesALastBlockThatGrew) {
    testing_util::TempDir dir;
    WriteBuffer(dir.path(), AsyncBody(), {Sd('a'), Sd('b')});
    BufferReader r;
    ASSERT_TRUE(r.Open(dir.path().c_str()));
    EXPECT_EQ(r.ReadWord(2), 0u);
    auto more = WordBytes(std::vector<std::uint32_t>{Sd('a'), Sd('b'), Sd('c')}.data(), 3);
    testing_util::write_file(BlockName(dir.path(), 0), more);
    r.Seek(0);
    EXPECT_EQ(r.ReadWord(2), Sd('c'));
}

TEST(BlockMapping, VanishedBlockEndsTheData) {
    testing_util::TempDir dir;
    auto words = Numbered(3 * kBlockWords);
    WriteBuffer(dir.path(), AsyncBody(), words);
    BufferReader r;
    ASSERT_TRUE(r.Open(dir.path().c_str()));
    std::filesystem::remove(BlockName(dir.path(), 1));
    r.Seek(kBlockWords - 2);
    EXPECT_EQ(r.NextRecord(), words[kBlockWords - 2]);
    EXPECT_EQ(r.NextRecord(), words[kBlockWords - 1]);
    EXPECT_EQ(r.NextRecord(), 0u);
    EXPECT_EQ(r.ReadWord(2 * kBlockWords), words[2 * kBlockWords]) << "later blocks still read";
}

TEST(SingleFile, ReadsUnalignedWordsUpToTheStoredCount) {
    testing_util::TempDir dir;
    std::string path = dir.file("single.dat");
    std::vector<std::uint32_t> words{Sd('A'), Rd('B'), Idle(3), Sd('C')};
    WriteSingleFile(path, AsyncBody(), words, 3);
    BufferReader r;
    ASSERT_TRUE(r.Open(path.c_str()));
    EXPECT_TRUE(r.IsSingleFile());
    EXPECT_EQ(r.RecordCount(), 3);
    EXPECT_EQ(r.ReadWord(0), Sd('A'));  // 2038 is not a multiple of four
    EXPECT_EQ(r.ReadWord(2), Idle(3));
    EXPECT_EQ(r.ReadWord(3), 0u) << "beyond the stored count";
}

TEST(SingleFile, CountIsTrustedOnlyAsFarAsTheFileReaches) {
    testing_util::TempDir dir;
    std::string path = dir.file("single.dat");
    WriteSingleFile(path, AsyncBody(), {Sd('A'), Sd('B')}, 1000000);
    BufferReader r;
    ASSERT_TRUE(r.Open(path.c_str()));
    EXPECT_EQ(r.RecordCount(), 2);
    EXPECT_EQ(r.ReadWord(2), 0u);
    WriteSingleFile(path, AsyncBody(), {Sd('A')}, 0x80000000LL);  // negative as int32
    ASSERT_TRUE(r.Open(path.c_str()));
    EXPECT_EQ(r.RecordCount(), 0);
    testing_util::write_file(path, std::string(2037, '\0'));
    EXPECT_FALSE(r.Open(path.c_str())) << "shorter than the information body";
}

TEST(RecordStream, HidesDirectionsAndDropsEmptyWords) {
    testing_util::TempDir dir;
    WriteBuffer(dir.path(), AsyncBody(), {Sd('A'), Rd('B'), SdRd('C', 'D'), Word(0x001F, 0x002F), Gap(3)});
    BufferReader r;
    ASSERT_TRUE(r.Open(dir.path().c_str()));
    EXPECT_EQ(r.NextRecord(), Sd('A'));
    EXPECT_EQ(r.NextRecord(), Rd('B'));
    EXPECT_EQ(r.NextRecord(), SdRd('C', 'D'));
    EXPECT_EQ(r.NextRecord(), Gap(3)) << "a word with nothing in either direction never comes";
    EXPECT_EQ(r.NextRecord(), 0u);

    r.SetFilter(textlib::kHideRd);
    r.Seek(0);
    EXPECT_EQ(r.NextRecord(), Sd('A'));
    EXPECT_EQ(r.NextRecord(), SdRd('C', 'D') | 0x000F0000u) << "RD status forced to 15";
    EXPECT_EQ(r.NextRecord(), Gap(3));
    r.SetFilter(textlib::kHideSd);
    r.Seek(0);
    EXPECT_EQ(r.NextRecord(), Rd('B'));
    EXPECT_EQ(r.NextRecord(), SdRd('C', 'D') | 0x0000000Fu);
}

TEST(RecordStream, SpreadsIdleTimesAndTimeStampsOverFourColumns) {
    testing_util::TempDir dir;
    WriteBuffer(dir.path(), AsyncBody(), {Idle(7), TimeStamp(true, 12, 34, 56), Sd('A')});
    BufferReader r;
    ASSERT_TRUE(r.Open(dir.path().c_str()));
    for (std::uint32_t c = 0; c < 4; ++c) {
        EXPECT_EQ(r.NextRecord(), Idle(7) | c << 2);
        EXPECT_EQ(r.Pos(), c < 3 ? 0 : 1) << "the stream stays on the word until its last column";
    }
    for (std::uint32_t c = 0; c < 4; ++c) EXPECT_EQ(r.NextRecord(), TimeStamp(true, 12, 34, 56) | c << 2);
    EXPECT_EQ(r.NextRecord(), Sd('A'));
}

TEST(RecordStream, FilterFlagsDropRecordKinds) {
    testing_util::TempDir dir;
    WriteBuffer(
        dir.path(), AsyncBody(),
        {TimeStamp(true, 1, 2, 3), TimeStamp(false, 4, 5, 6), LineState(0x80, 0), Idle(1), 0x00000007u, Sd('Z')});
    BufferReader r;
    ASSERT_TRUE(r.Open(dir.path().c_str()));
    r.SetFilter(textlib::kHideRd | textlib::kSkipIdle);
    EXPECT_EQ(r.NextRecord(), TimeStamp(false, 4, 5, 6)) << "the RD stamp is hidden, the SD one stays";
    for (int c = 1; c < 4; ++c) r.NextRecord();
    EXPECT_EQ(r.NextRecord(), LineState(0x80, 0)) << "line states are never spread";
    EXPECT_EQ(r.NextRecord(), Sd('Z')) << "idle skipped, unknown kind 7 skipped";

    r.SetFilter(textlib::kSkipTimeStamp | textlib::kSkipLineState);
    r.Seek(0);
    EXPECT_EQ(r.NextRecord(), Idle(1));
}

TEST(LineStateSearch, ForwardGivesTheStateBeforeBackwardTheStateAfter) {
    testing_util::TempDir dir;
    WriteBuffer(
        dir.path(), AsyncBody(),
        {Sd('a'), LineState(0x80, 0x00), Sd('c'), Gap(1), Sd('d'), Gap(1), Sd('e'), LineState(0x40, 0xC0), Sd('f')});
    BufferReader r;
    ASSERT_TRUE(r.Open(dir.path().c_str()));
    r.Seek(0);
    EXPECT_EQ(r.FindLineState(), LineState(0x80, 0x80));
    r.Seek(2);
    EXPECT_EQ(r.FindLineState(), LineState(0x00, 0x00)) << "the gap stops the forward scan";
    r.Seek(4);
    EXPECT_EQ(r.FindLineState(), 0u) << "between two gaps nothing is known";
    r.Seek(6);
    EXPECT_EQ(r.FindLineState(), LineState(0x40, 0x40));
    r.Seek(8);
    EXPECT_EQ(r.FindLineState(), LineState(0xC0, 0xC0));
}

// The search remembers what each scan covered; its answers must equal a plain
// scan at every position, in any order of positions.
TEST(LineStateSearch, RememberedScansAnswerLikeFreshOnes) {
    std::mt19937 rng(7);
    std::vector<std::uint32_t> words;
    for (int i = 0; i < 3000; ++i) {
        unsigned k = rng() % 100;
        words.push_back(k < 3   ? Gap(1)
                        : k < 8 ? LineState(static_cast<int>(rng() & 0xFF), static_cast<int>(rng() & 0xFF))
                                : Sd('x'));
    }
    auto plain = [&](std::int64_t pos) -> std::uint32_t {
        for (std::int64_t i = pos; i < static_cast<std::int64_t>(words.size()); ++i) {
            std::uint32_t w = words[static_cast<std::size_t>(i)];
            if (textlib::IsGap(w)) break;
            if (textlib::IsLineState(w)) return (w & 0x00FFFFFF) | (w & 0xFF00) << 16;
        }
        for (std::int64_t i = pos - 1; i >= 0; --i) {
            std::uint32_t w = words[static_cast<std::size_t>(i)];
            if (textlib::IsGap(w)) break;
            if (textlib::IsLineState(w)) return (w & 0xFFFF00FF) | (w >> 16 & 0xFF00);
        }
        return 0;
    };
    testing_util::TempDir dir;
    WriteBuffer(dir.path(), AsyncBody(), words);
    BufferReader r;
    ASSERT_TRUE(r.Open(dir.path().c_str()));
    for (std::int64_t p = 0; p <= 3000; ++p) {
        r.SetPos(p);  // keeps what earlier searches learned, unlike Seek
        ASSERT_EQ(r.FindLineState(), plain(p)) << "ascending, position " << p;
    }
    for (std::int64_t p = 0; p <= 3000; p += 37) {
        r.SetPos(p);  // keeps what earlier searches learned, unlike Seek
        ASSERT_EQ(r.FindLineState(), plain(p)) << "in steps, position " << p;
    }
    for (int n = 0; n < 3000; ++n) {
        std::int64_t p = rng() % 3001;
        r.SetPos(p);  // keeps what earlier searches learned, unlike Seek
        ASSERT_EQ(r.FindLineState(), plain(p)) << "random, position " << p;
    }
}
