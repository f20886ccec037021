#include <gtest/gtest.h>

#include "util/Text.h"

namespace delvar::util {
namespace {

TEST(TextFields, CountAndFieldsOfACommaList) {
    EXPECT_EQ(FieldCount("10,20,30", ','), 3);
    EXPECT_EQ(FieldCount("", ','), 1);
    EXPECT_EQ(FieldCount(",,", ','), 3);
    EXPECT_EQ(GetField("10,20,30", 1, ','), "10");
    EXPECT_EQ(GetField("10,20,30", 2, ','), "20");
    EXPECT_EQ(GetField("10,20,30", 3, ','), "30");
}

TEST(TextFields, GetFieldRestartsAtTheFirstPositionWhenSeparatorsRunOut) {
    // Past the last separator the start falls back to position 1.
    EXPECT_EQ(GetField("10,20,30", 4, ','), "10");
    EXPECT_EQ(GetField("10,20,30", 5, ','), "20");
    EXPECT_EQ(GetField("single", 3, ' '), "single");
    // A separator at position 1 does not end the first field.
    EXPECT_EQ(GetField(",a,b", 1, ','), ",a,b");
    EXPECT_EQ(GetField(",a,b", 2, ','), "a");
    EXPECT_EQ(GetField("a,", 2, ','), "");
    EXPECT_EQ(GetField("", 1, ','), "");
    EXPECT_EQ(GetField("1 2", 0, ' '), "1");
}

TEST(TextFields, SplitFirstTrimsBothParts) {
    std::string rest = "junk";
    EXPECT_EQ(SplitFirst("ab cd ef", rest, ' '), "ab");
    EXPECT_EQ(rest, "cd ef");
    EXPECT_EQ(SplitFirst("  1,  2 ,3  ", rest, ','), "1");
    EXPECT_EQ(rest, "2 ,3");
    EXPECT_EQ(SplitFirst("  alone  ", rest, ','), "alone");
    EXPECT_EQ(rest, "");
}

TEST(TextFields, ReplaceAndStrip) {
    EXPECT_EQ(ReplaceChar("a_b_c", '_', " "), "a b c");
    EXPECT_EQ(ReplaceChar("a,b", ',', ""), "ab");
    EXPECT_EQ(ReplaceChar("x", ',', "yy"), "x");
    EXPECT_EQ(StripChar(" 1 2 ", ' '), "12");
    EXPECT_EQ(Trim("  12.5  "), "12.5");
    EXPECT_EQ(Trim("   "), "");
}

TEST(LeadingNumberConversion, ReadsTheLeadingNumericPart) {
    EXPECT_DOUBLE_EQ(LeadingNumber("12.5"), 12.5);
    EXPECT_DOUBLE_EQ(LeadingNumber("  -3.25abc"), -3.25);
    EXPECT_DOUBLE_EQ(LeadingNumber("+7"), 7.0);
    EXPECT_DOUBLE_EQ(LeadingNumber(".5"), 0.5);
    EXPECT_DOUBLE_EQ(LeadingNumber("1e3x"), 1000.0);
    EXPECT_DOUBLE_EQ(LeadingNumber("2e"), 2.0);
    EXPECT_DOUBLE_EQ(LeadingNumber("6.30"), 6.3);
    EXPECT_DOUBLE_EQ(LeadingNumber("abc"), 0.0);
    EXPECT_DOUBLE_EQ(LeadingNumber(""), 0.0);
    EXPECT_DOUBLE_EQ(LeadingNumber("-"), 0.0);
    EXPECT_DOUBLE_EQ(LeadingNumber("."), 0.0);
    EXPECT_DOUBLE_EQ(LeadingNumber("1e999"), 0.0);  // out of range gives 0, not infinity
}

TEST(LeadingNumberConversion, WholeNumbersOnly) {
    long value = -1;
    EXPECT_TRUE(ParseWholeNumber(" 4 ", value));
    EXPECT_EQ(value, 4);
    EXPECT_FALSE(ParseWholeNumber("4.5", value));
    EXPECT_FALSE(ParseWholeNumber("four", value));
    EXPECT_FALSE(ParseWholeNumber("", value));
    EXPECT_FALSE(ParseWholeNumber("99999999999999999999", value));
}

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(102.5), 102);
    EXPECT_EQ(RoundHalfEven(127.5), 128);
    EXPECT_EQ(RoundHalfEven(10.25 * 10), 102);
    EXPECT_EQ(RoundHalfEven(12.75 * 10), 128);
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(-0.5), 0);
    EXPECT_EQ(RoundHalfEven(-1.5), -2);
    EXPECT_EQ(RoundHalfEven(-2.6), -3);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
}

}  // namespace
}  // namespace delvar::util

#include "util/Format.h"

namespace delvar::util {
namespace {

TEST(Formats, HoursMinutesSeconds) {
    EXPECT_EQ(FormatHMS(3725), "1:02:05");
    EXPECT_EQ(FormatHMS(0), "0:00:00");
    EXPECT_EQ(FormatHMS(59.5), "0:01:00");
    EXPECT_EQ(FormatHMS(36000 * 3), "30:00:00");
    EXPECT_EQ(FormatHMS(-5), "0:00:00");
}

}  // namespace
}  // namespace delvar::util
