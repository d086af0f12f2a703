// Code tables, cell renderers and the header box of the print format.
#include <gtest/gtest.h>

#include <sstream>

#include "buffer_builder.h"
#include "job_dispatch.h"
#include "print/header_box.h"
#include "print/print_cells.h"
#include "textlib/buffer_format.h"

using namespace textlib;
using textlib_test::CellOf;

namespace {

std::string Str(CellText c) { return std::string(c.begin(), c.end()); }
std::string Char(int code, int ch, int status = 0) { return Str(CharCell(CellOf(ch, status, false), code)); }
// The four columns of a spread special word, run together.
std::string Spread(std::uint32_t word, CellText (*render)(std::uint32_t)) {
    std::string s;
    for (std::uint32_t c = 0; c < 4; ++c) s += Str(render(word | c << 2));
    return s;
}

}  // namespace

TEST(CodeTables, FirstAndSecondTablesOfEachCode) {
    struct Case {
        int code, ch, status;
        const char* cell;
    };
    const Case cases[] = {
        {0, 0x00, 0, "NU"},    {0, 0x20, 0, "  "},    {0, 0x5C, 0, " \\"},   {0, 0x7F, 1, "DT"},    {0, 0x80, 0, "  "},
        {1, 0x5B, 0, " $"},    {1, 0x4F, 0, " |"},    {1, 0xC1, 0, " A"},    {1, 0xA1, 0, " ~"},    {1, 0x3F, 0, "SB"},
        {1, 0x81, 1, " a"},    {1, 0xFF, 0, "  "},    {2, 0x5B, 0, " \\"},   {2, 0x81, 0, " \xB1"}, {2, 0x8B, 0, "  "},
        {2, 0x9D, 0, " \xCA"},                                                                       // ｱ ﾊ
        {2, 0xA2, 0, " \xCD"}, {2, 0xBE, 1, " \xDE"}, {2, 0xC1, 0, " A"},    {2, 0x5A, 0, " !"},     // ﾍ ﾞ
        {3, 0x41, 0, " A"},    {3, 0x41, 1, " \xC1"}, {3, 0x21, 1, " \xA1"}, {3, 0x5F, 1, " \xDF"},  // ﾁ ｡ ﾟ
        {3, 0x20, 1, "  "},    {3, 0x60, 1, "  "},    {3, 0x1B, 1, "EC"},    {3, 0x7F, 1, "DT"},    {3, 0x80, 0, "  "},
        {4, 0x41, 0, " A"},    {4, 0xA0, 0, "  "},    {4, 0xB1, 1, " \xB1"}, {4, 0xDF, 0, " \xDF"}, {4, 0xE0, 0, "  "},
        {5, 0x00, 0, "00"},    {5, 0xAB, 1, "AB"},    {6, 0x01, 0, " -"},    {6, 0x01, 1, " _"},    {6, 0x15, 0, "VT"},
        {6, 0x34, 0, " #"},    {6, 0x34, 1, " \""},   {6, 0x40, 0, "  "},    {7, 0x00, 0, "SH"},    {7, 0x1A, 1, "  "},
        {7, 0x3F, 0, "DT"},    {8, 0x0D, 0, "EI"},    {8, 0x3C, 0, " %"},    {8, 0x3D, 0, "EP"},    {8, 0x3F, 1, "S1"},
        {9, 0x05, 0, " S"},    {9, 0x05, 1, " '"},    {9, 0x25, 0, "  "},    {9, 0x25, 1, "  "},    {9, 0x11, 1, " \""},
        {9, 0x1B, 0, "SO"},    {10, 0x41, 0, "  "},   {11, 0x41, 1, "  "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Char(c.code, c.ch, c.status), c.cell)
            << "code " << c.code << " char " << c.ch << " status " << c.status;
}

TEST(CellRenderers, StatusMarksAndHexCells) {
    const char* marks[] = {nullptr, nullptr, "{}", "??", "?4", "?1", "?2", "?3",
                           "BB",    "AA",    "^^", "^^", "?5", "  ", "  ", "  "};
    for (int s = 2; s < 16; ++s) EXPECT_EQ(Char(0, 'A', s), marks[s]) << "status " << s;
    EXPECT_EQ(Str(HexCell(CellOf(0x3A, 12, false))), "3A");
    EXPECT_EQ(Str(HexCell(CellOf(0x3A, 13, false))), " -");
    EXPECT_EQ(Str(HexCell(0x002F)), " -");
}

TEST(CellRenderers, IdleTimesAndTimeStampsOverFourColumns) {
    using textlib_test::Idle;
    using textlib_test::TimeStamp;
    EXPECT_EQ(Spread(Idle(7), ValueCell), "[ 0007 ]");
    EXPECT_EQ(Spread(Idle(9999), ValueCell), "[ 9999 ]");
    EXPECT_EQ(Spread(Idle(10000), ValueCell), "[ OVER ]");
    EXPECT_EQ(Spread(TimeStamp(true, 12, 34, 56), ValueCell), "[123456]");
    EXPECT_EQ(Spread(TimeStamp(false, 0, 5, 9), ValueCell), "[000509]");
    EXPECT_EQ(Spread(textlib_test::LineState(1, 2), ValueCell), "        ");
    EXPECT_EQ(Spread(Idle(7), GuideCell), "[ IDLE ]");
    EXPECT_EQ(Spread(TimeStamp(true, 1, 2, 3), GuideCell), "[ TMSP ]");
}

namespace {

textlib_test::InfoBody Body(int mode) {
    auto b = textlib_test::AsyncBody();
    b[1] = static_cast<std::uint8_t>(mode);
    return b;
}

const char kRule[] = "**************************************\n";

}  // namespace

TEST(HeaderBox, AsyncAndSyncBoxes) {
    auto b = Body(0);
    b[6] = 2;   // EVEN
    b[7] = 1;   // 1.5 stop bits
    b[17] = 3;  // CRC-16
    b[3] = 36;  // R-SPEED 115200
    EXPECT_EQ(HeaderBox(b.data()), std::string(kRule) +
                                       "* MODE    : ASYNC   CHAR BIT: 8      *\n"
                                       "* S-SPEED : 9600    PARITY  : EVEN   *\n"
                                       "* R-SPEED : 115200  STOP BIT: 1.5    *\n"
                                       "* CODE    : ASCII   BCC     : CRC-16 *\n" +
                                       kRule + "\n");
    b = Body(1);
    b[7] = 3;   // AR
    b[4] = 10;  // (HEX)
    EXPECT_EQ(HeaderBox(b.data()), std::string(kRule) +
                                       "* MODE    : SYNC    CHAR BIT: 8      *\n"
                                       "* S-SPEED : 9600    PARITY  : NONE   *\n"
                                       "* R-SPEED : 9600    CLOCK   : AR     *\n"
                                       "* CODE    : (HEX)   BCC     : NONE   *\n" +
                                       kRule + "\n");
}

TEST(HeaderBox, HdlcAddressLineAndPpp) {
    auto b = Body(2);
    b[17] = 1;
    b[20] = 1;
    b[21] = 0x03;
    std::string box = HeaderBox(b.data());
    EXPECT_NE(box.find("* MODE    : HDLC    CHAR BIT: 8      *\n"), std::string::npos);
    EXPECT_NE(box.find("* CODE    : ASCII   FCS     : ON     *\n"), std::string::npos);
    EXPECT_NE(box.find("* SD-ADDR : **      RD-ADDR : 03     *\n"), std::string::npos);
    b = Body(3);
    b[18] = 1;
    b[19] = 0xC1;
    box = HeaderBox(b.data());
    EXPECT_NE(box.find("* MODE    : NRZI    CHAR BIT: 8      *\n"), std::string::npos);
    EXPECT_NE(box.find("* CODE    : ASCII   FCS     : OFF    *\n"), std::string::npos);
    EXPECT_NE(box.find("* SD-ADDR : C1      RD-ADDR : **     *\n"), std::string::npos);

    EXPECT_EQ(HeaderBox(Body(4).data()), std::string(kRule) +
                                             "* MODE    : PPP                      *\n"
                                             "* S-SPEED : 9600                     *\n"
                                             "* R-SPEED : 9600                     *\n"
                                             "* CODE    : ASCII                    *\n" +
                                             kRule + "\n");
    EXPECT_EQ(HeaderBox(Body(9).data()), std::string(kRule) + kRule + "\n");
}

TEST(HeaderBox, EveryLineIs38WideAndUnknownIndexesAreBlank) {
    for (int mode = 0; mode <= 4; ++mode) {
        auto b = Body(mode);
        b[2] = 37;  // beyond the speed list
        b[4] = 11;
        b[5] = 4;
        b[6] = 200;
        b[7] = 9;
        b[17] = 7;
        std::istringstream lines(HeaderBox(b.data()));
        std::string line;
        int count = 0;
        while (std::getline(lines, line) && !line.empty()) {
            EXPECT_EQ(line.size(), 38u) << "mode " << mode << ": " << line;
            ++count;
        }
        EXPECT_GE(count, 6);
        EXPECT_NE(HeaderBox(b.data()).find("* S-SPEED :       "), std::string::npos);
    }
}

TEST(Dispatch, RoutinesAndFiltersFollowTheOptions) {
    ConvertOptions o{};
    auto body = Body(0);
    Dispatch d = ChooseRoutine(o, body.data());
    EXPECT_EQ(d.routine, Routine::PrintNormal);
    EXPECT_EQ(d.filter, kSkipLineState);
    body[33] = 1;
    o.Line = LineSd;
    o.IdleTimeCut = 1;
    o.TimeStampCut = 1;
    d = ChooseRoutine(o, body.data());
    EXPECT_EQ(d.routine, Routine::PrintNormalLineState);
    EXPECT_EQ(d.filter, kHideRd | kSkipIdle | kSkipTimeStamp);
    o.LineStateCut = 1;
    o.Line = LineRd;
    EXPECT_EQ(ChooseRoutine(o, body.data()).filter, kHideSd | kSkipIdle | kSkipTimeStamp | kSkipLineState);

    o = ConvertOptions{};
    o.PrintFormat = PrintFormatTranslate;
    const Routine byMode[] = {Routine::PrintControlSequence,
                              Routine::PrintControlSequence,
                              Routine::PrintFrames,
                              Routine::PrintFrames,
                              Routine::PrintPpp,
                              Routine::None};
    for (int mode = 0; mode < 6; ++mode) {
        body[1] = static_cast<std::uint8_t>(mode);
        EXPECT_EQ(ChooseRoutine(o, body.data()).routine, byMode[mode]) << "mode " << mode;
        EXPECT_EQ(ChooseRoutine(o, body.data()).filter, kSkipIdle);
    }
    body[1] = 3;
    o.TranslatePacket = PacketDdx;
    EXPECT_EQ(ChooseRoutine(o, body.data()).routine, Routine::PrintPackets);

    o = ConvertOptions{};
    o.Format = FormatCsv;
    EXPECT_EQ(ChooseRoutine(o, body.data()).routine, Routine::CsvData);
    EXPECT_EQ(ChooseRoutine(o, body.data()).filter, kSkipLineState | kSkipIdle | kSkipTimeStamp);
    o.CsvForm = CsvFormFrame;
    EXPECT_EQ(ChooseRoutine(o, body.data()).routine, Routine::CsvFrames);
    o.CsvForm = 2;
    EXPECT_EQ(ChooseRoutine(o, body.data()).routine, Routine::None);
    o.Format = 2;
    EXPECT_EQ(ChooseRoutine(o, body.data()).routine, Routine::None);
}
