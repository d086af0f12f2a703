// The whole file: head lines, model check, sections per model, markers and the send
// types, first failure only, and that line breaks and blanks are interchangeable.
#include <gtest/gtest.h>

#include "messages.h"
#include "random_bodies.h"
#include "test_util.h"

using namespace setxfer;
using namespace setxfer_test;

namespace {

struct Sets {
    std::vector<std::uint8_t> setup = base_setup();
    std::vector<std::uint8_t> table = std::vector<std::uint8_t>(TableCapacity, 0);
    std::vector<std::uint8_t> program = std::vector<std::uint8_t>(ProgramSize, 0);
    Bodies bodies() { return {setup, table, program}; }
};

std::string file_of(Sets& s, Model model, int type, TableForm form = TableForm::Hex) {
    auto f = write_settings_file({s.setup, s.table, s.program}, model, type, form);
    EXPECT_TRUE(f);
    return f ? *f : std::string();
}

std::string replace_all(std::string s, const std::string& from, const std::string& to) {
    for (auto at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
    return s;
}

}  // namespace

TEST(SettingsFile, HeadLinesAndSectionsPerModel) {
    Sets s;
    s.setup[0] = 10;
    std::string f7010 = file_of(s, Model::RV7010, 0);
    EXPECT_EQ(f7010.substr(0, 39), "RV-7010\r\nA:PROGRAM\r\n< CONFIGURATION >\r\n");
    EXPECT_EQ(f7010.find("< TREND FACT >"), std::string::npos);
    EXPECT_EQ(f7010.find("< BUFFER FACTOR >"), std::string::npos);
    EXPECT_EQ(f7010.find("< MULTI POLLING >"), std::string::npos);
    std::string f7020 = file_of(s, Model::RV7020, 0);
    EXPECT_EQ(f7020.find("< TREND FACT >"), std::string::npos);
    EXPECT_NE(f7020.find("< ECHO BACK >"), std::string::npos);
    EXPECT_EQ(f7020.substr(f7020.size() - 17), "TABLE No:0     \r\n");  // the slave form closes the file
    std::string f7030 = file_of(s, Model::RV7030, 2);
    for (const char* part : {"< TREND FACT >", "< BUFFER FACTOR >", "< MULTI POLLING >",
                             "\r\nt:TABLEDATA\r\nTBL.No:0(0)", "\r\nEN\r\nP:PROG_DATA\r\nPR000:NOP  \r\n"})
        EXPECT_NE(f7030.find(part), std::string::npos) << part;
    EXPECT_EQ(f7030.find("\n\r"), std::string::npos);
    EXPECT_EQ(std::count(f7030.begin(), f7030.end(), '\n'), std::count(f7030.begin(), f7030.end(), '\r'));
    EXPECT_EQ(file_of(s, Model::RV7030, 1, TableForm::Character).find("T:TABLEDATA"), f7030.find("t:TABLEDATA"));
    for (Model m : {Model::RV7010, Model::RV7020, Model::RV7030}) {
        Sets back;
        EXPECT_FALSE(read_settings_file(bytes(file_of(s, m, 0)), m, 0, back.bodies()));
        EXPECT_EQ(back.setup, s.setup);
    }
}

TEST(SettingsFile, ModelIsCheckedBeforeAnythingIsParsed) {
    Sets s;
    s.setup[0] = 7;
    std::string f = file_of(s, Model::RV7020, 0);
    Sets back;
    auto failure = read_settings_file(bytes(f), Model::RV7030, 0, back.bodies());
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->kind, FailureKind::Model);
    EXPECT_EQ(failure->message, "\xCC\xA7\xB2\xD9\x82\xCC\xC3\xDE\xB0\xC0\x82\xAA\x88\xE1\x82\xA2\x82\xDC\x82\xB7 ");
    EXPECT_EQ(failure->caption, "\x83G\x83\x89\x81[");  // エラー
    EXPECT_EQ(back.setup, base_setup());
}

TEST(SettingsFile, SendTypeDecidesWhichPartsAreRead) {
    Sets s;
    s.table[64] = 2, s.table[68] = 0x31, s.table[70] = 0x32;
    s.program[0] = 6;
    std::string type0 = file_of(s, Model::RV7030, 0);
    Sets back;
    auto failure = read_settings_file(bytes(type0), Model::RV7030, 1, back.bodies());
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->kind, FailureKind::TableMarker);
    EXPECT_EQ(failure->message, text::kTableMarker);
    EXPECT_EQ(failure->caption, text::kCaptionTableMarker);
    EXPECT_TRUE(failure->warning_icon);

    failure = read_settings_file(bytes(file_of(s, Model::RV7030, 1)), Model::RV7030, 2, back.bodies());
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->kind, FailureKind::ProgramMarker);
    EXPECT_EQ(failure->message, text::kProgramMarker);
    EXPECT_EQ(failure->caption, text::kCaptionProgramMarker);
    EXPECT_EQ(back.table, s.table);  // the tables were read before the marker was missed

    Sets only_setup;
    EXPECT_FALSE(read_settings_file(bytes(file_of(s, Model::RV7030, 2)), Model::RV7030, 0, only_setup.bodies()));
    EXPECT_EQ(only_setup.table, std::vector<std::uint8_t>(TableCapacity, 0));
    EXPECT_EQ(only_setup.program, std::vector<std::uint8_t>(ProgramSize, 0));
    Sets all;
    EXPECT_FALSE(
        read_settings_file(bytes(file_of(s, Model::RV7030, 2, TableForm::Character)), Model::RV7030, 2, all.bodies()));
    EXPECT_EQ(all.table, s.table);
    EXPECT_EQ(all.program, s.program);
}

TEST(SettingsFile, OnlyTheFirstCharacterOfTheTestModeLineCounts) {
    Sets s;
    std::string f = file_of(s, Model::RV7020, 0);
    Sets back;
    back.setup[0] = 3;
    EXPECT_FALSE(read_settings_file(bytes(replace_all(f, "0:ONLINE", "7xyz")), Model::RV7020, 0, back.bodies()));
    EXPECT_EQ(back.setup[0], 7);
    EXPECT_FALSE(read_settings_file(bytes(replace_all(f, "0:ONLINE", "B:BOGUS")), Model::RV7020, 0, back.bodies()));
    EXPECT_EQ(back.setup[0], 7);
}

TEST(SettingsFile, LineBreaksAndBlanksAreInterchangeable) {
    std::mt19937 rng(99);
    auto setup = random_setup(Model::RV7030, rng);
    auto table = random_table(rng);
    auto program = random_program(rng);
    auto f = write_settings_file({setup.bytes, table.bytes, program.bytes}, Model::RV7030, 2, TableForm::Character);
    ASSERT_TRUE(f);
    std::string moved = replace_all(replace_all(*f, "\r\n", " \t "), "  ", "\r\n\r\n");
    Sets a, b;
    ASSERT_FALSE(read_settings_file(bytes(*f), Model::RV7030, 2, a.bodies()));
    ASSERT_FALSE(read_settings_file(bytes(moved), Model::RV7030, 2, b.bodies()));
    EXPECT_EQ(a.setup, b.setup);
    EXPECT_EQ(a.table, b.table);
    EXPECT_EQ(a.program, b.program);
}

TEST(SettingsFile, FirstFailingSectionStopsTheReading) {
    Sets s;
    std::string f = file_of(s, Model::RV7030, 0);
    f = replace_all(f, "TIMER 0 :1 ", "TIMER 0 :0 ");
    f = replace_all(f, "INITIAL :OFF", "INITIAL :ON ");  // would change byte 437
    Sets back;
    auto failure = read_settings_file(bytes(f), Model::RV7030, 0, back.bodies());
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->kind, FailureKind::Section);
    EXPECT_EQ(failure->message, text::kTimerCounter);
    EXPECT_EQ(failure->caption, "\xB4\xD7\xB0");  // ｴﾗｰ
    EXPECT_EQ(back.setup[437], 0);
}

TEST(SettingsFile, TruncatedFilesFail) {
    std::mt19937 rng(7);
    auto setup = random_setup(Model::RV7030, rng);
    auto table = random_table(rng);
    auto program = random_program(rng);
    auto f = write_settings_file({setup.bytes, table.bytes, program.bytes}, Model::RV7030, 2, TableForm::Hex);
    ASSERT_TRUE(f);
    std::size_t last_step = f->find("PR511:");
    for (std::size_t cut = 0; cut < last_step; cut += 41) {
        Sets back;
        EXPECT_TRUE(read_settings_file(bytes(f->substr(0, cut)), Model::RV7030, 2, back.bodies())) << cut;
    }
}

TEST(SettingsFile, BuffersTooSmallForTheTypeAreRefused) {
    Sets s;
    std::vector<std::uint8_t> small_table(100), small_setup(880);
    EXPECT_FALSE(write_settings_file({s.setup, s.table, {}}, Model::RV7030, 2, TableForm::Hex));
    EXPECT_FALSE(write_settings_file({small_setup, s.table, s.program}, Model::RV7030, 0, TableForm::Hex));
    EXPECT_FALSE(write_settings_file({s.setup, s.table, s.program}, Model::RV7030, 3, TableForm::Hex));
    std::string f = file_of(s, Model::RV7030, 1);
    auto failure = read_settings_file(bytes(f), Model::RV7030, 1, {s.setup, small_table, s.program});
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->kind, FailureKind::Argument);
    EXPECT_TRUE(read_settings_file(bytes(f), Model::RV7030, -1, s.bodies()));
}

TEST(SettingsFile, LongProgramsHaveNoSizeLimit) {
    Sets s;
    for (std::size_t n = 0; n < 512; ++n) {
        s.program[16 * n] = 4;  // IF CHR with eight characters
        s.program[16 * n + 2] = 8;
        for (int i = 0; i < 8; ++i) s.program[16 * n + 4 + i] = static_cast<std::uint8_t>(n + i);
    }
    std::string f = file_of(s, Model::RV7030, 2);
    EXPECT_GT(f.size(), 20000u);
    Sets back;
    EXPECT_FALSE(read_settings_file(bytes(f), Model::RV7030, 2, back.bodies()));
    EXPECT_EQ(back.program, s.program);
}

TEST(SettingsFile, NamesOfModelsAndSaveTypes) {
    EXPECT_EQ(model_from_name("RV-7020"), Model::RV7020);
    EXPECT_EQ(model_from_name("RV-7040"), std::nullopt);
    EXPECT_EQ(model_name(Model::RV7030), "RV-7030");
    EXPECT_EQ(save_type_name(1), "\x90\xDD\x92\xE8\xC3\xDE\xB0\xC0+\xC3\xB0\xCC\xDE\xD9\xC3\xDE\xB0\xC0");
    EXPECT_EQ(save_type_name(3), "");
    EXPECT_EQ(save_type_count(Model::RV7020), 2);
    EXPECT_EQ(save_type_count(Model::RV7030), 3);
}

TEST(SettingsFile, AFailureNamesTheLineWhereReadingStopped) {
    Sets s;
    std::string f = file_of(s, Model::RV7020, 0);
    const auto at = f.find("S-SPEED :");
    ASSERT_NE(at, std::string::npos);
    const auto end = f.find("\r\n", at);
    f.replace(at, end - at, "S-SPEED :FAST");
    const int line = 1 + static_cast<int>(std::count(f.begin(), f.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
    Sets back;
    auto failure = read_settings_file(bytes(f), Model::RV7020, 0, back.bodies());
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->kind, FailureKind::Section);
    EXPECT_EQ(failure->line, line);
    EXPECT_EQ(failure->found, "S-SPEED :FAST");

    failure = read_settings_file(bytes(file_of(s, Model::RV7020, 0)), Model::RV7030, 0, back.bodies());
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->line, 1);
    EXPECT_EQ(failure->found, "RV-7020");
}
