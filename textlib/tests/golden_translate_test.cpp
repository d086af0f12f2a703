// Control-sequence translations and CSV outputs of the sample buffers,
// compared byte for byte with reviewed expected files in tests/data.
#include <gtest/gtest.h>

#include <filesystem>

#include "buffer_builder.h"
#include "convert_harness.h"
#include "csv/csv_field.h"
#include "sample_buffers.h"

using namespace textlib_test;

namespace {

std::string Expected(const std::string& name) { return ReadText(std::string(TEXTLIB_TEST_DATA) + "/" + name); }

// Converts `words` with `options` (SavePath filled in here) and returns file 0.
std::string ConvertSample(const InfoBody& body, const std::vector<std::uint32_t>& words, ConvertOptions o) {
    testing_util::TempDir dir;
    std::string buffer = dir.file("buffer");
    std::filesystem::create_directory(buffer);
    WriteBuffer(buffer, body, words);
    std::snprintf(o.SavePath, sizeof o.SavePath, "%s", dir.path().c_str());
    Converted r = Convert(buffer, o);
    EXPECT_EQ(r.code, 0);
    EXPECT_FALSE(std::filesystem::exists(dir.file("T_00000001.txt")));
    return ReadText(dir.file("T_00000000.txt"));
}

ConvertOptions Translate() {
    ConvertOptions o = DefaultOptions("");
    o.PrintFormat = PrintFormatTranslate;
    o.PrintData = PrintDataCharHex;  // Translate shows characters only, whatever is chosen here
    return o;
}

ConvertOptions Csv(int form, int data, int width) {
    ConvertOptions o = DefaultOptions("");
    o.Format = FormatCsv;
    o.CsvForm = form;
    o.CsvData = data;
    o.Width = width;
    std::snprintf(o.Delimit, sizeof o.Delimit, ",");
    return o;
}

}  // namespace

TEST(GoldenControlSequence, BscConversationInAscii) {
    EXPECT_EQ(ConvertSample(BscBody(kBscAscii), BscConversation(kBscAscii), Translate()),
              Expected("control_bsc_ascii.txt"));
}

TEST(GoldenControlSequence, BscConversationInEbcdic) {
    EXPECT_EQ(ConvertSample(BscBody(kBscEbcdic), BscConversation(kBscEbcdic), Translate()),
              Expected("control_bsc_ebcdic.txt"));
}

TEST(GoldenCsv, AsyncSampleAsData) {
    EXPECT_EQ(ConvertSample(AsyncBody(), MixedAsync(), Csv(0, textlib::kCsvChar, 8)), Expected("csv_async_data.txt"));
}

TEST(GoldenCsv, AsyncSampleAsFrames) {
    EXPECT_EQ(ConvertSample(AsyncBody(), MixedAsync(), Csv(1, textlib::kCsvChar, 10)),
              Expected("csv_async_frames.txt"));
}

TEST(GoldenCsv, HdlcSampleAsData) {
    EXPECT_EQ(ConvertSample(HdlcBody(), HdlcSample(), Csv(0, textlib::kCsvHex, 16)), Expected("csv_hdlc_data.txt"));
}

TEST(GoldenCsv, HdlcSampleAsFrames) {
    EXPECT_EQ(ConvertSample(HdlcBody(), HdlcSample(), Csv(1, textlib::kCsvHex, 8)), Expected("csv_hdlc_frames.txt"));
}
