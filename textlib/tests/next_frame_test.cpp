// Frame delimitation: the order of full-duplex frames, resume indices, gaps,
// and the begin and end rules of the ASYNC, SYNC, HDLC and PPP modes.
#include <gtest/gtest.h>

#include <ostream>

#include "buffer_builder.h"
#include "frame_words.h"
#include "frames/frame.h"
#include "testing/temp_dir.h"

using namespace textlib_test;
using textlib::BufferReader;
using textlib::Frame;

namespace {

struct Got {
    int dir;
    int end;
    std::uint32_t stamp;
    std::vector<int> bytes;
    bool operator==(const Got&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Got& g) {
    os << "{dir " << g.dir << ", end " << g.end << ", stamp " << std::hex << g.stamp << std::dec << ", bytes";
    for (int b : g.bytes) os << ' ' << std::hex << b << std::dec;
    return os << '}';
}

constexpr int kSd = textlib::kFrameSd, kRd = textlib::kFrameRd, kUndecided = textlib::kFrameUndecided,
              kLost = textlib::kFrameLost;

std::vector<int> Bytes(const std::string& s) { return std::vector<int>(s.begin(), s.end()); }
std::uint32_t Stamp(bool rd, int h, int m, int s) { return TimeStamp(rd, h, m, s) & ~0x8000u; }

// Every frame of a buffer, and the reader position after each one.
struct Delimited {
    std::vector<Got> frames;
    std::vector<std::int64_t> positions;
};

Delimited Delimit(const InfoBody& body, const std::vector<std::uint32_t>& words, int filter = 0) {
    testing_util::TempDir dir;
    WriteBuffer(dir.path(), body, words);
    BufferReader reader;
    Delimited d;
    if (!reader.Open(dir.path().c_str())) {
        ADD_FAILURE() << "buffer did not open";
        return d;
    }
    reader.SetFilter(filter);
    reader.Seek(0);
    auto frame = std::make_unique<Frame>();
    while (textlib::NextFrame(reader, *frame)) {
        Got g{frame->direction, frame->endStatus, frame->timeStamp, {}};
        for (int k = 0; k < frame->count; ++k) g.bytes.push_back(frame->Byte(k));
        d.frames.push_back(g);
        d.positions.push_back(reader.Pos());
        if (d.frames.size() > 100) {
            ADD_FAILURE() << "the delimiter does not come to an end";
            break;
        }
    }
    return d;
}

// SD frame 0-9, SD frame from 10 with an RD frame from 12 inside it, SD frame from 17.
std::vector<std::uint32_t> FullDuplexAsync() {
    std::vector<std::uint32_t> w{TimeStamp(false, 1, 0, 0)};
    Append(w, SdText("012345678"));
    Append(w, {TimeStamp(false, 1, 0, 5), Sd('A'), TimeStamp(true, 1, 0, 6), SdRd('B', 'x'), SdRd('C', 'y'), Sd('D'),
               Rd('z'), TimeStamp(false, 1, 0, 9), Sd('E')});
    return w;
}

}  // namespace

TEST(AsyncFrames, FullDuplexFramesComeInTheOrderTheyBegan) {
    Delimited d = Delimit(AsyncBody(), FullDuplexAsync());
    std::vector<Got> want{{kSd, 0, Stamp(false, 1, 0, 0), Bytes("012345678")},
                          {kSd, 0, Stamp(false, 1, 0, 5), Bytes("ABCD")},
                          {kRd, 0, Stamp(true, 1, 0, 6), Bytes("xyz")},
                          {kSd, 0, Stamp(false, 1, 0, 9), Bytes("E")}};
    EXPECT_EQ(d.frames, want);
    // After the SD frame from 10 the next scan starts at the RD stamp (12);
    // after the RD frame, at the SD stamp it passed (17).
    EXPECT_EQ(d.positions, (std::vector<std::int64_t>{10, 12, 17, 19}));
}

TEST(AsyncFrames, OneDirectionOnlyScansStraightOn) {
    Delimited sd = Delimit(AsyncBody(), FullDuplexAsync(), textlib::kHideRd);
    std::vector<Got> wantSd{{kSd, 0, Stamp(false, 1, 0, 0), Bytes("012345678")},
                            {kSd, 0, Stamp(false, 1, 0, 5), Bytes("ABCD")},
                            {kSd, 0, Stamp(false, 1, 0, 9), Bytes("E")}};
    EXPECT_EQ(sd.frames, wantSd);
    EXPECT_EQ(sd.positions, (std::vector<std::int64_t>{10, 17, 19}));

    Delimited rd = Delimit(AsyncBody(), FullDuplexAsync(), textlib::kHideSd);
    EXPECT_EQ(rd.frames, (std::vector<Got>{{kRd, 0, Stamp(true, 1, 0, 6), Bytes("xyz")}}));
}

TEST(AsyncFrames, FrameEndingInsideALongerOneIsNotDeliveredTwice) {
    std::vector<std::uint32_t> w{TimeStamp(false, 2, 0, 0),
                                 Sd('a'),
                                 SdRd('b', 'X'),
                                 SdRd('c', 'Y'),
                                 SdRd('d', 0, 0, kBreakMark),
                                 Sd('e'),
                                 Sd('f'),
                                 Sd(0, kBreakMark),
                                 Rd('Z')};
    Delimited d = Delimit(AsyncBody(), w);
    std::vector<Got> want{{kSd, textlib::kEndBreak, Stamp(false, 2, 0, 0), Bytes("abcdef")},
                          {kRd, textlib::kEndBreak, 0, Bytes("XY")},
                          {kRd, 0, 0, Bytes("Z")}};
    EXPECT_EQ(d.frames, want);
    EXPECT_EQ(d.positions, (std::vector<std::int64_t>{2, 5, 9}));
}

TEST(AsyncFrames, GapEndsTheFrameAndComesBackAsALostFrame) {
    std::vector<std::uint32_t> w{TimeStamp(false, 3, 0, 0), Sd('a'), Sd('b'), Gap(4), Sd('c'), Sd('d')};
    Delimited d = Delimit(AsyncBody(), w);
    std::vector<Got> want{{kSd, 0, Stamp(false, 3, 0, 0), Bytes("ab")}, {kLost, 0, 0, {}}, {kSd, 0, 0, Bytes("cd")}};
    EXPECT_EQ(d.frames, want);
    EXPECT_EQ(d.positions, (std::vector<std::int64_t>{3, 4, 6}));
}

TEST(AsyncFrames, CheckCharactersSetTheEndStatusWithoutBeingKept) {
    std::vector<std::uint32_t> w{Sd('a'), Sd('k', 2), Sd('b'), Rd('c'), Rd('k', 3), Rd(0, 9), Rd('d')};
    Delimited d = Delimit(AsyncBody(), w);
    std::vector<Got> want{{kSd, textlib::kEndGood, 0, Bytes("ab")}, {kRd, textlib::kEndNg, 0, Bytes("cd")}};
    EXPECT_EQ(d.frames, want);  // statuses above 8 (the abort mark here) take no part
}

TEST(AsyncFrames, BreakBeforeAnyDataIsPassedOverAndTheScanGoesOn) {
    std::vector<std::uint32_t> w{Sd(0, kBreakMark), Rd(0, kBreakMark), Sd('a'), Sd(0, kBreakMark)};
    Delimited d = Delimit(AsyncBody(), w);
    EXPECT_EQ(d.frames, (std::vector<Got>{{kSd, textlib::kEndBreak, 0, Bytes("a")}}));
}

TEST(AsyncFrames, IdleTimesEndFramesInTheRecordedUnit) {
    auto frames = [](int unit, int neverEnds, unsigned idle) {
        InfoBody b = AsyncBody();
        b[30] = static_cast<std::uint8_t>(unit);
        b[31] = static_cast<std::uint8_t>(neverEnds);
        return Delimit(b, {Idle(500), Sd('a'), Idle(idle), Sd('b')}).frames.size();
    };
    EXPECT_EQ(frames(1, 0, 10), 2u);  // 10 x 100 = 1000 ends the frame
    EXPECT_EQ(frames(1, 1, 10), 1u);  // but never with byte 31 set
    EXPECT_EQ(frames(2, 0, 10), 2u);  // 10 x 10 = 100
    EXPECT_EQ(frames(2, 0, 9), 1u);   // 90
    EXPECT_EQ(frames(0, 0, 99), 1u);
    EXPECT_EQ(frames(0, 0, 100), 2u);
}

TEST(AsyncFrames, FrameKeepsAtMost1024CellsAndStillFindsItsEnd) {
    std::vector<std::uint32_t> w{TimeStamp(false, 4, 0, 0)};
    for (int k = 0; k < 1100; ++k) w.push_back(Sd('0' + k % 10));
    Append(w, {TimeStamp(false, 4, 0, 1), Sd('z')});
    Delimited d = Delimit(AsyncBody(), w);
    ASSERT_EQ(d.frames.size(), 2u);
    EXPECT_EQ(d.frames[0].bytes.size(), 1024u);
    EXPECT_EQ(d.frames[0].bytes[1023], '0' + 1023 % 10);
    EXPECT_EQ(d.frames[1], (Got{kSd, 0, Stamp(false, 4, 0, 1), Bytes("z")}));
}

TEST(AsyncFrames, NoFrameInAnEmptyOrFrameLessBuffer) {
    EXPECT_TRUE(Delimit(AsyncBody(), {}).frames.empty());
    EXPECT_TRUE(Delimit(AsyncBody(), {Idle(5000), LineState(0, 0x80), Sd(0, 8)}).frames.empty());
}

TEST(SyncFrames, SyncCharactersOpenUnderTheMaskAndEndCharactersClose) {
    InfoBody b{};
    b[1] = 1;  // SYNC
    b[5] = 2;  // 7 bits: mask 0x7F
    b[9] = 2;  // two sync characters
    b[10] = b[11] = 0x32;
    b[12] = 0x03;  // end-of-frame character
    b[13] = 2;     // twice in a row
    std::vector<std::uint32_t> w{Sd(0x32), Sd('x'),    Sd(0xB2), Sd(0xB2), Sd('A'), Sd(0x03),
                                 Sd('B'),  Sd('k', 2), Sd(0x83), Sd(0x03), Sd('C')};
    Delimited d = Delimit(b, w);
    std::vector<Got> want{{kSd, textlib::kEndGood, 0, {0x32, 0x32, 'A', 0x03, 'B', 0x83, 0x03}}};
    EXPECT_EQ(d.frames, want);

    b[9] = 1;  // one sync character; a single end character after a stamp-opened frame
    b[13] = 1;
    Delimited s = Delimit(b, {TimeStamp(true, 5, 0, 0), Rd(0x32), Rd('Q'), Rd(0x03), Rd(0x32), Rd('R'), Rd(0x03)});
    std::vector<Got> wantRd{{kRd, 0, Stamp(true, 5, 0, 0), {0x32, 'Q', 0x03}}, {kRd, 0, 0, {0x32, 'R', 0x03}}};
    EXPECT_EQ(s.frames, wantRd);
}

TEST(HdlcFrames, FlagsMarksAndTimeStampsDelimit) {
    std::vector<std::uint32_t> w{
        TimeStamp(false, 6, 0, 0), Sd(0x7E, kOpenFlag), Sd(0x01), Sd(0x3F), Sd(0xFF, kAbortMark), Sd(0x55),
        Sd(0x7E, kCloseFlag)};
    Append(w, HdlcFrame(true, {0x01, 0x73}));
    Append(w, {Sd(0x7E, kOpenFlag), Sd(0x7E, kCloseFlag)});  // an empty flag pair between frames
    Append(w, HdlcFrame(false, {0x03, 0x10}, kFcsBad));
    Append(w, {Rd(0x7E, kOpenFlag), Rd(0x03), Rd(0, kShortMark), Sd(0x7E, kOpenFlag), Sd(0x7E, kShortMark)});
    Delimited d = Delimit(HdlcBody(), w);
    std::vector<Got> want{{kSd, textlib::kEndAbort, Stamp(false, 6, 0, 0), {0x01, 0x3F, 0x55}},
                          {kRd, textlib::kEndGood, 0, {0x01, 0x73}},
                          {kSd, textlib::kEndNg, 0, {0x03, 0x10}},
                          {kRd, textlib::kEndShort, 0, {0x03}}};
    EXPECT_EQ(d.frames, want);
}

TEST(HdlcFrames, OnlyAnOpeningFlagMarksWhereTheOtherDirectionBegan) {
    std::vector<std::uint32_t> sd = HdlcFrame(false, {0x01, 0x00, 0x10, 0x01, 0x00, 0x41});
    std::vector<std::uint32_t> rd{Rd(0x55), Rd(0x55), Rd(0x7E, kOpenFlag), Rd(0x01), Rd(0x21), Rd(0x7E, kCloseFlag)};
    Delimited d = Delimit(HdlcBody(), Overlay(sd, rd));
    std::vector<Got> want{{kSd, textlib::kEndGood, 0, {0x01, 0x00, 0x10, 0x01, 0x00, 0x41}}, {kRd, 0, 0, {0x01, 0x21}}};
    EXPECT_EQ(d.frames, want);
    EXPECT_EQ(d.positions.front(), 2);  // the RD opening flag, not the RD bytes before it
}

TEST(PppFrames, FlagsDelimitAndStampsGiveTheDirection) {
    std::vector<std::uint32_t> w{Sd(0x7E), Sd(0xFF), Rd(0x03), Sd(0xC0), Sd(0x7E)};  // no stamp: undecided
    Append(w, {TimeStamp(false, 7, 0, 0), Sd(0x7E), Sd('a'), Rd('x'), Sd(0x7E)});
    Append(w, {TimeStamp(true, 7, 0, 1), Rd(0x7E), Rd(0x7E), Rd('y'), Rd(0x7E)});
    Append(w, {Sd(0, kBreakMark), Sd(0x7E), Sd('b'), Sd(0, kBreakMark)});
    Delimited d = Delimit(PppBody(), w);
    std::vector<Got> want{{kUndecided, 0, 0, {0xFF, 0x03, 0xC0}},
                          {kSd, 0, Stamp(false, 7, 0, 0), Bytes("a")},
                          {kRd, 0, Stamp(true, 7, 0, 1), Bytes("y")},
                          {kUndecided, textlib::kEndBreak, 0, Bytes("b")}};
    EXPECT_EQ(d.frames, want);
}

TEST(AsyncFrames, PassingOverEmptyFramesStopsAtTheCallersEnd) {
    std::vector<std::uint32_t> w(10, Sd(0, kBreakMark));
    w.push_back(Sd('a'));
    testing_util::TempDir dir;
    WriteBuffer(dir.path(), AsyncBody(), w);
    BufferReader reader;
    ASSERT_TRUE(reader.Open(dir.path().c_str()));
    reader.Seek(0);
    auto frame = std::make_unique<Frame>();
    EXPECT_FALSE(textlib::NextFrame(reader, *frame, 5));
    EXPECT_EQ(reader.Pos(), 5);
    ASSERT_TRUE(textlib::NextFrame(reader, *frame));
    EXPECT_EQ(frame->count, 1);
    EXPECT_EQ(frame->Byte(0), 'a');
}
