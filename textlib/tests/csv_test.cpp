// CSV output: the field rules of the three data modes, the Data form's line
// breaking and directions, and the Frame form's fields, each checked as the
// exact lines a job writes.
#include <gtest/gtest.h>

#include <filesystem>

#include "buffer_builder.h"
#include "convert_harness.h"
#include "csv/csv_field.h"
#include "frame_words.h"

using namespace textlib_test;
using textlib::CodePageFor;
using textlib::CsvField;

namespace {

std::string Field(int ch, int status, int mode, int code = 0) {
    textlib::CsvFieldText f = CsvField(CellOf(ch, status, false), mode, CodePageFor(code));
    return std::string(f.text, f.size);
}

// CSV defaults: Data form, Hex, ten fields, comma; `tweak` changes them.
template <typename Tweak>
std::string ConvertCsv(const InfoBody& body, const std::vector<std::uint32_t>& words, Tweak tweak) {
    testing_util::TempDir dir;
    std::string buffer = dir.file("buffer");
    std::filesystem::create_directory(buffer);
    WriteBuffer(buffer, body, words);
    ConvertOptions o = DefaultOptions(dir.path());
    o.Format = FormatCsv;
    o.CsvForm = CsvFormData;
    o.CsvData = textlib::kCsvHex;
    o.Width = 10;
    std::snprintf(o.Delimit, sizeof o.Delimit, ",");
    tweak(o);
    Converted r = Convert(buffer, o);
    EXPECT_EQ(r.code, 0);
    return ReadText(dir.file("T_00000000.txt"));
}

}  // namespace

TEST(CsvField, HexAndDecimalForEveryStatusWithACharacter) {
    EXPECT_EQ(Field(0x41, 0, textlib::kCsvHex), "41");
    EXPECT_EQ(Field(0x0A, 12, textlib::kCsvHex), "0A");
    EXPECT_EQ(Field(0x41, 13, textlib::kCsvHex), "");
    EXPECT_EQ(Field(0x41, 15, textlib::kCsvHex), "");
    EXPECT_EQ(Field(0x00, 0, textlib::kCsvDec), "0");
    EXPECT_EQ(Field(0xFF, 3, textlib::kCsvDec), "255");
    EXPECT_EQ(Field(0x41, 14, textlib::kCsvDec), "");
    EXPECT_EQ(Field(0x41, 0, 3), "");  // a data mode outside the list writes empty fields
}

TEST(CsvField, CharQuotesTablePicturesAndLeavesMarksBare) {
    const int kChar = textlib::kCsvChar;
    EXPECT_EQ(Field('A', 0, kChar), "\"A\"");
    EXPECT_EQ(Field(0x22, 0, kChar), "\"\"\"\"");
    EXPECT_EQ(Field(0x02, 0, kChar), "\"SX\"");
    EXPECT_EQ(Field(0x20, 0, kChar), "\" \"");  // the space is a picture like any other
    EXPECT_EQ(Field(',', 0, kChar), "\",\"");
    EXPECT_EQ(Field(0x80, 0, kChar), "");          // above ASCII's highest code
    EXPECT_EQ(Field(0x05, 1, kChar, 9), "\"'\"");  // BAUDOT shifted
    EXPECT_EQ(Field(0x05, 0, kChar, 9), "\"S\"");
    EXPECT_EQ(Field(0x25, 1, kChar, 9), "");
    EXPECT_EQ(Field(0x41, 1, kChar, 3), "\"\xC1\"");  // JIS 7 shifted: ﾁ as its Shift_JIS byte
    EXPECT_EQ(Field(0x7F, 0, kChar, 5), "7F");        // HEX code: no table, no quotes
    EXPECT_EQ(Field(0x41, 0, kChar, 10), "");         // (HEX) and above have no table
    EXPECT_EQ(Field(0x41, 0, kChar, -1), "");
    const char* marks[] = {"{}", "??", "?4", "?1", "?2", "?3", "BB", "AA", "^^", "^^", "?5"};
    for (int status = 2; status <= 12; ++status) EXPECT_EQ(Field('A', status, kChar), marks[status - 2]);
    for (int status = 13; status <= 15; ++status) EXPECT_EQ(Field('A', status, kChar), "");
}

TEST(CsvData, BreaksLinesAfterWidthFieldsAndEndsTheLastLine) {
    auto words = SdText("ABCDE");
    EXPECT_EQ(ConvertCsv(AsyncBody(), words,
                         [](ConvertOptions& o) {
                             o.Line = LineSd;
                             o.Width = 4;
                         }),
              "41,42,43,44\r\n45\r\n");
    // A last line that is full gets no extra line end.
    EXPECT_EQ(ConvertCsv(AsyncBody(), SdText("ABCD"),
                         [](ConvertOptions& o) {
                             o.Line = LineSd;
                             o.Width = 2;
                         }),
              "41,42\r\n43,44\r\n");
    EXPECT_EQ(ConvertCsv(AsyncBody(), words,
                         [](ConvertOptions& o) {
                             o.Line = LineSd;
                             o.CsvData = textlib::kCsvDec;
                             o.Width = 3;
                         }),
              "65,66,67\r\n68,69\r\n");
}

TEST(CsvData, BothDirectionsGiveTwoFieldsPerWordSdFirst) {
    std::vector<std::uint32_t> words{Sd('A'), Rd('B'), SdRd('C', 'D')};
    EXPECT_EQ(ConvertCsv(AsyncBody(), words,
                         [](ConvertOptions& o) {
                             o.CsvData = textlib::kCsvChar;
                             o.Width = 2;
                         }),
              "\"A\",\r\n,\"B\"\r\n\"C\",\"D\"\r\n");
    EXPECT_EQ(ConvertCsv(AsyncBody(), words, [](ConvertOptions& o) { o.Line = LineRd; }), "42,44\r\n");
}

TEST(CsvData, OnlyDataWordsMakeFields) {
    std::vector<std::uint32_t> words{TimeStamp(false, 1, 2, 3), Sd(0x22), Idle(50),  Gap(3),
                                     LineState(0, 0x80),        Sd(0x02), Sd('x', 3)};
    EXPECT_EQ(ConvertCsv(AsyncBody(), words,
                         [](ConvertOptions& o) {
                             o.Line = LineSd;
                             o.CsvData = textlib::kCsvChar;
                         }),
              "\"\"\"\",\"SX\",??\r\n");
}

TEST(CsvData, DelimiterIsWrittenWholeUpToFifteenCharacters) {
    EXPECT_EQ(ConvertCsv(AsyncBody(), SdText("ABC"),
                         [](ConvertOptions& o) {
                             o.Line = LineSd;
                             std::snprintf(o.Delimit, sizeof o.Delimit, " ; ");
                         }),
              "41 ; 42 ; 43\r\n");
    // Sixteen characters and no terminator: the sixteenth is not part of it.
    EXPECT_EQ(ConvertCsv(AsyncBody(), SdText("AB"),
                         [](ConvertOptions& o) {
                             o.Line = LineSd;
                             std::memcpy(o.Delimit, "<-------------->", 16);
                         }),
              "41<" + std::string(14, '-') + "42\r\n");
}

TEST(CsvData, BaudotShiftedCharacterAndAnEmptyBuffer) {
    EXPECT_EQ(ConvertCsv(AsyncBody(9), {Sd(0x05, 1), Sd(0x05)},
                         [](ConvertOptions& o) {
                             o.Line = LineSd;
                             o.CsvData = textlib::kCsvChar;
                         }),
              "\"'\",\"S\"\r\n");
    EXPECT_EQ(ConvertCsv(AsyncBody(), {}, [](ConvertOptions&) {}), "");
}

namespace {

// An SD frame at 12:34:56 with a good FCS, an RD frame without time stamp and
// a bad FCS, a gap, then an SD frame cut short by an abort.
std::vector<std::uint32_t> HdlcFrames() {
    std::vector<std::uint32_t> w{TimeStamp(false, 12, 34, 56)};
    Append(w, HdlcFrame(false, {0x03, 0x3F}));
    Append(w, HdlcFrame(true, {0x01, 0x73, 0x22}, kFcsBad));
    w.push_back(Gap(2));
    Append(w, {TimeStamp(false, 23, 59, 1), Sd(0x7E, kOpenFlag), Sd(0x41), Sd(0x42, kAbortMark), Sd(0x43),
               Sd(0x7E, kCloseFlag)});
    return w;
}

template <typename Tweak>
std::string ConvertFrames(const InfoBody& body, const std::vector<std::uint32_t>& words, Tweak tweak) {
    return ConvertCsv(body, words, [&](ConvertOptions& o) {
        o.CsvForm = CsvFormFrame;
        tweak(o);
    });
}

}  // namespace

TEST(CsvFrames, DirectionTimeStatusThenTheCells) {
    EXPECT_EQ(ConvertFrames(HdlcBody(), HdlcFrames(), [](ConvertOptions&) {}),
              "SD,123456,GOOD,03,3F\r\n"
              "RD,,NG,01,73,22\r\n"
              "Lost\r\n"
              "SD,235901,Abort,41,43\r\n");
    EXPECT_EQ(ConvertFrames(HdlcBody(), HdlcFrames(), [](ConvertOptions& o) { o.CsvData = textlib::kCsvChar; }),
              "SD,123456,GOOD,\"EX\",\"?\"\r\n"
              "RD,,NG,\"SH\",\"s\",\"\"\"\"\r\n"
              "Lost\r\n"
              "SD,235901,Abort,\"A\",\"C\"\r\n");  // the abort mark itself is no cell
}

TEST(CsvFrames, WidthLimitsTheFieldsOfEveryLine) {
    EXPECT_EQ(ConvertFrames(HdlcBody(), HdlcFrames(), [](ConvertOptions& o) { o.Width = 4; }),
              "SD,123456,GOOD,03\r\nRD,,NG,01\r\nLost\r\nSD,235901,Abort,41\r\n");
    EXPECT_EQ(ConvertFrames(HdlcBody(), HdlcFrames(), [](ConvertOptions& o) { o.Width = 3; }),
              "SD,123456,GOOD\r\nRD,,NG\r\nLost\r\nSD,235901,Abort\r\n");
    EXPECT_EQ(ConvertFrames(HdlcBody(), HdlcFrames(), [](ConvertOptions& o) { o.Width = 2; }),
              "SD,123456\r\nRD,\r\nLost\r\nSD,235901\r\n");
    EXPECT_EQ(ConvertFrames(HdlcBody(), HdlcFrames(), [](ConvertOptions& o) { o.Width = 1; }),
              "SD\r\nRD\r\nLost\r\nSD\r\n");
    EXPECT_EQ(ConvertFrames(HdlcBody(), HdlcFrames(),
                            [](ConvertOptions& o) {
                                o.Width = 0;
                                o.Line = LineRd;
                            }),
              "RD\r\nLost\r\n");  // a gap is lost data of either direction
}

TEST(CsvFrames, EndStatusNamesAndTheUndecidedDirection) {
    // ASYNC: a break ends the frame; short frames in HDLC; PPP without stamps stays undecided.
    std::vector<std::uint32_t> async{TimeStamp(true, 1, 2, 3), Rd('O'), Rd('K'), Rd(0, 8)};
    EXPECT_EQ(ConvertFrames(AsyncBody(), async, [](ConvertOptions& o) { std::snprintf(o.Delimit, 16, " ; "); }),
              "RD ; 010203 ; Break ; 4F ; 4B\r\n");
    std::vector<std::uint32_t> hdlc{Sd(0x7E, kOpenFlag), Sd(0x03), Sd(0x00, kShortMark)};
    EXPECT_EQ(ConvertFrames(HdlcBody(), hdlc, [](ConvertOptions&) {}), "SD,,Short frame,03\r\n");
    EXPECT_EQ(ConvertFrames(PppBody(), PppFrame(false, {0xFF, 0x03}), [](ConvertOptions&) {}),
              "?,,,FF,7D,23\r\n");  // the cells as recorded, escapes included
    // A frame that ends without an end mark has an empty status field.
    std::vector<std::uint32_t> open{TimeStamp(false, 0, 0, 1), Sd('a'), TimeStamp(false, 0, 0, 2), Sd('b')};
    EXPECT_EQ(ConvertFrames(AsyncBody(), open, [](ConvertOptions&) {}), "SD,000001,,61\r\nSD,000002,,62\r\n");
}

TEST(CsvFrames, KeepsTheBlockRangeAcrossEmptyFrames) {
    // Block 1: one frame, then a line in break state (frames with nothing in
    // them) up to the block's end; block 2: another frame.
    std::vector<std::uint32_t> w(kBlockWords, Sd(0, 8));
    w[0] = TimeStamp(false, 7, 0, 0);
    w[1] = Sd('a');
    w[2] = Sd(0, 8);
    Append(w, {TimeStamp(false, 7, 0, 9), Sd('b'), Sd(0, 8)});
    EXPECT_EQ(ConvertFrames(AsyncBody(), w, [](ConvertOptions& o) { o.Blocks = 1; }), "SD,070000,Break,61\r\n");
    EXPECT_EQ(ConvertFrames(AsyncBody(), w, [](ConvertOptions& o) { o.Blocks = 2; }),
              "SD,070000,Break,61\r\nSD,070009,Break,62\r\n");
}
