// The token reader: widths split long runs, line ends are blanks, labels are read by
// their printed words, and nothing is read past the end.
#include <gtest/gtest.h>

#include "test_util.h"

using setxfer::TokenReader;
using setxfer_test::bytes;

TEST(TokenReader, SplitsRunsAtTheWidthAndTreatsLineEndsAsBlanks) {
    std::string text = "CHAR BIT:8\r\n\tSYNCMODE:ASYNC  1152000";
    TokenReader in(bytes(text));
    EXPECT_EQ(in.token(4), "CHAR");
    EXPECT_EQ(in.token(4), "BIT:");
    EXPECT_EQ(in.token(6), "8");
    EXPECT_EQ(in.token(9), "SYNCMODE:");
    EXPECT_EQ(in.token(5), "ASYNC");
    EXPECT_EQ(in.token(6), "115200");
    EXPECT_EQ(in.token(6), "0");
    EXPECT_EQ(in.token(6), "");
    EXPECT_TRUE(in.at_end());
}

TEST(TokenReader, SkipsLabelsWordByWordWhateverTheSpacing) {
    std::string text = "CHAR   BIT:7 S-SPEED:\r\n9600 TRANSPRT :ON";
    TokenReader in(bytes(text));
    in.skip("CHAR BIT:");
    EXPECT_EQ(in.token(6), "7");
    in.skip("S-SPEED :");  // the colon moved onto the label still splits into the same tokens
    EXPECT_EQ(in.token(6), "9600");
    in.skip("TRANSPRT:");
    EXPECT_EQ(in.token(6), ":ON");  // a colon split off a one-word label does not line up
}

TEST(TokenReader, CarriedStartOfALabelIsCompletedBySkip) {
    std::string text = "SEQUENCE:LSB_F RESPONSE:12";
    TokenReader in(bytes(text));
    in.carry(in.token(6));  // "SEQUEN", taken as a value
    in.skip("SEQUENCE:");
    EXPECT_EQ(in.token(6), "LSB_F");
    in.carry("XY");  // not the start of the label: the label is read whole
    in.skip("RESPONSE:");
    EXPECT_EQ(in.number(6), 12u);
}

TEST(TokenReader, NumbersAndDigitRuns) {
    std::string text = "12a 0099 L12x (25) -3";
    TokenReader in(bytes(text));
    EXPECT_EQ(in.number(6), std::nullopt);  // "12a" is consumed but no number
    EXPECT_EQ(in.number(6), 99u);
    EXPECT_EQ(in.token(1), "L");
    EXPECT_EQ(in.digits(), 12u);
    EXPECT_EQ(in.token(1), "x");
    EXPECT_EQ(in.next_char(), '(');
    EXPECT_EQ(in.digits(), 25u);
    EXPECT_EQ(in.next_char(), ')');
    EXPECT_EQ(in.digits(), std::nullopt);
    EXPECT_EQ(in.next_char(), '-');
    EXPECT_EQ(in.digits(), 3u);
    EXPECT_EQ(in.next_char(), -1);
    EXPECT_EQ(in.peek_char(), -1);
}
