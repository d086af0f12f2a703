// TRIGGER: factor and action lines, character cells and bit rows, the shorter ERROR
// block of RV-7010. The reader never fails.
#include <gtest/gtest.h>

#include "test_util.h"

using namespace setxfer;
using namespace setxfer_test;

namespace {

constexpr std::size_t kT0 = 114;

std::vector<std::uint8_t> no_triggers() { return base_setup(); }

void chara(std::vector<std::uint8_t>& s, std::size_t b, int sd_cells, int rd_cells) {
    s[b] = 2;
    for (int i = 0; i < 8; ++i) {
        s[b + 2 + 2 * i] = i < sd_cells ? 0xFF : 0;
        s[b + 3 + 2 * i] = i < sd_cells ? static_cast<std::uint8_t>(0x41 + i) : 0xFF;
        s[b + 18 + 2 * i] = 0;
        s[b + 19 + 2 * i] = i < rd_cells ? static_cast<std::uint8_t>(i % 4) : 0xFF;
    }
}

}  // namespace

TEST(Trigger, NoneIsHeaderAndFactorOnly) {
    auto s = no_triggers();
    EXPECT_EQ(write_section(write_trigger, s),
              "< TRIGGER >\r\n[ TRIGGER 0 ]\r\nFACTOR  :NONE  \r\n[ TRIGGER 1 ]\r\nFACTOR  :NONE  \r\n"
              "[ TRIGGER 2 ]\r\nFACTOR  :NONE  \r\n[ TRIGGER 3 ]\r\nFACTOR  :NONE  \r\n");
}

TEST(Trigger, CharacterRowsOfThreeSevenAndEightCells) {
    auto s = no_triggers();
    chara(s, kT0, 3, 0);
    s[kT0 + 34] = 0xF1, s[kT0 + 35] = 0x81;
    s[kT0 + 44] = 5, s[kT0 + 55] = 15, s[kT0 + 56] = 0x2C, s[kT0 + 57] = 0x01;  // SEND NoF, 300
    auto text = write_section(write_trigger, s);
    EXPECT_NE(text.find("FACTOR  :CHARA \r\nCHAR  SD:41 42 43 " + std::string(15, ' ') + "\r\n" +
                        "      RD:                        \r\n"
                        "MASK  W0:1  0  0  0  *  *  *  1 \r\n      W1:*  *  *  *  *  *  *  * \r\n"
                        "      W2:*  *  *  *  *  *  *  * \r\n"
                        "ACTION  :SEND  \r\nTABLE No:NoF   \r\nRESPONSE:300   \r\n"),
              std::string::npos)
        << text;
    for (auto [sd, rd] : {std::pair{3, 0}, std::pair{7, 8}, std::pair{8, 7}, std::pair{8, 8}}) {
        chara(s, kT0, sd, rd);
        text = write_section(write_trigger, s);
        auto back = no_triggers();
        auto run = read_section(read_trigger, text, back);
        EXPECT_FALSE(run.result);
        EXPECT_TRUE(run.consumed_all) << text;
        for (std::size_t i = kT0; i < kT0 + 58; ++i) EXPECT_EQ(back[i], s[i]) << "byte " << i << "\n" << text;
    }
}

TEST(Trigger, FullReadsBackWithActionZero) {
    auto s = no_triggers();
    s[kT0 + 58] = 6, s[kT0 + 58 + 44] = 3;
    auto text = write_section(write_trigger, s);
    EXPECT_NE(text.find("[ TRIGGER 1 ]\r\nFACTOR  :FULL  \r\nACTION  :(STOP)\r\n[ TRIGGER 2 ]"), std::string::npos);
    read_section(read_trigger, text, s);
    EXPECT_EQ(s[kT0 + 58 + 44], 0);
}

TEST(Trigger, ErrorBlockByModel) {
    auto s = no_triggers();
    s[kT0] = 1, s[kT0 + 1] = 0x1A, s[kT0 + 44] = 1, s[kT0 + 45] = 3;
    auto text = write_section(write_trigger, s, Model::RV7020);
    EXPECT_NE(text.find("PARITY  :OFF   \r\nFRAMING :ON    \r\nBCC     :OFF   \r\nBRK/ABOT:ON    \r\n"
                        "SHORT FR:ON    \r\nACTION  :STOP  \r\nOFFSET  :AFTER \r\n"),
              std::string::npos);
    auto back = no_triggers();
    auto run = read_section(read_trigger, text, back, Model::RV7020);
    EXPECT_TRUE(run.consumed_all);
    EXPECT_EQ(back[kT0 + 1], 0x1A);
    EXPECT_EQ(back[kT0 + 45], 3);

    text = write_section(write_trigger, s, Model::RV7010);
    EXPECT_NE(text.find("BCC     :OFF   \r\nBREAK   :ON    \r\nACTION  :STOP  \r\n"), std::string::npos);
    back = no_triggers();
    run = read_section(read_trigger, text, back, Model::RV7010);
    EXPECT_TRUE(run.consumed_all);
    EXPECT_EQ(back[kT0 + 1], 0x0A);  // no SHORT FR line on RV-7010
}

TEST(Trigger, LineRowAndUnknownValuesKeepTheirBytes) {
    auto s = no_triggers();
    s[kT0 + 116] = 3, s[kT0 + 116 + 40] = 0xC0, s[kT0 + 116 + 41] = 0x40;
    auto text = write_section(write_trigger, s);
    EXPECT_NE(
        text.find("FACTOR  :LINE  \r\n RS CS DR CD ER SQ CI EX\r\n[ 0  1  *  *  *  *  *  *  ]\r\nACTION  :BZZER \r\n"),
        std::string::npos);
    auto back = no_triggers();
    auto pos = text.find("ACTION  :BZZER");
    text.replace(pos, 14, "ACTION  :bzzer");
    back[kT0 + 116 + 44] = 2;  // SAVE stays, and its lines are read
    text.insert(pos + 16, "OFFSET -:7 OFFSET +:8 ");
    auto run = read_section(read_trigger, text, back);
    EXPECT_TRUE(run.consumed_all);
    EXPECT_EQ(back[kT0 + 116 + 40], 0xC0);
    EXPECT_EQ(back[kT0 + 116 + 44], 2);
    EXPECT_EQ(back[kT0 + 116 + 46], 7);
    EXPECT_EQ(back[kT0 + 116 + 48], 8);
}
