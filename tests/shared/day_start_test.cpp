#include "shared/day_start.h"

#include <gtest/gtest.h>

namespace sayolt {
namespace {

TEST(DayStartText, ShowsStoredMinutesAsHoursAndTwoDigitMinutes) {
  EXPECT_EQ(dayStartText("300"), "5:00");
  EXPECT_EQ(dayStartText("5"), "0:05");
  EXPECT_EQ(dayStartText("1439"), "23:59");
  EXPECT_EQ(dayStartText("0"), "0:00");
  // Outside the day the hours run on, and a negative value keeps its sign in both parts.
  EXPECT_EQ(dayStartText("1500"), "25:00");
  EXPECT_EQ(dayStartText("-5"), "0:-05");
  EXPECT_EQ(dayStartText("-90"), "-1:-30");
}

TEST(DayStartText, EmptyIsMidnightAndNumbersRoundAsTheNumberRuleDoes) {
  EXPECT_EQ(dayStartText(""), "0:00");
  EXPECT_EQ(dayStartText("60.5"), "1:00");
  EXPECT_EQ(dayStartText("61.5"), "1:02");
}

TEST(DayStartText, RefusesTextThatIsNoSixteenBitWholeNumber) {
  EXPECT_EQ(dayStartText("abc"), std::nullopt);
  EXPECT_EQ(dayStartText("5:00"), std::nullopt);
  EXPECT_EQ(dayStartText("32768"), std::nullopt);
  EXPECT_EQ(dayStartText("32767"), "546:07");
}

}  // namespace
}  // namespace sayolt
