// Which category the schedule days get, and the two searches for today's end and the next start.
#include "scheduler/core/day_classification.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "tests/core/core_test_support.h"

namespace sayolt {
namespace {

using namespace std::chrono;
using test::localAt;
using test::SettingsBuilder;
using test::timeOf;
using Categories = std::array<int, 3>;

// 2024-05-06 is a Monday.
year_month_day dayOfWeekOf6May(int offset) { return year_month_day{sys_days{2024y / 5 / 6} + days{offset}}; }

TEST(CategoryOf, PlainDays_WeekdayInBothModes) {
  for (const char* mode : {"0", "1"})
    for (int offset = -7; offset < 14; ++offset)
      EXPECT_EQ(categoryOf(dayOfWeekOf6May(offset), kPlainMark, mode), (offset + 7) % 7) << mode << " " << offset;
  EXPECT_EQ(categoryOf(2023y / 12 / 31, kPlainMark, "0"), kSunday);
  EXPECT_EQ(categoryOf(2024y / 2 / 29, kPlainMark, "1"), kThursday);
}

TEST(CategoryOf, HolidayMark_HolidayOnWorkdaysWeekendKeepsItsDay) {
  for (const char* mode : {"0", "1"}) {
    for (int offset = 0; offset < 5; ++offset)
      EXPECT_EQ(categoryOf(dayOfWeekOf6May(offset), kHolidayMark, mode), kHoliday);
    EXPECT_EQ(categoryOf(dayOfWeekOf6May(5), kHolidayMark, mode), kSaturday);
    EXPECT_EQ(categoryOf(dayOfWeekOf6May(6), kHolidayMark, mode), kSunday);
  }
}

TEST(CategoryOf, AbsenceMark_AlwaysUnderAbsenceFirstWorkdaysOnlyUnderWeekendFirst) {
  for (int offset = 0; offset < 7; ++offset)
    EXPECT_EQ(categoryOf(dayOfWeekOf6May(offset), kAbsenceMark, "0"), kAbsence);
  for (int offset = 0; offset < 5; ++offset)
    EXPECT_EQ(categoryOf(dayOfWeekOf6May(offset), kAbsenceMark, "1"), kAbsence);
  EXPECT_EQ(categoryOf(dayOfWeekOf6May(5), kAbsenceMark, "1"), kSaturday);
  EXPECT_EQ(categoryOf(dayOfWeekOf6May(6), kAbsenceMark, "1"), kSunday);
}

// Yesterday, today and tomorrow around the given date, the marks of the lists, and the moment.
Categories classify(const std::string& mode, year_month_day today, std::array<bool, 3> holiday,
                    std::array<bool, 3> absence, TimeOfDay now, TimeOfDay dayStart = timeOf(3, 0),
                    Categories before = {kThursday, kThursday, kThursday}) {
  ScheduleModel model;
  model.priorityMode = mode;
  model.dayStartTime = dayStart;
  model.threeDays = {year_month_day{sys_days{today} - days{1}}, today, year_month_day{sys_days{today} + days{1}}};
  model.dayCategories = before;
  classifyDays(model, holiday, absence, now);
  return model.dayCategories;
}

TEST(ClassifyDays, HolidayAndAbsenceOnOneWorkday_PriorityDecides) {
  const auto tuesday = dayOfWeekOf6May(1);
  EXPECT_EQ(classify("0", tuesday, {false, true, false}, {false, true, false}, timeOf(8, 0)),
            (Categories{kMonday, kAbsence, kWednesday}));
  EXPECT_EQ(classify("1", tuesday, {false, true, false}, {false, true, false}, timeOf(8, 0)),
            (Categories{kMonday, kHoliday, kWednesday}));
}

TEST(ClassifyDays, MarksOnWeekend_HolidayIgnoredAbsenceOnlyWhenFirst) {
  const auto saturday = dayOfWeekOf6May(5);
  for (const char* mode : {"0", "1"})
    EXPECT_EQ(classify(mode, saturday, {true, true, true}, {false, false, false}, timeOf(8, 0)),
              (Categories{kHoliday, kSaturday, kSunday}))
        << mode;
  EXPECT_EQ(classify("0", saturday, {false, false, false}, {true, true, true}, timeOf(8, 0)),
            (Categories{kAbsence, kAbsence, kAbsence}));
  EXPECT_EQ(classify("1", saturday, {false, false, false}, {true, true, true}, timeOf(8, 0)),
            (Categories{kAbsence, kSaturday, kSunday}));
  // A Sunday both holiday and absence under weekend first stays Sunday.
  EXPECT_EQ(classify("1", saturday, {false, false, true}, {false, false, true}, timeOf(8, 0))[2], kSunday);
}

TEST(ClassifyDays, AtOrBeforeDayStart_CurrentIsYesterdayAndPreviousKept) {
  const auto monday = dayOfWeekOf6May(0);
  // Tomorrow's holiday is two schedule days ahead in the small hours, so it does not show.
  for (const TimeOfDay now : {timeOf(0, 0), timeOf(2, 0), timeOf(3, 0)})
    EXPECT_EQ(classify("1", monday, {false, false, true}, {}, now), (Categories{kThursday, kSunday, kMonday}))
        << now.count();
  EXPECT_EQ(classify("1", monday, {false, false, true}, {}, timeOf(3, 0, 1)), (Categories{kSunday, kMonday, kHoliday}));
}

TEST(ClassifyDays, DayStartMidnight_OnlyMidnightItselfBelongsToYesterday) {
  const auto monday = dayOfWeekOf6May(0);
  EXPECT_EQ(classify("0", monday, {}, {}, timeOf(0, 0), timeOf(0, 0)), (Categories{kThursday, kSunday, kMonday}));
  EXPECT_EQ(classify("0", monday, {}, {}, timeOf(0, 0, 1), timeOf(0, 0)), (Categories{kSunday, kMonday, kTuesday}));
}

TEST(ClassifyDays, PriorityNeitherZeroNorOne_CategoriesUnchanged) {
  for (const char* mode : {"", "2", "abc", "01", " 1"})
    EXPECT_EQ(classify(mode, dayOfWeekOf6May(5), {true, true, true}, {true, true, true}, timeOf(8, 0), timeOf(3, 0),
                       {kWednesday, kThursday, kFriday}),
              (Categories{kWednesday, kThursday, kFriday}))
        << "[" << mode << "]";
}

TEST(ClassifyDays, LoadedLists_MarkTheRightDays) {
  // Sunday is a holiday (stays Sunday), Monday an absence, Tuesday a holiday; yesterday, today and tomorrow.
  auto file = SettingsBuilder()
                  .dayStart("180")
                  .holiday(1, "2024/5/5")
                  .holiday(2, "2024/5/7")
                  .absence(1, "2024/1/1")
                  .absence(2, "2024/5/6");
  ScheduleModel model;
  ASSERT_FALSE(readScheduleModel(file.priority("1").snapshot(), localAt("2024-05-06 08:00:00"), model));
  EXPECT_EQ(model.dayCategories, (Categories{kSunday, kAbsence, kHoliday}));
  ASSERT_FALSE(readScheduleModel(file.snapshot(), localAt("2024-05-06 02:59:59"), model));
  EXPECT_EQ(model.dayCategories, (Categories{kSunday, kSunday, kAbsence}));
  ASSERT_FALSE(readScheduleModel(file.priority("0").snapshot(), localAt("2024-05-05 12:00:00"), model));
  EXPECT_EQ(model.dayCategories, (Categories{kSaturday, kSunday, kAbsence}));
}

TEST(ClassifyDays, PriorityMissing_FirstLoadStaysMonday) {
  ScheduleModel model;
  ASSERT_FALSE(
      readScheduleModel(SettingsBuilder().holiday(1, "2024/5/11").snapshot(), localAt("2024-05-11 12:00:00"), model));
  EXPECT_EQ(model.dayCategories, (Categories{kMonday, kMonday, kMonday}));
}

// A model whose current and next schedule days have the given start and end times.
struct Day {
  std::vector<std::string> starts;
  std::vector<std::string> ends;
};

ScheduleModel modelWith(TimeOfDay dayStart, int c1, Day current, int c2 = kTuesday, Day next = {}) {
  ScheduleModel model;
  model.dayStartTime = dayStart;
  model.dayCategories = {kSunday, c1, c2};
  const auto fill = [&](int category, const Day& day) {
    int slot = 0;
    for (const auto& t : day.starts) model.startTime[category][slot++] = t;
    slot = 0;
    for (const auto& t : day.ends) model.endTime[category][slot++] = t;
  };
  fill(c1, current);
  if (c2 != c1) fill(c2, next);
  return model;
}

TEST(FindEndAndNextStart, AfterDayStart_RestOfDayThenSmallHoursThenNextDay) {
  const auto model = modelWith(timeOf(3, 0), kMonday, {{"8:00"}, {"17:00", "1:00"}}, kTuesday, {{"7:30", "9:00"}, {}});
  // The 1:00 of the small hours is earlier on the clock but comes later in the schedule day.
  auto found = findEndAndNextStart(model, timeOf(8, 0, 1));
  EXPECT_EQ(found.endTimeToday, timeOf(17, 0));
  EXPECT_TRUE(found.endFound);
  EXPECT_EQ(found.nextStartTime, timeOf(7, 30));
  EXPECT_TRUE(found.nextStartFound);

  found = findEndAndNextStart(model, timeOf(18, 0));
  EXPECT_EQ(found.endTimeToday, timeOf(1, 0));
  EXPECT_TRUE(found.endFound);
  // An end exactly at now is over.
  EXPECT_EQ(findEndAndNextStart(model, timeOf(17, 0)).endTimeToday, timeOf(1, 0));
}

TEST(FindEndAndNextStart, NextDayLaterThanNow_NotTakenAfterDayStart) {
  const auto model = modelWith(timeOf(3, 0), kMonday, {{"8:00"}, {"17:00"}}, kTuesday, {{"9:00"}, {}});
  const auto found = findEndAndNextStart(model, timeOf(8, 30));
  EXPECT_FALSE(found.nextStartFound);
  EXPECT_EQ(found.nextStartTime, kNoTimeFound);
  // At the start time itself the same start of the next day is not behind now yet either.
  const auto sameTime = modelWith(timeOf(3, 0), kMonday, {{"8:00"}, {"17:00"}}, kTuesday, {{"8:00"}, {}});
  EXPECT_FALSE(findEndAndNextStart(sameTime, timeOf(8, 0)).nextStartFound);
  EXPECT_EQ(findEndAndNextStart(sameTime, timeOf(8, 0, 1)).nextStartTime, timeOf(8, 0));
}

TEST(FindEndAndNextStart, SmallHours_CurrentDayUpToDayStartThenNextDay) {
  const Day monday{{"8:00"}, {"17:00", "1:00"}};
  const Day tuesday{{"1:00", "2:00", "2:30"}, {"18:00", "16:30", "2:30"}};
  auto found = findEndAndNextStart(modelWith(timeOf(3, 0), kMonday, monday, kTuesday, tuesday), timeOf(2, 0));
  EXPECT_EQ(found.endTimeToday, timeOf(16, 30));
  // Next day's starts after the day start: none, so those already behind now on the clock.
  EXPECT_EQ(found.nextStartTime, timeOf(1, 0));

  const Day mondayLate{{"8:00", "2:45"}, {"17:00", "2:30", "3:00"}};
  found = findEndAndNextStart(modelWith(timeOf(3, 0), kMonday, mondayLate, kTuesday, tuesday), timeOf(2, 0));
  EXPECT_EQ(found.endTimeToday, timeOf(2, 30));
  EXPECT_EQ(found.nextStartTime, timeOf(2, 45));
}

TEST(FindEndAndNextStart, NowExactlyAtDayStart_SearchesAsAfterIt) {
  // At D the small hours of the current category are searched before the next day's main part.
  const auto model = modelWith(timeOf(3, 0), kMonday, {{"2:00"}, {"2:00"}}, kTuesday, {{"4:00"}, {"4:00"}});
  const auto found = findEndAndNextStart(model, timeOf(3, 0));
  EXPECT_EQ(found.endTimeToday, timeOf(2, 0));
  EXPECT_EQ(found.nextStartTime, timeOf(2, 0));
  EXPECT_EQ(findEndAndNextStart(model, timeOf(2, 59, 59)).endTimeToday, timeOf(4, 0));
  // A time exactly at D belongs to the small hours.
  const auto atD = modelWith(timeOf(3, 0), kMonday, {{}, {"3:00"}});
  EXPECT_EQ(findEndAndNextStart(atD, timeOf(8, 0)).endTimeToday, timeOf(3, 0));
}

TEST(FindEndAndNextStart, DayStartMidnight_SmallHoursOnlyMidnightItself) {
  auto found = findEndAndNextStart(modelWith(timeOf(0, 0), kMonday, {{}, {"17:00", "0:30", "0:00"}}), timeOf(18, 0));
  EXPECT_EQ(found.endTimeToday, timeOf(0, 0));
  // Without a 0:00 end the 0:30 is not taken from today; the next day's earlier time is.
  found = findEndAndNextStart(modelWith(timeOf(0, 0), kMonday, {{}, {"17:00", "0:30"}}, kTuesday, {{}, {"17:00"}}),
                              timeOf(18, 0));
  EXPECT_EQ(found.endTimeToday, timeOf(17, 0));
  EXPECT_TRUE(found.endFound);
}

TEST(FindEndAndNextStart, StoredSentinel_FoundButLaterStepsStillRun) {
  auto found = findEndAndNextStart(modelWith(timeOf(3, 0), kMonday, {{}, {"23:59:59", "1:00"}}), timeOf(8, 0));
  EXPECT_EQ(found.endTimeToday, timeOf(1, 0));
  found =
      findEndAndNextStart(modelWith(timeOf(3, 0), kMonday, {{}, {"23:59:59"}}, kTuesday, {{}, {"5:00"}}), timeOf(8, 0));
  EXPECT_EQ(found.endTimeToday, timeOf(5, 0));
  found = findEndAndNextStart(modelWith(timeOf(3, 0), kMonday, {{}, {"23:59:59"}}), timeOf(8, 0));
  EXPECT_EQ(found.endTimeToday, kNoTimeFound);
  EXPECT_TRUE(found.endFound);
}

TEST(FindEndAndNextStart, EarliestOfStep_WhateverSlotOrder) {
  const auto model = modelWith(timeOf(3, 0), kMonday, {{}, {"20:00", "", "17:00:30", "18:00", "17:00:45"}});
  EXPECT_EQ(findEndAndNextStart(model, timeOf(8, 0)).endTimeToday, timeOf(17, 0, 30));
}

TEST(FindEndAndNextStart, TextsNotTimes_PassedOver) {
  auto found = findEndAndNextStart(
      modelWith(timeOf(3, 0), kMonday, {{"8;00", "朝"}, {"", "abc", "25:00", "17:60", "-1:00", "19:00"}}),
      timeOf(8, 0));
  EXPECT_EQ(found.endTimeToday, timeOf(19, 0));
  EXPECT_FALSE(found.nextStartFound);
  found = findEndAndNextStart(modelWith(timeOf(3, 0), kMonday, {{"x"}, {"abc"}}), timeOf(8, 0));
  EXPECT_FALSE(found.endFound);
  EXPECT_EQ(found.endTimeToday, kNoTimeFound);
}

TEST(FindEndAndNextStart, StartsAndEnds_SearchedSeparately) {
  const auto onlyStarts = findEndAndNextStart(modelWith(timeOf(3, 0), kMonday, {{"20:00"}, {}}), timeOf(8, 0));
  EXPECT_FALSE(onlyStarts.endFound);
  EXPECT_EQ(onlyStarts.nextStartTime, timeOf(20, 0));
  const auto onlyEnds = findEndAndNextStart(modelWith(timeOf(3, 0), kMonday, {{}, {"20:00"}}), timeOf(8, 0));
  EXPECT_EQ(onlyEnds.endTimeToday, timeOf(20, 0));
  EXPECT_FALSE(onlyEnds.nextStartFound);
}

// Loads the file at the moment and searches from it, as start-up does.
EndAndNextStart loadAndFind(const SettingsBuilder& file, const char* at) {
  ScheduleModel model;
  if (const auto error = readScheduleModel(file.snapshot(), localAt(at), model))
    throw std::runtime_error(error->message);
  return findEndAndNextStart(model, timeOfDayOf(localAt(at)));
}

TEST(FindEndAndNextStart, AbsenceDay_TimesOfTheCategoryThatWins) {
  const auto file = SettingsBuilder()
                        .dayStart("180")
                        .endTime(kTuesday, 0, "17:00")
                        .endTime(kSaturday, 0, "16:00")
                        .endTime(kAbsence, 0, "12:00")
                        .absence(1, "2024/5/7")
                        .absence(2, "2024/5/11");
  for (const char* mode : {"0", "1"}) {
    auto copy = file;
    EXPECT_EQ(loadAndFind(copy.priority(mode), "2024-05-07 08:00:00").endTimeToday, timeOf(12, 0)) << mode;
  }
  auto absenceFirst = file;
  EXPECT_EQ(loadAndFind(absenceFirst.priority("0"), "2024-05-11 08:00:00").endTimeToday, timeOf(12, 0));
  auto weekendFirst = file;
  EXPECT_EQ(loadAndFind(weekendFirst.priority("1"), "2024-05-11 08:00:00").endTimeToday, timeOf(16, 0));
}

TEST(FindEndAndNextStart, AtDayStartMoment_ClassifiedAsYesterdaySearchedAsToday) {
  // Monday 3:00:00 with D = 3:00: the current schedule day is still Sunday, so Sunday's end is taken.
  const auto file =
      SettingsBuilder().priority("1").dayStart("180").endTime(kSunday, 0, "17:00").endTime(kMonday, 0, "18:00");
  EXPECT_EQ(loadAndFind(file, "2024-05-06 03:00:00").endTimeToday, timeOf(17, 0));
  EXPECT_EQ(loadAndFind(file, "2024-05-06 03:00:01").endTimeToday, timeOf(18, 0));
}

TEST(CategoryName, EachCategory_NameAsShown) {
  const char* names[] = {"月曜日", "火曜日", "水曜日", "木曜日", "金曜日", "土曜日", "日曜日", "祝日", "不在"};
  for (int c = 0; c < 9; ++c) EXPECT_EQ(categoryName(c), names[c]);
}

}  // namespace
}  // namespace sayolt
