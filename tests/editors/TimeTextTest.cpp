#include "editors/TimeText.h"

#include <gtest/gtest.h>

#include "support/ScriptedDialogs.h"

namespace delvar::editors {
namespace {

TEST(TimeText, TimesOfDayAndSecondsUpTo5999) {
    EXPECT_EQ(TimeTextSeconds("1:39:59"), 5999);
    EXPECT_EQ(TimeTextSeconds("00:00:00"), 0);
    EXPECT_EQ(TimeTextSeconds(" 0:01:05 "), 65);
    EXPECT_EQ(TimeTextSeconds("1:02"), 3720);  // hours and minutes
    EXPECT_EQ(TimeTextSeconds("5999"), 5999);
    EXPECT_EQ(TimeTextSeconds("5998.5"), 5998);  // rounded half to even
    EXPECT_EQ(TimeTextSeconds("5999.4"), 5999);
    EXPECT_EQ(TimeTextSeconds("-0.4"), 0);
    EXPECT_EQ(TimeTextSeconds(" "), 0);  // an emptied cell
}

TEST(TimeText, OutOfRangeOrUnreadableGivesMinusOneWithTheMessage) {
    for (const char* text : {"1:40:00", "6000", "5999.5", "-1", "1e9", "0:60:00", "0:00:60",
                             "24:00:00", "1:2:3:4", "1::00", "a:00:00", ":", "1:00:00.5",
                             // not wholly a number: refused, not read as 0, 1 or 12
                             "1e309", "nan", "1,5", "12abc", "12 s", "abc"}) {
        testing::ScriptedDialogs dialogs;
        EXPECT_EQ(ParseTimeText(text, dialogs), -1) << text;
        EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{kTimeMessage}) << text;
    }
    testing::ScriptedDialogs dialogs;
    EXPECT_EQ(ParseTimeText("1:39:59", dialogs), 5999);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_STREQ(kTimeMessage,
                 "Valid Time values are hh:mm:ss from 00:00:00 to 1:39:59, or 0 to 5999 seconds.");
}

}  // namespace
}  // namespace delvar::editors
