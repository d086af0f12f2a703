// The command's message texts, status names and key words.
#include <gtest/gtest.h>

#include "commands/key_names.h"
#include "commands/settings_job.h"
#include "text/messages.h"
#include "text/sjis.h"

namespace cli {
namespace {

TEST(Messages, StopReasonsAndStatuses) {
    EXPECT_EQ(stop_reason_text(2), "The connected analyzer unsupport this function.");
    EXPECT_EQ(stop_reason_text(0xF000 + 12), "A label at line number 12 in the program is undefined.");
    EXPECT_EQ(stop_reason_text(0xF1FF), "A label at line number 511 in the program is undefined.");
    EXPECT_EQ(stop_reason_text(0xF200), "A measurement cannot be started.");
    EXPECT_EQ(stop_reason_text(-1), "A measurement cannot be started.");
    EXPECT_EQ(with_status(message_text(Msg::Connection), 4),
              "An error occurred during the connection process. (status 4: no answer in time)");
    EXPECT_EQ(status_name(514), "cancelled by the analyzer");
    EXPECT_EQ(status_name(77), "status 77");
}

TEST(KeyNames, NamesCodesAndShift) {
    EXPECT_EQ(key_code("RUN"), 33);
    EXPECT_EQ(key_code("run"), 33);
    EXPECT_EQ(key_code("\xE2\x86\x90"), 16);  // ←
    EXPECT_EQ(key_code("LEFT"), 16);
    EXPECT_EQ(key_code("f"), 15);
    EXPECT_EQ(key_code("0x1A5"), 0x1A5);
    EXPECT_EQ(key_code("33"), 33);
    EXPECT_EQ(key_code("SHIFT+0"), 128);
    EXPECT_EQ(key_code("shift+stop"), 162);
    EXPECT_EQ(key_code("SHIFT+200"), std::nullopt);  // already shifted
    EXPECT_EQ(key_code("65536"), std::nullopt);
    EXPECT_EQ(key_code("0x"), std::nullopt);
    EXPECT_EQ(key_code("JUMP"), std::nullopt);
    EXPECT_EQ(KeyName(19), "\xE2\x86\x93");  // ↓
    EXPECT_EQ(KeyName(35), "");
}

TEST(SettingsFiles, TypeHeldAndShiftJisMessages) {
    EXPECT_EQ(type_held_by("RV-7020\r\nx\r\n"), 0);
    EXPECT_EQ(type_held_by("RV-7020\r\nt:TABLEDATA\r\nEN\r\n"), 1);
    EXPECT_EQ(type_held_by("RV-7030\r\nT:TABLEDATA\r\nEN\r\nP:PROG_DATA\r\n"), 2);
    // ﾃｰﾌﾞﾙ (single-byte katakana) and エラー (double-byte)
    EXPECT_EQ(sjis_to_utf8("\xC3\xB0\xCC\xDE\xD9 \x83G\x83\x89\x81["),
              "\xEF\xBE\x83\xEF\xBD\xB0\xEF\xBE\x8C\xEF\xBE\x9E\xEF\xBE\x99 \xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC");
}

}  // namespace
}  // namespace cli
