#include "shared/text_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sayolt {
namespace {

using namespace std::chrono_literals;
using std::chrono::day;
using std::chrono::month;
using std::chrono::year;
using std::chrono::year_month_day;

struct TimeCase {
  std::string text;
  TimeOfDay expected;
};

void expectTimes(const std::vector<TimeCase>& cases) {
  for (const auto& c : cases) {
    SCOPED_TRACE("text: \"" + c.text + "\"");
    const auto parsed = parseTimeOfDay(c.text);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(*parsed, c.expected);
  }
}

void expectNoTime(const std::vector<std::string>& texts) {
  for (const auto& text : texts) {
    SCOPED_TRACE("text: \"" + text + "\"");
    EXPECT_FALSE(parseTimeOfDay(text).has_value());
  }
}

year_month_day ymd(int y, unsigned m, unsigned d) { return year_month_day{year{y}, month{m}, day{d}}; }

TEST(TimeOfDayParsing, ReadsHourMinuteAndSeconds_WithOrWithoutLeadingZero) {
  expectTimes({{"8:00", 8h},
               {"08:00", 8h},
               {"9:05", 9h + 5min},
               {"17:30", 17h + 30min},
               {"8:00:30", 8h + 30s},
               {"08:00:05", 8h + 5s},
               {"9:5", 9h + 5min},
               {"9:05:7", 9h + 5min + 7s}});
}

TEST(TimeOfDayParsing, CoversTheWholeDay_FromMidnightToLastSecond) {
  expectTimes({{"0:00", 0s}, {"00:00:00", 0s}, {"23:59", 23h + 59min}, {"23:59:59", 86399s}});
}

TEST(TimeOfDayParsing, RejectsFieldsOutOfRange) {
  expectNoTime({"24:00", "25:00", "12:60", "12:00:60", "99:99", "-1:00"});
}

TEST(TimeOfDayParsing, RejectsOtherShapes) {
  expectNoTime({"", " ", "abc", "8", "8:", ":30", "1:2:3:4", "123:00", "8:000", "8.30", "8:30 am", "8：00", "８:００",
                "8 :00", "8: 00", "+8:00"});
}

TEST(TimeOfDayParsing, ToleratesAsciiBlanksAroundTheText_ButNotFullWidthSpace) {
  expectTimes({{" 8:00", 8h}, {"8:00 ", 8h}, {"\t17:30\t", 17h + 30min}});
  expectNoTime(
      {"\xE3\x80\x80"
       "8:00"});  // U+3000 ideographic space
}

TEST(TimeOfDayParsing, ReadsDateAsMidnight_AndDateWithTimeAsThatTime) {
  expectTimes({{"2027/1/1", 0s},
               {"2024/05/06", 0s},
               {"2027/1/11 9:00", 9h},
               {"2027/1/11 09:00:15", 9h + 15s},
               {" 2027/1/11 23:59 ", 23h + 59min}});
}

TEST(TimeOfDayParsing, RejectsBadDateOrBadTimeAfterTheDate) {
  expectNoTime(
      {"2024/2/30", "2024/13/1", "2027/1/1 25:00", "2027/1/1 abc", "2027/1/1  9:00", "2027/1/1T9:00", "9:00 2027/1/1"});
}

TEST(DateParsing, ReadsYearMonthDay_WithOrWithoutLeadingZeros) {
  EXPECT_EQ(parseDate("2027/1/9"), ymd(2027, 1, 9));
  EXPECT_EQ(parseDate("2024/05/06"), ymd(2024, 5, 6));
  EXPECT_EQ(parseDate("2027/12/31"), ymd(2027, 12, 31));
  EXPECT_EQ(parseDate(" 2027/1/1 "), ymd(2027, 1, 1));
}

TEST(DateParsing, FollowsTheCalendar_IncludingLeapYears) {
  EXPECT_EQ(parseDate("2024/2/29"), ymd(2024, 2, 29));
  EXPECT_EQ(parseDate("2000/2/29"), ymd(2000, 2, 29));
  EXPECT_FALSE(parseDate("2023/2/29").has_value());
  EXPECT_FALSE(parseDate("1900/2/29").has_value());
  EXPECT_FALSE(parseDate("2024/2/30").has_value());
  EXPECT_FALSE(parseDate("2027/4/31").has_value());
  EXPECT_FALSE(parseDate("2024/13/1").has_value());
  EXPECT_FALSE(parseDate("2024/0/1").has_value());
  EXPECT_FALSE(parseDate("2024/1/0").has_value());
}

TEST(DateParsing, KeepsTheDateOfADateWithTime_OnlyWhenTheTimeIsValid) {
  EXPECT_EQ(parseDate("2027/1/15 8:00"), ymd(2027, 1, 15));
  EXPECT_EQ(parseDate("2027/1/15 23:59:59"), ymd(2027, 1, 15));
  EXPECT_FALSE(parseDate("2027/1/15 24:00").has_value());
  EXPECT_FALSE(parseDate("2027/1/15 x").has_value());
}

TEST(DateParsing, RejectsOtherSeparatorsAndShortForms) {
  for (const std::string text : {"2027-1-1", "2027.1.1", "2027年1月1日", "27/1/1", "1/1", "2027/1", "02027/1/1",
                                 "0999/1/1", "2027/001/1", "2027/1/1/1", "8:00", "", "２０２７/1/1"}) {
    SCOPED_TRACE("text: \"" + text + "\"");
    EXPECT_FALSE(parseDate(text).has_value());
  }
}

TEST(DateParsing, AcceptsFourDigitYearsFrom1000) {
  EXPECT_EQ(parseDate("1000/1/1"), ymd(1000, 1, 1));
  EXPECT_EQ(parseDate("9999/12/31"), ymd(9999, 12, 31));
}

TEST(DateTextCheck, AcceptsTimesAndDates_AndNothingElse) {
  for (const std::string text : {"8:00", "08:00", "8:00:00", "2027/1/1", "2027/01/01 8:00"}) {
    SCOPED_TRACE("text: \"" + text + "\"");
    EXPECT_TRUE(isDateText(text));
  }
  for (const std::string text : {"", "25:00", "abc", "8", "2024/2/30", "2027-1-1", "1:2:3:4"}) {
    SCOPED_TRACE("text: \"" + text + "\"");
    EXPECT_FALSE(isDateText(text));
  }
}

TEST(TimeFormatting, WritesHourWithoutLeadingZero_AndTwoDigitMinutes) {
  EXPECT_EQ(formatHourMinute(8h), "8:00");
  EXPECT_EQ(formatHourMinute(9h + 5min), "9:05");
  EXPECT_EQ(formatHourMinute(17h + 30min), "17:30");
  EXPECT_EQ(formatHourMinute(0s), "0:00");
  EXPECT_EQ(formatHourMinute(86399s), "23:59");
  EXPECT_EQ(formatHourMinute(8h + 59s), "8:00");  // seconds are dropped, not rounded
}

TEST(TimeFormatting, TakesValuesModuloOneDay_NegativeOnesToo) {
  EXPECT_EQ(formatHourMinute(24h), "0:00");
  EXPECT_EQ(formatHourMinute(24h + 3h + 15min), "3:15");
  EXPECT_EQ(formatHourMinute(-1min), "23:59");
  EXPECT_EQ(formatHourMinute(-24h - 30min), "23:30");
  EXPECT_EQ(formatHourMinuteSecond(-1s), "23:59:59");
  EXPECT_EQ(formatHourMinuteSecond(48h + 1s), "0:00:01");
}

TEST(TimeFormatting, WritesSecondsWithTwoDigits) {
  EXPECT_EQ(formatHourMinuteSecond(0s), "0:00:00");
  EXPECT_EQ(formatHourMinuteSecond(9h + 5min + 7s), "9:05:07");
  EXPECT_EQ(formatHourMinuteSecond(86399s), "23:59:59");
}

TEST(TimeFormatting, RoundTripsThroughTheParser_ForEveryMinuteOfTheDay) {
  for (TimeOfDay t{0}; t < kSecondsPerDay; t += 1min) {
    ASSERT_EQ(parseTimeOfDay(formatHourMinute(t)), t) << formatHourMinute(t);
  }
}

TEST(DateFormatting, WritesNoLeadingZeros) {
  EXPECT_EQ(formatDate(ymd(2027, 1, 1)), "2027/1/1");
  EXPECT_EQ(formatDate(ymd(2099, 1, 5)), "2099/1/5");
  EXPECT_EQ(formatDate(ymd(2027, 12, 31)), "2027/12/31");
  EXPECT_EQ(formatDate(*parseDate("2024/05/06")), "2024/5/6");
}

TEST(NumericText, AcceptsPlainDecimalNumbers) {
  for (const std::string text : {"0", "5", "05", "300", "-5", "+5", "1.5", ".5", "5.", "-.5", " 30 ", "\t7", "00032767",
                                 "123456789012345678901234567890"}) {
    SCOPED_TRACE("text: \"" + text + "\"");
    EXPECT_TRUE(isNumeric(text));
  }
}

TEST(NumericText, RejectsEverythingElse) {
  for (const std::string text : {"", " ", ".", "-", "+", "+-5", "--5", "- 5", "5-", "1,000", "1e3", "&H10", "0x10",
                                 "1.2.3", "abc", "12a", "３０", "¥5", "5 5"}) {
    SCOPED_TRACE("text: \"" + text + "\"");
    EXPECT_FALSE(isNumeric(text));
  }
}

TEST(Int16Conversion, ConvertsWholeNumbers) {
  EXPECT_EQ(toInt16("0"), 0);
  EXPECT_EQ(toInt16("05"), 5);
  EXPECT_EQ(toInt16("180"), 180);
  EXPECT_EQ(toInt16(" 60 "), 60);
  EXPECT_EQ(toInt16("-5"), -5);
  EXPECT_EQ(toInt16("+1439"), 1439);
  EXPECT_EQ(toInt16("-0"), 0);
}

TEST(Int16Conversion, RoundsHalvesToEven) {
  EXPECT_EQ(toInt16("0.5"), 0);
  EXPECT_EQ(toInt16("1.5"), 2);
  EXPECT_EQ(toInt16("2.5"), 2);
  EXPECT_EQ(toInt16("3.5"), 4);
  EXPECT_EQ(toInt16("-2.5"), -2);
  EXPECT_EQ(toInt16("-3.5"), -4);
  EXPECT_EQ(toInt16("-0.5"), 0);
  EXPECT_EQ(toInt16("2.50000"), 2);
  EXPECT_EQ(toInt16(".5"), 0);
  EXPECT_EQ(toInt16("5."), 5);
}

TEST(Int16Conversion, RoundsOtherFractionsToNearest_ReadingEveryDigit) {
  EXPECT_EQ(toInt16("2.4999999999999999999"), 2);
  EXPECT_EQ(toInt16("2.5000000000000000001"), 3);
  EXPECT_EQ(toInt16("0.5000000000000001"), 1);
  EXPECT_EQ(toInt16("0.49"), 0);
  EXPECT_EQ(toInt16("0.6"), 1);
  EXPECT_EQ(toInt16("-0.6"), -1);
  EXPECT_EQ(toInt16("59.9"), 60);
}

TEST(Int16Conversion, AcceptsExactlyTheSixteenBitRange) {
  EXPECT_EQ(toInt16("32767"), 32767);
  EXPECT_EQ(toInt16("-32768"), -32768);
  EXPECT_EQ(toInt16("32766.5"), 32766);
  EXPECT_EQ(toInt16("-32768.5"), -32768);
  EXPECT_EQ(toInt16("-32767.5"), -32768);
  EXPECT_EQ(toInt16("0000000000032767"), 32767);
  EXPECT_FALSE(toInt16("32768").has_value());
  EXPECT_FALSE(toInt16("32767.5").has_value());
  EXPECT_FALSE(toInt16("-32769").has_value());
  EXPECT_FALSE(toInt16("-32768.6").has_value());
  EXPECT_FALSE(toInt16("99999").has_value());
  EXPECT_FALSE(toInt16("100000").has_value());
  EXPECT_FALSE(toInt16("99999999999999999999999").has_value());
}

TEST(Int16Conversion, RefusesTextThatIsNotANumber) {
  for (const std::string text : {"", "abc", "1e3", "1,000", "&H10", "3:00", "."}) {
    SCOPED_TRACE("text: \"" + text + "\"");
    EXPECT_FALSE(toInt16(text).has_value());
  }
}

TEST(HalfWidthDigits, TurnsWhatAnImeTypesIntoTextTheRulesRead) {
  EXPECT_EQ(toHalfWidthDigits("８：００"), "8:00");
  EXPECT_EQ(toHalfWidthDigits("２０２７／３／１"), "2027/3/1");
  EXPECT_EQ(toHalfWidthDigits("０１２３４５６７８９"), "0123456789");
  EXPECT_EQ(toHalfWidthDigits("１8:０0"), "18:00");
  EXPECT_EQ(parseTimeOfDay(toHalfWidthDigits("２３：５９")), TimeOfDay{23 * 3600 + 59 * 60});
  EXPECT_EQ(parseDate(toHalfWidthDigits("２０２７/３／１")), ymd(2027, 3, 1));
}

TEST(HalfWidthDigits, KeepsEveryOtherCharacter) {
  // Neighbours of the mapped range (U+FF0E "．", U+FF1B "；"), other full-width forms, kana whose
  // UTF-8 also starts with EF BC or ends in a byte of the range, and a cut sequence stay as they are.
  for (const std::string text : {"．", "；", "Ａ", "＋", "エクスプローラー", "ﾃｽﾄ", "8:00", "", "\xEF\xBC", "a\xEF"}) {
    SCOPED_TRACE("text: \"" + text + "\"");
    EXPECT_EQ(toHalfWidthDigits(text), text);
  }
  EXPECT_FALSE(parseTimeOfDay(toHalfWidthDigits("８．００")).has_value());
}

}  // namespace
}  // namespace sayolt
