#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "setup/SetupData.h"
#include "util/Format.h"
#include "util/Text.h"

namespace delvar::util {
namespace {

TEST(TextFields, GetFieldRestartsAtTheFirstPositionWhenSeparatorsRunOut) {
    EXPECT_EQ(FieldCount("10,20,30", ','), 3);
    EXPECT_EQ(FieldCount("", ','), 1);
    EXPECT_EQ(GetField("10,20,30", 3, ','), "30");
    EXPECT_EQ(GetField("10,20,30", 4, ','), "10");
    EXPECT_EQ(GetField("10,20,30", 5, ','), "20");
    EXPECT_EQ(GetField(",a,b", 1, ','), ",a,b") << "a separator at position 1 ends no field";
    EXPECT_EQ(GetField("a,", 2, ','), "");
    EXPECT_EQ(GetField("1 2", 0, ' '), "1");
}

TEST(TextFields, SplitReplaceStrip) {
    std::string rest = "junk";
    EXPECT_EQ(SplitFirst("  1,  2 ,3  ", rest, ','), "1");
    EXPECT_EQ(rest, "2 ,3");
    EXPECT_EQ(SplitFirst("  alone  ", rest, ','), "alone");
    EXPECT_EQ(rest, "");
    EXPECT_EQ(ReplaceChar("a b c", ' ', "_"), "a_b_c");
    EXPECT_EQ(StripChar(" 1 2 ", ' '), "12");
    EXPECT_EQ(Trim("   "), "");
}

TEST(Numbers, LeadingNumberAndWholeNumbers) {
    EXPECT_EQ(LeadingNumber("  -3.25abc"), -3.25);
    EXPECT_EQ(LeadingNumber("+7"), 7.0);
    EXPECT_EQ(LeadingNumber(".5"), 0.5);
    EXPECT_EQ(LeadingNumber("1e3x"), 1000.0);
    EXPECT_EQ(LeadingNumber("2e"), 2.0);
    EXPECT_EQ(LeadingNumber("."), 0.0);
    EXPECT_EQ(LeadingNumber("1e999"), 0.0) << "out of range gives 0, not infinity";
    long value = -1;
    EXPECT_TRUE(ParseWholeNumber(" 4 ", value));
    EXPECT_EQ(value, 4);
    EXPECT_FALSE(ParseWholeNumber("4.5", value));
    EXPECT_FALSE(ParseWholeNumber("", value));
    EXPECT_FALSE(ParseWholeNumber("99999999999999999999", value));
}

TEST(Numbers, TypedNumbersAreTakenWholeOrNotAtAll) {
    for (auto [text, expected] : {std::pair{" 12.5 ", 12.5},
                                  {"+7", 7.0},
                                  {"-.25", -0.25},
                                  {"3.", 3.0},
                                  {"1e2", 100.0},
                                  {"\t0\t", 0.0}}) {
        double value = -99;
        EXPECT_TRUE(ParseTypedNumber(text, value)) << text;
        EXPECT_EQ(value, expected) << text;
    }
    for (const char* text : {"", "  ", "1e309", "-1e309", "nan", "inf", "-inf", "1,5", "12abc",
                             "1 2", "--1", "+-1", "0x10", ".", "-", "e5", "1e"}) {
        double value = 42;
        EXPECT_FALSE(ParseTypedNumber(text, value)) << text;
        EXPECT_EQ(value, 42) << text << ": a refused text leaves the value alone";
    }
}

TEST(Numbers, RoundingHalfToEvenAndHeldInRange) {
    for (auto [value, rounded] : {std::pair{102.5, 102L},
                                  {127.5, 128L},
                                  {-0.5, 0L},
                                  {-1.5, -2L},
                                  {-2.6, -3L},
                                  {2.4999, 2L},
                                  {10.25 * 10, 102L}})
        EXPECT_EQ(RoundHalfEven(value), rounded) << value;
    EXPECT_EQ(RoundHalfEven(1e300), LONG_MAX);
    EXPECT_EQ(RoundHalfEven(-INFINITY), LONG_MIN);
    EXPECT_EQ(RoundHalfEven(NAN), 0);
}

TEST(Formats, NumbersAndTimesShownToTheOperator) {
    EXPECT_EQ(NumberText(35 * 0.01), "0.35") << "no 17-digit tail";
    EXPECT_EQ(NumberText(2.5), "2.5");
    EXPECT_EQ(NumberText(10), "10");
    EXPECT_EQ(FormatHMS(3725), "1:02:05");
    EXPECT_EQ(FormatHMS(59.5), "0:01:00");
    EXPECT_EQ(FormatHMS(36000 * 3), "30:00:00");
    EXPECT_EQ(FormatHMS(-5), "0:00:00");
    EXPECT_EQ(FormatNumber(2.675, "#0.00"), "2.68") << "decimal half rounds up";
    EXPECT_EQ(FormatNumber(-0.004, "#0.00"), "0.00") << "no minus on a zero";
    EXPECT_EQ(FormatNumber(-1.25, "#0.0"), "-1.3");
    EXPECT_EQ(FormatNumber(1234.5, "#0.000"), "1234.500");
    EXPECT_EQ(FormatNumber(0.5, "#.0"), ".5");
    EXPECT_EQ(FormatNumber(0, "#.0"), ".0");
    EXPECT_EQ(FormatNumber(12.34, "#.0"), "12.3");
    EXPECT_EQ(FormatNumber(NAN, "#0.0"), "0.0");
}

// Names are cut at 16 characters, each character outside printable ASCII one "?".
TEST(Names, PrintableAsciiCutAtSixteenCharacters) {
    EXPECT_EQ(PrintableAscii("Température\t\xff"), "Temp?rature??");
    EXPECT_EQ(PrintableAscii("\xe2\x82\xac\xf0\x9f\x98\x80 \xc3"), "?? ?") << "euro, emoji, cut";
    EXPECT_EQ(setup::FixedName("Éléments de l'été"), "?l?ments de l'?t");
    EXPECT_EQ(setup::FixedName("Gold"), "Gold            ");
    EXPECT_EQ(setup::WordName("  Heater on, now "), "Heater_on_now   ");
}

}  // namespace
}  // namespace delvar::util
