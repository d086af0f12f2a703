// MULTI POLLING: the slave form's one-byte address rule and the master form's
// message, map and station list.
#include <gtest/gtest.h>

#include "messages.h"
#include "test_util.h"

using namespace setxfer;
using namespace setxfer_test;

TEST(PollingSlave, OneAddressBytePassesTwoFail) {
    auto s = base_setup();
    s[466] = 0x10, s[467] = 0x27, s[468] = 29;  // 10000, "DC3"
    auto text = write_section(write_multi_polling, s);
    EXPECT_EQ(text,
              "< MULTI POLLING >\r\nMODE    :SLAVE \r\nADDRESS :5a      \r\nRESPONSE:10000 \r\nTABLE No:DC3   \r\n");
    auto back = base_setup();
    EXPECT_EQ(read_section(read_multi_polling, text, back).result, text::kPolling);  // response out of range
    std::string ok =
        "< MULTI POLLING >\r\nMODE    :SLAVE \r\nADDRESS :5a      \r\nRESPONSE:9999  \r\nTABLE No:ACK0  \r\n";
    back[457] = 0;
    auto run = read_section(read_multi_polling, ok, back);
    EXPECT_FALSE(run.result);
    EXPECT_TRUE(run.consumed_all);
    EXPECT_EQ(back[457], 1);
    EXPECT_EQ(back[458], 0x5a);
    EXPECT_EQ(back[468], 21);
    std::string two =
        "< MULTI POLLING >\r\nMODE    :SLAVE \r\nADDRESS :5a01    \r\nRESPONSE:9999  \r\nTABLE No:ACK0  \r\n";
    run = read_section(read_multi_polling, two, back);
    EXPECT_EQ(run.result, text::kPolling);
    EXPECT_TRUE(run.consumed_all);
    EXPECT_EQ(back[457], 2);
    // A run of address bytes longer than the eight the set holds stores eight.
    std::string long_run =
        "< MULTI POLLING >\r\nMODE    :SLAVE \r\nADDRESS :000102030405060708090a\r\nRESPONSE:1\r\nTABLE No:0\r\n";
    back[469] = 0xEE;
    EXPECT_EQ(read_section(read_multi_polling, long_run, back).result, text::kPolling);
    EXPECT_EQ(back[457], 8);
    EXPECT_EQ(back[465], 7);
    EXPECT_EQ(back[469], 0xEE);
}

namespace {

std::vector<std::uint8_t> master() {
    auto s = base_setup();
    s[456] = 1;
    s[476] = 0xFF, s[477] = 0x05, s[478] = 0xFF, s[479] = 0x31;
    for (int i = 4; i < 30; i += 2) s[476 + i] = 0, s[477 + i] = 0xFF;
    s[480] = 0, s[481] = 0, s[482] = 0, s[483] = 0;  // two "*"
    for (int i = 0; i < 16; ++i) s[506 + i] = static_cast<std::uint8_t>(i);
    s[521] = 16;
    s[522] = 2, s[554] = 0xc1, s[555] = 0x02;
    return s;
}

}  // namespace

TEST(PollingMaster, TextAndReadBack) {
    auto s = master();
    auto text = write_section(write_multi_polling, s);
    std::string head =
        "< MULTI POLLING >\r\nMODE    :MASTER\r\nRESPONSE:0     \r\nTIMEOUT :0     \r\nREPEAT  :0     \r\n"
        "POLLING MSG :[ 0531**            ]\r\n"
        "RESPONSE MAP:[  0-1 ] [  2-3 ] [  4-5 ]\r\n"
        "             [  6-7 ] [  8-9 ] [  A-B ]\r\n"
        "             [  C-D ] [ERR-E ] [TMO-* ]\r\n"
        "STATION ADDRESS\r\n01[c102]\r\n02[]\r\n";
    EXPECT_EQ(text.substr(0, head.size()), head);
    EXPECT_EQ(text.substr(text.size() - 11), "32[]\r\nend\r\n");
    auto back = base_setup();
    back[456] = 0;
    back[525] = 7;  // station 4 had bytes: an empty line stores count 0
    auto run = read_section(read_multi_polling, text, back);
    EXPECT_FALSE(run.result);
    EXPECT_TRUE(run.consumed_all);
    EXPECT_EQ(std::vector<std::uint8_t>(back.begin() + 456, back.begin() + 810),
              std::vector<std::uint8_t>(s.begin() + 456, s.begin() + 810));
}

TEST(PollingMaster, RangesAndStationListAreChecked) {
    auto s = master();
    auto text = write_section(write_multi_polling, s);
    auto back = base_setup();
    std::string bad = text;
    bad.replace(bad.find("RESPONSE:0     "), 15, "RESPONSE:10000 ");
    EXPECT_EQ(read_section(read_multi_polling, bad, back).result, text::kPolling2);
    bad = text;
    bad.erase(bad.find("32[]\r\n"), 6);  // 31 stations
    EXPECT_EQ(read_section(read_multi_polling, bad, back).result, text::kPolling2);
    bad = text;
    bad.replace(bad.find("02[]"), 4, "02[000102030405060708]");  // nine bytes
    EXPECT_EQ(read_section(read_multi_polling, bad, back).result, text::kPolling2);
    EXPECT_EQ(back[523], 8);
}
