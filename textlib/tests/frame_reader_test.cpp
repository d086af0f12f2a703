// FrameReader, the public face of the reader and the frame delimiter: the same
// frames and positions as NextFrame over the same words, from a folder, a
// single data file and live records, with the filter and range end passed on.
#include <gtest/gtest.h>

#include <memory>

#include "buffer_builder.h"
#include "buffer_reader.h"
#include "frame_words.h"
#include "frames/frame.h"
#include "testing/temp_dir.h"
#include "textlib/frame_reader.h"
#include "textlib/live_records.h"

using namespace textlib_test;

namespace {

// Direction, end, stamp, first byte and the position after each frame.
struct Cut {
    int dir, end;
    std::uint32_t stamp;
    int first;
    std::int64_t pos;
    bool operator==(const Cut&) const = default;
};

template <typename Reader, typename Next>
std::vector<Cut> Cuts(Reader& reader, Next next) {
    std::vector<Cut> cuts;
    auto f = std::make_unique<textlib::Frame>();
    while (cuts.size() < 100 && next(*f))
        cuts.push_back({f->direction, f->endStatus, f->timeStamp, f->count > 0 ? f->Byte(0) : -1, reader.Pos()});
    return cuts;
}

// Two directions overlapping, a gap, and a frame after it.
std::vector<std::uint32_t> Words() {
    std::vector<std::uint32_t> w{TimeStamp(false, 1, 0, 0)};
    Append(w, SdText("0123"));
    Append(w, {TimeStamp(false, 1, 0, 5), Sd('A'), TimeStamp(true, 1, 0, 6), SdRd('B', 'x'), Rd('z'), Gap(2),
               TimeStamp(false, 1, 0, 9), Sd('E')});
    return w;
}

std::vector<Cut> ByNextFrame(const std::string& path, int filter, std::int64_t end = INT64_MAX) {
    textlib::BufferReader reader;
    EXPECT_TRUE(reader.Open(path.c_str()));
    reader.SetFilter(filter);
    reader.Seek(0);
    return Cuts(reader, [&reader, end](textlib::Frame& f) { return textlib::NextFrame(reader, f, end); });
}

std::vector<Cut> ByFrameReader(textlib::FrameReader& reader, int filter, std::int64_t end = INT64_MAX) {
    reader.SetFilter(filter);
    reader.Seek(0);
    return Cuts(reader, [&reader, end](textlib::Frame& f) { return reader.Next(f, end); });
}

TEST(FrameReader, FolderGivesTheDelimitersFramesWithTheFilterApplied) {
    testing_util::TempDir dir;
    InfoBody body = AsyncBody();
    body[textlib::info::kSSpeed] = 21;
    WriteBuffer(dir.path(), body, Words(), 3);
    textlib::FrameReader reader;
    ASSERT_TRUE(reader.Open(dir.path().c_str()));
    EXPECT_FALSE(reader.IsSingleFile());
    EXPECT_EQ(reader.BlockCount(), 1);
    EXPECT_EQ(reader.Info(textlib::info::kSSpeed), 21);
    for (int filter : {0, textlib::kHideRd, textlib::kHideSd}) {
        const auto expected = ByNextFrame(dir.path(), filter);
        ASSERT_GE(expected.size(), 2u) << filter;
        EXPECT_EQ(ByFrameReader(reader, filter), expected) << filter;
    }
}

TEST(FrameReader, RangeEndIsPassedOn) {
    // Break marks make no frame and are passed over, but not past the range end.
    testing_util::TempDir dir;
    const std::vector<std::uint32_t> words{TimeStamp(false, 2, 0, 0), Sd('a'), Sd(0, kBreakMark), Sd(0, kBreakMark),
                                           Sd(0, kBreakMark),         Sd('b'), Sd(0, kBreakMark)};
    WriteBuffer(dir.path(), AsyncBody(), words);
    textlib::FrameReader reader;
    ASSERT_TRUE(reader.Open(dir.path().c_str()));
    EXPECT_EQ(ByFrameReader(reader, 0, 3), ByNextFrame(dir.path(), 0, 3));
    EXPECT_EQ(ByFrameReader(reader, 0), ByNextFrame(dir.path(), 0));
    EXPECT_NE(ByNextFrame(dir.path(), 0, 3), ByNextFrame(dir.path(), 0));
}

TEST(FrameReader, SingleFileAndNothingToOpen) {
    testing_util::TempDir dir;
    const std::string file = dir.file("single.dat");
    WriteSingleFile(file, AsyncBody(), Words());
    textlib::FrameReader reader;
    ASSERT_TRUE(reader.Open(file.c_str()));
    EXPECT_TRUE(reader.IsSingleFile());
    EXPECT_EQ(reader.RecordCount(), static_cast<std::int64_t>(Words().size()));
    EXPECT_EQ(ByFrameReader(reader, 0), ByNextFrame(file, 0));
    EXPECT_FALSE(reader.Open(dir.file("missing").c_str()));
}

TEST(FrameReader, LiveRecordsGiveTheSameFramesAsTheFolder) {
    testing_util::TempDir dir;
    const InfoBody body = AsyncBody();
    WriteBuffer(dir.path(), body, Words());
    textlib::LiveRecords live;
    const auto words = Words();
    live.SetInfo(body.data());
    live.Append(words.data(), words.size());
    live.Finish();
    textlib::FrameReader reader;
    reader.OpenLive(live, body.data());
    EXPECT_EQ(ByFrameReader(reader, 0), ByNextFrame(dir.path(), 0));
}

}  // namespace
