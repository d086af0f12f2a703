// Setting sections: exact texts, value matching and each section's acceptance rule.
#include <gtest/gtest.h>

#include "messages.h"
#include "names.h"
#include "test_util.h"

using namespace setxfer;
using namespace setxfer_test;

namespace {

std::string replace(std::string s, const std::string& from, const std::string& to) {
    auto at = s.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) s.replace(at, from.size(), to);
    return s;
}

std::vector<std::uint8_t> sync_setup() {
    auto s = base_setup();
    s[1] = 1;
    s[30] = 18, s[31] = 36, s[41] = 3, s[38] = 0x16, s[39] = 0x16;
    return s;
}

}  // namespace

TEST(Configuration, AsyncTextIsExact) {
    auto s = base_setup();
    s[2] = 18, s[3] = 36, s[5] = 3, s[6] = 2, s[17] = 3;
    s[19] = 0x02, s[20] = 0x0d, s[22] = 0x03, s[23] = 0xff, s[25] = 0x1f, s[27] = 0x10, s[28] = 1;
    EXPECT_EQ(write_section(write_configuration, s),
              "< CONFIGURATION >\r\nSYNCMODE:ASYNC\r\n"
              "S-SPEED :9600  \r\nR-SPEED :115200\r\nCOOD    :ASCII \r\nCHAR BIT:8     \r\n"
              "PARITY  :EVEN  \r\nSTOP BIT:1     \r\nBCC     :CRC16 \r\nBGN CHAR:02 0d\r\n"
              "END CHAR:03 ff\r\nITB CHAR:1f    \r\nTRANSPRT:OFF   \r\nDLE CHAR:10    \r\n"
              "SEQUENCE:MSB_F \r\nPOLARITY:NORMAL\r\n");
}

TEST(Configuration, EachModeReadsBackAndSwitchingKeepsOtherBlocks) {
    for (int mode = 0; mode < 5; ++mode) {
        auto s = base_setup();
        s[1] = static_cast<std::uint8_t>(mode);
        s[41] = 5;
        auto text = write_section(write_configuration, s);
        auto back = base_setup();
        back[1] = 9;
        auto run = read_section(read_configuration, text, back);
        EXPECT_FALSE(run.result) << text;
        EXPECT_TRUE(run.consumed_all);
        EXPECT_EQ(back[1], mode);
    }
    auto s = base_setup();
    s[2] = 18;  // ASYNC speed
    auto text = write_section(write_configuration, s);
    auto run = read_section(read_configuration, replace(text, "SYNCMODE:ASYNC", "SYNCMODE:HDLC"), s);
    EXPECT_EQ(run.result, text::kConfig);  // ASYNC lines do not fit the HDLC items
    s = base_setup();
    s[1] = 2;
    s[2] = 18;
    run = read_section(read_configuration, write_section(write_configuration, s), s);
    EXPECT_FALSE(run.result);
    EXPECT_EQ(s[2], 18);
}

TEST(Configuration, HexValuesMustBeTwoLowerCaseDigits) {
    auto s = base_setup();
    s[19] = 0xff;
    auto text = write_section(write_configuration, s);
    EXPECT_FALSE(read_section(read_configuration, text, s).result);
    EXPECT_EQ(read_section(read_configuration, replace(text, "BGN CHAR:ff", "BGN CHAR:FF"), s).result, text::kConfig);
    EXPECT_EQ(read_section(read_configuration, replace(text, "ITB CHAR:00", "ITB CHAR:5 "), s).result, text::kConfig);
    EXPECT_EQ(read_section(read_configuration, replace(text, "COOD    :ASCII", "COOD    :ascii"), s).result,
              text::kConfig);
    // An over-long value spills into the next item, which then fails.
    EXPECT_EQ(read_section(read_configuration, replace(text, "ITB CHAR:00", "ITB CHAR:000"), s).result, text::kConfig);
}

TEST(Configuration, BlankSuppressStillLinesUpTheNextItems) {
    auto s = sync_setup();
    s[42] = 0, s[43] = 0x33, s[56] = 1, s[57] = 1;
    auto text = write_section(write_configuration, s);
    EXPECT_NE(text.find("SUPPRESS:      \r\nSEQUENCE:MSB_F \r\nPOLARITY:INVERS\r\n"), std::string::npos);
    auto back = sync_setup();
    back[42] = 1, back[43] = 0x77, back[56] = 0, back[57] = 0;
    auto run = read_section(read_configuration, text, back);
    EXPECT_FALSE(run.result);
    EXPECT_TRUE(run.consumed_all);
    EXPECT_EQ(back[42], 0);
    EXPECT_EQ(back[43], 0x77);  // no character: the value byte is left alone
    EXPECT_EQ(back[56], 1);
    EXPECT_EQ(back[57], 1);
    s[42] = 5;  // any non-zero flag means a character
    text = write_section(write_configuration, s);
    EXPECT_NE(text.find("SUPPRESS:33    \r\n"), std::string::npos);
    read_section(read_configuration, text, back);
    EXPECT_EQ(back[42], 1);
    EXPECT_EQ(back[43], 0x33);
}

TEST(Configuration, AddressStarMeansNoAddress) {
    auto s = base_setup();
    s[1] = 2, s[74] = 1, s[75] = 0x7e, s[76] = 0, s[77] = 0x44;
    auto text = write_section(write_configuration, s);
    EXPECT_NE(text.find("S-ADDR  :7e    \r\nR-ADDR  :*     \r\n"), std::string::npos);
    auto back = base_setup();
    back[1] = 2, back[74] = 0, back[76] = 1, back[77] = 0x99;
    EXPECT_FALSE(read_section(read_configuration, text, back).result);
    EXPECT_EQ(back[74], 1);
    EXPECT_EQ(back[75], 0x7e);
    EXPECT_EQ(back[76], 0);
    EXPECT_EQ(back[77], 0x99);
}

TEST(Sections, NumbersOutsideTheirRangeAreStoredButFail) {
    auto s = sync_setup();
    auto text = write_section(write_configuration, s);
    EXPECT_EQ(read_section(read_configuration, replace(text, "REPEAT  :3 ", "REPEAT  :0 "), s).result, text::kConfig);
    EXPECT_EQ(s[41], 0);
    EXPECT_EQ(read_section(read_configuration, replace(text, "REPEAT  :3 ", "REPEAT  :99"), s).result, std::nullopt);
    s = base_setup();
    text = write_section(write_timer_counter, s);
    EXPECT_EQ(text.substr(0, 36), "< TIMER/COUNTER >\r\nTIMER 0 :1     \r\n");
    EXPECT_FALSE(read_section(read_timer_counter, text, s).result);
    EXPECT_EQ(read_section(read_timer_counter, replace(text, "TIMER 0 :1 ", "TIMER 0 :0 "), s).result,
              text::kTimerCounter);
}

TEST(Condition, Rv7010FileReadsOnItsModelOnly) {
    auto s = base_setup();
    s[371] = 1, s[372] = 7, s[379] = 1, s[380] = 1;
    auto text = write_section(write_condition, s, Model::RV7010);
    EXPECT_EQ(text.find("FRAME"), std::string::npos);
    EXPECT_NE(text.find("STATE   :EX RS RS RS \r\n"), std::string::npos);
    EXPECT_NE(text.find("PORT    :AUX   \r\nEOF     :ON    \r\n"), std::string::npos);
    EXPECT_NE(text.find("[ OTHERS FUNCTION ]  \r\nBUZZER  :OFF   \r\n"), std::string::npos);
    auto back = base_setup();
    auto run = read_section(read_condition, text, back, Model::RV7010);
    EXPECT_FALSE(run.result);
    EXPECT_TRUE(run.consumed_all);
    EXPECT_EQ(back[372], 7);
    EXPECT_EQ(back[380], 1);
    EXPECT_EQ(read_section(read_condition, text, back, Model::RV7020).result, text::kCondition2);
    // A first-half failure ends the section with the first message.
    EXPECT_EQ(read_section(read_condition, replace(text, "AREA    :BUF0", "AREA    :BUF9"), back).result,
              text::kCondition);
}

TEST(Beat, SecondsUpTo99999999) {
    auto s = base_setup();
    s[414] = 2;
    s[416] = 0xFF, s[417] = 0xE0, s[418] = 0xF5, s[419] = 0x05;  // 99999999
    auto text = write_section(write_beat, s);
    EXPECT_EQ(text, "< BEAT >\r\nTESTMODE:RUNTIM\r\nSEC     :99999999\r\nPATTERN :63    \r\n");
    auto back = base_setup();
    back[414] = 0;
    EXPECT_FALSE(read_section(read_beat, text, back).result);
    EXPECT_EQ(std::vector<std::uint8_t>(back.begin() + 414, back.begin() + 420),
              std::vector<std::uint8_t>(s.begin() + 414, s.begin() + 420));
    EXPECT_EQ(read_section(read_beat, replace(text, "99999999", "100000000"), back).result, text::kBeat);
    s[414] = 0;
    EXPECT_EQ(write_section(write_beat, s), "< BEAT >\r\nTESTMODE:CONTIN\r\nPATTERN :63    \r\n");
}

TEST(DelayFactor, RowsOfLevelsAndUnknownCellsAsDontCare) {
    auto s = base_setup();
    s[402] = 0x80, s[403] = 0x02, s[404] = 0x00, s[405] = 0x02;  // SD level 1, RS level 0
    auto text = write_section(write_delay_factor, s);
    EXPECT_EQ(text,
              "< DELAY FACTOR >\r\nSTART   : SD RS ER RD CS DR CD SQ CI EX\r\n"
              "         [ 1  0  *  *  *  *  *  *  *  *  ]\r\n"
              "STOP    : SD RS ER RD CS DR CD SQ CI EX\r\n"
              "         [ *  *  *  *  *  *  *  *  *  *  ]\r\n");
    auto back = base_setup();
    auto run = read_section(read_delay_factor, replace(text, "[ 1  0  *", "[ 1  0  x"), back);
    EXPECT_FALSE(run.result);
    EXPECT_TRUE(run.consumed_all);
    EXPECT_EQ(get_u16(back, 402), 0x280);
    EXPECT_EQ(get_u16(back, 404), 0x200);
}

TEST(FlowControl, CharacterTemplateWithTwoDigitCodes) {
    auto s = base_setup();
    s[439] = 0x11, s[440] = 0x05;
    auto text = write_section(write_flow_control, s);
    EXPECT_EQ(text,
              "< FLOW CONTROL >\r\nTESTMODE:SEND  \r\nINITIAL :OFF   \r\nCONTROL :CHARAC\r\n"
              "X-ON    :11    \r\nX-OFF   :05    \r\nTABLE No:No0   \r\nIDLE TM :0     \r\n");
    auto back = base_setup();
    EXPECT_FALSE(read_section(read_flow_control, replace(text, "X-OFF   :05", "X-OFF   :13"), back).result);
    EXPECT_EQ(back[439], 0x11);
    EXPECT_EQ(back[440], 0x13);
    EXPECT_EQ(read_section(read_flow_control, replace(text, "X-OFF   :05", "X-OFF   :5 "), back).result, text::kFlow);
}

TEST(EchoBack, BufferModeNeedsAllThreeValues) {
    auto s = base_setup();
    s[450] = 2, s[453] = 0x0d, s[454] = 0x10, s[455] = 0x27;  // 10000
    auto text = write_section(write_echo_back, s);
    EXPECT_EQ(text, "< ECHO BACK >\r\nECHOMODE:BUFFER\r\nEND CHAR:0d    \r\nRESPONSE:10000 \r\n");
    EXPECT_EQ(read_section(read_echo_back, text, s).result, text::kEcho);
    EXPECT_FALSE(read_section(read_echo_back, replace(text, "10000", "9999 "), s).result);
    // Mode line alone passes only for the modes that have no other line.
    EXPECT_EQ(
        read_section(read_echo_back, "< ECHO BACK >\r\nECHOMODE:BUFFER\r\nEND CHAR:zz\r\nRESPONSE:x\r\n", s).result,
        text::kEcho);
    EXPECT_FALSE(read_section(read_echo_back, "< ECHO BACK >\r\nECHOMODE:CHAR  \r\n", s).result);
}

TEST(AutoRun, TimesMustLieInTheirRanges) {
    auto s = base_setup();
    s[392] = 1, s[393] = 59, s[394] = 23, s[395] = 31;
    auto text = write_section(write_auto_run, s);
    EXPECT_EQ(text, "< AUTO RUN >\r\nRUN TIME:ON    \r\nRUN TIME:[ 31 : 23 : 59 ]\r\nSTOPTIME:OFF   \r\n");
    auto back = base_setup();
    EXPECT_FALSE(read_section(read_auto_run, text, back).result);
    EXPECT_EQ(back[395], 31);
    EXPECT_EQ(read_section(read_auto_run, replace(text, "[ 31", "[  0"), back).result, text::kAutoRun);
    EXPECT_EQ(read_section(read_auto_run, replace(text, ": 59", ": 60"), back).result, text::kAutoRun);
}

TEST(Configuration, UnknownModeIsRefused) {
    auto s = base_setup();
    s[1] = 5;  // no such mode: the section is not written, and a file without it does not read
    EXPECT_EQ(write_section(write_configuration, s), "");
    EXPECT_EQ(read_section(read_configuration, "< CONFIGURATION >\r\nSYNCMODE:BISYN\r\n", s).result, text::kConfig);
    EXPECT_EQ(s[1], 5);
}
