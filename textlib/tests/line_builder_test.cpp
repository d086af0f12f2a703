// The translated line's fields are written digit by digit instead of through
// printf: each must give exactly what its printf format gives.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "frames/line_builder.h"

namespace textlib {
namespace {

template <typename Put>
std::string Built(Put put) {
    LineBuilder line;
    line.Put("|");  // something in front: the fields append
    put(line);
    return line.Text();
}

template <typename... Args>
std::string Printed(const char* format, Args... args) {
    char text[64];
    std::snprintf(text, sizeof text, format, args...);
    return std::string("|") + text;
}

TEST(LineBuilder, FieldsMatchTheirPrintfFormats) {
    for (unsigned v : {0u, 1u, 9u, 10u, 0x7Fu, 0xA5u, 0xFFu}) {
        EXPECT_EQ(Built([&](LineBuilder& l) { l.Hex2(v); }), Printed("%02X", v)) << v;
        EXPECT_EQ(Built([&](LineBuilder& l) { l.Hex2(v | 0x300); }), Printed("%02X", v)) << "only the low byte counts";
    }
    for (unsigned v : {0u, 0x12u, 0xABCu, 0xFFFFu})
        EXPECT_EQ(Built([&](LineBuilder& l) { l.Hex4(v); }), Printed("%04X", v)) << v;
    for (int v : {0, 1, 7, 9, 10, 99, 100, 127, 999, 1000, 4095, 65535, 2147483647, -1, -42})
        for (int width : {0, 1, 2, 3, 4, 6}) {
            EXPECT_EQ(Built([&](LineBuilder& l) { l.Dec(v, width); }), Printed("%*d", width, v)) << v << " " << width;
        }
    for (const char* s : {"", "I", "RR", "SABM", "DISC", "SETUP ACK"})
        for (int width : {0, 2, 5, 9}) {
            EXPECT_EQ(Built([&](LineBuilder& l) { l.Left(s, width); }), Printed("%-*s", width, s)) << s << " " << width;
            EXPECT_EQ(Built([&](LineBuilder& l) { l.Right(s, width); }), Printed("%*s", width, s)) << s << " " << width;
        }
}

TEST(LineBuilder, TimeAndDataFillTheLineWidthAndTrailingBlanksGo) {
    EXPECT_EQ(Built([](LineBuilder& l) { l.PutTime(0x05341203u); }), "|123405 ");
    EXPECT_EQ(Built([](LineBuilder& l) { l.PutTime(0); }), "|       ");
    // As many hex slots as the 132-character width leaves; the rest is cut.
    const std::uint8_t bytes[100] = {0xAB, 0x01};
    LineBuilder line;
    line.Spaces(100);
    line.PutData(bytes, 100, [](std::uint8_t b) { return b; });
    EXPECT_EQ(line.Size(), 132u);
    EXPECT_EQ(line.Text().substr(100, 6), "AB0100");
    LineBuilder shortLine;
    shortLine.Put("SD: ");
    shortLine.PutData(bytes, 2, [](std::uint8_t b) { return b; });
    EXPECT_EQ(shortLine.Finish(), "SD: AB01");
}

}  // namespace
}  // namespace textlib
