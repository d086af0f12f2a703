// The stored settings: defaults, the read rules of every value, the system
// file as fallback, and what a conversion start writes, byte for byte.
#include <gtest/gtest.h>

#include <cstring>

#include <filesystem>
#include <string>

#include "settings/settings_store.h"
#include "testing/temp_dir.h"

namespace capstore {
namespace {

class SettingsTest : public ::testing::Test {
protected:
    testing_util::TempDir dir;
    SettingsPaths paths{QString::fromStdString(dir.file("user/ZAMVEX3.ini")),
                        QString::fromStdString(dir.file("system/ZAMVEX3.ini")),
                        QString::fromStdString(dir.path() + "/data/")};

    void write(const std::string& which, const std::string& text) {
        std::filesystem::create_directories(dir.file(which));
        const std::string file = dir.file(which + "/ZAMVEX3.ini");
        testing_util::write_file(file, std::vector<std::uint8_t>(text.begin(), text.end()));
    }
    void user(const std::string& text) { write("user", text); }
    ConvertOptions convert() const {
        ConvertOptions o{};
        SettingsStore(paths).read_convert(o);
        return o;
    }
    std::string user_file_text() const {
        const auto bytes = testing_util::read_file(dir.file("user/ZAMVEX3.ini"));
        return std::string(bytes.begin(), bytes.end());
    }
};

TEST_F(SettingsTest, NothingStoredGivesTheDefaults) {
    SettingsStore store(paths);
    const StoredPort port = store.read_port();
    EXPECT_EQ(port.name, "COM1");
    EXPECT_EQ(port.speed, 115200);
    EXPECT_EQ(port.parity, 0);
    EXPECT_EQ(port.x_control, 0);
    const StoredBuffer buffer = store.read_buffer();
    EXPECT_EQ(buffer.path, dir.path() + "/data/capstoref");
    EXPECT_EQ(buffer.max_blocks, 10);
    EXPECT_TRUE(buffer.warn);
    EXPECT_FALSE(buffer.ring);

    const ConvertOptions o = convert();
    EXPECT_EQ(o.Format, FormatPrint);
    EXPECT_EQ(o.Line, LineSdRd);
    EXPECT_EQ(o.Start, 1);
    EXPECT_EQ(o.Blocks, 100);
    EXPECT_EQ(std::string(o.SavePath), dir.path() + "/data/text");
    EXPECT_EQ(o.MaxLines, 10000);
    EXPECT_EQ(o.PrintFormat, PrintFormatNormal);
    EXPECT_EQ(o.PrintData, PrintDataCharHex);
    EXPECT_EQ(o.GuideCut, 0);
    EXPECT_EQ(o.LineStateCut, 1);
    EXPECT_EQ(o.TimeStampCut, 0);
    EXPECT_EQ(o.IdleTimeCut, 0);
    EXPECT_EQ(o.TranslateFrame, FrameX25);
    EXPECT_EQ(o.TranslatePacket, PacketOff);
    const signed char states[8] = {0, 1, 3, 4, -1, -1, -1, -1};
    EXPECT_EQ(0, std::memcmp(o.DisplayLineState, states, 8));
    EXPECT_EQ(o.CsvForm, CsvFormData);
    EXPECT_EQ(o.CsvData, CsvDataChar);
    EXPECT_EQ(o.Width, 16);
    EXPECT_STREQ(o.Delimit, ",");
}

TEST_F(SettingsTest, SystemFileIsTheFallbackAndTheSpeedRule) {
    write("system", "[1.00]\nPort\\Speed=230400\nPort\\Name=/dev/ttyUSB0\n");
    EXPECT_EQ(SettingsStore(paths).read_port().speed, 230400);
    user("[1.00]\nPort\\Speed=9600\n");
    const StoredPort port = SettingsStore(paths).read_port();
    EXPECT_EQ(port.speed, 115200);
    EXPECT_EQ(port.name, "/dev/ttyUSB0");  // the user has none
    // Unreadable: the system's value. (A different length from the last text:
    // QSettings caches a file by size and time within the second.)
    user("[1.00]\nPort\\Speed=not a number\n");
    EXPECT_EQ(SettingsStore(paths).read_port().speed, 230400);
}

TEST_F(SettingsTest, TextRulesIgnoreCaseAndFallBack) {
    user(
        "[1.00]\nPort\\Parity=even\nPort\\XControl=5\nBuffer\\OverwriteWarning=DISABLE\n"
        "Buffer\\BufferingMode=ring\nConvert\\Format=csv\nConvert\\Line=Rd\n"
        "Convert\\Print\\TranslateFrame=bogus\nConvert\\Print\\TranslatePacket=ddx\n"
        "Convert\\Print\\Data=hex\nConvert\\CSV\\Data=nonsense\nConvert\\CSV\\Form=FRAME\n");
    SettingsStore store(paths);
    EXPECT_EQ(store.read_port().parity, 2);
    EXPECT_EQ(store.read_port().x_control, 1);
    EXPECT_FALSE(store.read_buffer().warn);
    EXPECT_TRUE(store.read_buffer().ring);
    const ConvertOptions o = convert();
    EXPECT_EQ(o.Format, FormatCsv);
    EXPECT_EQ(o.Line, LineRd);
    EXPECT_EQ(o.TranslateFrame, FrameX25);
    EXPECT_EQ(o.TranslatePacket, PacketDdx);
    EXPECT_EQ(o.PrintData, PrintDataHex);
    EXPECT_EQ(o.CsvData, CsvDataChar);
    EXPECT_EQ(o.CsvForm, CsvFormFrame);
}

TEST_F(SettingsTest, NumbersAsTextAndTextAsNumbers) {
    // A name that looks like a number is still the name; numbers with blanks parse.
    user("[1.00]\nPort\\Name=1234\nConvert\\Start= 7\nConvert\\Blocks=-3\nConvert\\CSV\\Delimit=\";\"\n");
    EXPECT_EQ(SettingsStore(paths).read_port().name, "1234");
    const ConvertOptions o = convert();
    EXPECT_EQ(o.Start, 7);
    EXPECT_EQ(o.Blocks, -3);  // not limited here: the library limits it
    EXPECT_STREQ(o.Delimit, ";");
    user("[1.00]\nConvert\\CSV\\Delimit=a,b\nConvert\\Start=99999999999\n");
    EXPECT_STREQ(convert().Delimit, "a,b");
    EXPECT_EQ(convert().Start, 1);  // wider than 32 bits: unreadable
}

TEST_F(SettingsTest, DisplayLineStateDigits) {
    user("[1.00]\nConvert\\Print\\DisplayLineState=7070\n");
    signed char expect_70[8] = {7, 0, -1, -1, -1, -1, -1, -1};
    EXPECT_EQ(0, std::memcmp(convert().DisplayLineState, expect_70, 8));
    user("[1.00]\nConvert\\Print\\DisplayLineState=9x\n");
    signed char none[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
    EXPECT_EQ(0, std::memcmp(convert().DisplayLineState, none, 8));
    user("[1.00]\nConvert\\Print\\DisplayLineState=76543210\n");
    signed char all[8] = {7, 6, 5, 4, 3, 2, 1, 0};
    EXPECT_EQ(0, std::memcmp(convert().DisplayLineState, all, 8));
}

TEST_F(SettingsTest, RangeRules) {
    user("[1.00]\nConvert\\MaxLines=0\nConvert\\CSV\\Width=0\nBuffer\\MaxBlocks=0\n");
    EXPECT_EQ(convert().MaxLines, 10000);
    EXPECT_EQ(convert().Width, 16);
    EXPECT_EQ(SettingsStore(paths).read_buffer().max_blocks, 1);
    user("[1.00]\nConvert\\MaxLines=1000000\nConvert\\CSV\\Width=300\nBuffer\\MaxBlocks=5000\n");
    EXPECT_EQ(convert().MaxLines, 10000);
    EXPECT_EQ(convert().Width, 16);
    EXPECT_EQ(SettingsStore(paths).read_buffer().max_blocks, 1024);
    user("[1.00]\nConvert\\MaxLines=999999\nConvert\\CSV\\Width=256\nBuffer\\MaxBlocks=1024\n");
    EXPECT_EQ(convert().MaxLines, 999999);
    EXPECT_EQ(convert().Width, 256);
    EXPECT_EQ(SettingsStore(paths).read_buffer().max_blocks, 1024);
}

TEST_F(SettingsTest, ConversionStartWritesTheConvertSections) {
    ConvertOptions o{};
    o.Format = FormatCsv;
    o.Line = LineRd;
    o.Start = 3;
    o.Blocks = 40;
    std::strcpy(o.SavePath, "/home/u/text out");
    o.MaxLines = 500;
    o.PrintFormat = PrintFormatTranslate;
    o.PrintData = 7;  // unknown: written as the first text
    o.GuideCut = 1;
    o.LineStateCut = 0;
    o.TimeStampCut = 2;
    o.IdleTimeCut = 0;
    o.TranslateFrame = FrameLapd;
    o.TranslatePacket = PacketLapd;
    const signed char states[8] = {5, 2, 7, -1, 1, -1, -1, -1};
    std::memcpy(o.DisplayLineState, states, 8);
    o.CsvForm = CsvFormFrame;
    o.CsvData = CsvDataDec;
    o.Width = 32;
    std::strcpy(o.Delimit, ",");
    ASSERT_TRUE(SettingsStore(paths).write_convert(o));
    EXPECT_EQ(user_file_text(),
              "[1.00]\n"
              "Convert\\Blocks=40\n"
              "Convert\\CSV\\Data=Dec\n"
              "Convert\\CSV\\Delimit=\",\"\n"
              "Convert\\CSV\\Form=Frame\n"
              "Convert\\CSV\\Width=32\n"
              "Convert\\Format=CSV\n"
              "Convert\\Line=RD\n"
              "Convert\\MaxLines=500\n"
              "Convert\\Print\\Data=CharHex\n"
              "Convert\\Print\\DisplayLineState=527\n"
              "Convert\\Print\\Format=Translate\n"
              "Convert\\Print\\GuideCut=1\n"
              "Convert\\Print\\IdleTimeCut=0\n"
              "Convert\\Print\\LineStateCut=0\n"
              "Convert\\Print\\TimeStampCut=1\n"
              "Convert\\Print\\TranslateFrame=LAPD\n"
              "Convert\\Print\\TranslatePacket=LAPD\n"
              "Convert\\SavePath=/home/u/text out\n"
              "Convert\\Start=3\n");
    // And it reads back as written.
    const ConvertOptions back = convert();
    EXPECT_EQ(back.Format, FormatCsv);
    EXPECT_EQ(back.TranslateFrame, FrameLapd);
    EXPECT_EQ(back.TimeStampCut, 1);
    EXPECT_STREQ(back.Delimit, ",");
    EXPECT_EQ(std::string(back.SavePath), "/home/u/text out");
    const signed char read_states[8] = {5, 2, 7, -1, -1, -1, -1, -1};
    EXPECT_EQ(0, std::memcmp(back.DisplayLineState, read_states, 8));
}

TEST_F(SettingsTest, PortAndBufferTexts) {
    SettingsStore store(paths);
    const PortSettings port{"/dev/ttyUSB1", 230400, 1, 3};
    ASSERT_TRUE(store.write_port(port));
    const BufferSettings buffer{"/data/buf", 64, 0, 1};
    ASSERT_TRUE(store.write_buffer(buffer));
    EXPECT_EQ(user_file_text(),
              "[1.00]\n"
              "Buffer\\BufferingMode=Ring\n"
              "Buffer\\MaxBlocks=64\n"
              "Buffer\\OverwriteWarning=Disable\n"
              "Buffer\\Path=/data/buf\n"
              "Port\\Name=/dev/ttyUSB1\n"
              "Port\\Parity=Odd\n"
              "Port\\Speed=230400\n"
              "Port\\XControl=1\n");
}

TEST_F(SettingsTest, UnwritableUserFileIsReported) {
    std::filesystem::create_directories(dir.file("user/ZAMVEX3.ini"));  // a folder where the file should be
    EXPECT_FALSE(SettingsStore(paths).write_port(PortSettings{"COM2", 115200, 0, 0}));
}

}  // namespace
}  // namespace capstore
