// Loading the settings file into the schedule model: which key fills which field, the defaults of
// missing keys, the two errors a file can hold, and the start tolerance.
#include "scheduler/core/schedule_model.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/core/core_test_support.h"

namespace sayolt {
namespace {

using namespace std::chrono;
using test::localAt;
using test::SettingsBuilder;
using test::timeOf;

const LocalTime kMondayMorning = localAt("2024-05-06 08:00:00");

const char* const kArea7Message =
    "土日祝日と不在の優先および1日の開始時刻の読取中にエラーが発生しました。設定(3面)を見直してください。";
const char* const kArea8Message =
    "不在設定日および祝日設定日の読取中にエラーが発生しました。設定(1面下)を見直してください。";

std::string n(int value) { return std::to_string(value); }

// Distinct values everywhere, so that a field read from a neighbour's key shows.
SettingsBuilder everyKeyDistinct() {
  SettingsBuilder file;
  for (int c = 0; c < keys::kCategories; ++c)
    for (int s = 0; s < keys::kSlots; ++s)
      file.startTime(c, s, "S" + n(c) + "." + n(s)).endTime(c, s, "E" + n(c) + "." + n(s));
  for (int i = 0; i < keys::kAutoPrograms; ++i) {
    file.set(keys::kAutoProgramSection, keys::programNameKey(i), "自動" + n(i));
    file.set(keys::kAutoProgramSection, keys::programPathKey(i), "C:\\自動\\" + n(i) + ".exe");
    file.set(keys::kAutoProgramSection, keys::programDelayKey(i), n(i + 100));
  }
  for (int i = 0; i < keys::kManualPrograms; ++i) {
    file.set(keys::kManualProgramSection, keys::programNameKey(i), "手動" + n(i));
    file.set(keys::kManualProgramSection, keys::programPathKey(i), "D:\\手動\\" + n(i) + ".xls");
    file.set(keys::kManualProgramSection, keys::programDelayKey(i), n(i + 200));
  }
  for (int i = 0; i < keys::kAutoPrograms; ++i)
    for (int c = 0; c < keys::kCategories; ++c)
      for (int s = 0; s < keys::kSlots; ++s) {
        const int pattern = (i * 72 + c * 8 + s) % 3;  // 0: "1", 1: written empty, 2: missing
        if (pattern == 0) file.set(keys::kAutoPlanSection, keys::autoPlanKey(i, c, s), "1");
        if (pattern == 1) file.set(keys::kAutoPlanSection, keys::autoPlanKey(i, c, s), "");
      }
  for (int p = 0; p < keys::kTimedPrograms; ++p)
    file.timedProgram(p, "指定" + n(p), p % 4 == 0 ? "SED" : "E:\\p" + n(p));
  for (int c = 0; c < keys::kCategories; ++c)
    for (int r = 0; r < keys::kTimedRuns; ++r) file.timedRun(c, r, "R" + n(c) + "." + n(r), n((c + r) % 20));
  return file;
}

TEST(ScheduleModelRead, EveryTable_FilledFromItsOwnKeys) {
  ScheduleModel model;
  ASSERT_FALSE(readScheduleModel(everyKeyDistinct().snapshot(), kMondayMorning, model));

  for (int c = 0; c < keys::kCategories; ++c)
    for (int s = 0; s < keys::kSlots; ++s) {
      EXPECT_EQ(model.startTime[c][s], "S" + n(c) + "." + n(s));
      EXPECT_EQ(model.endTime[c][s], "E" + n(c) + "." + n(s));
    }
  for (int i = 0; i < keys::kAutoPrograms; ++i) {
    EXPECT_EQ(model.autoPrograms[i].name, "自動" + n(i));
    EXPECT_EQ(model.autoPrograms[i].path, "C:\\自動\\" + n(i) + ".exe");
    EXPECT_EQ(model.autoPrograms[i].delay, n(i + 100));
  }
  for (int i = 0; i < keys::kManualPrograms; ++i) {
    EXPECT_EQ(model.manualPrograms[i].name, "手動" + n(i));
    EXPECT_EQ(model.manualPrograms[i].path, "D:\\手動\\" + n(i) + ".xls");
    EXPECT_EQ(model.manualPrograms[i].delay, n(i + 200));
  }
  for (int i = 0; i < keys::kAutoPrograms; ++i)
    for (int c = 0; c < keys::kCategories; ++c)
      for (int s = 0; s < keys::kSlots; ++s)
        EXPECT_EQ(model.autoRunPlan[i][c][s], (i * 72 + c * 8 + s) % 3 == 0 ? "1" : "0") << i << "-" << c << "-" << s;
  for (int p = 0; p < keys::kTimedPrograms; ++p) {
    EXPECT_EQ(model.timedPrograms[p].name, "指定" + n(p));
    EXPECT_EQ(model.timedPrograms[p].path, p % 4 == 0 ? "SED" : "E:\\p" + n(p));
  }
  for (int c = 0; c < keys::kCategories; ++c)
    for (int r = 0; r < keys::kTimedRuns; ++r) {
      EXPECT_EQ(model.timedRuns[c][r].startTime, "R" + n(c) + "." + n(r));
      EXPECT_EQ(model.timedRuns[c][r].programNumber, n((c + r) % 20));
    }
}

TEST(ScheduleModelRead, EmptyFile_ReloadClearsEveryEarlierValue) {
  ScheduleModel model;
  ASSERT_FALSE(readScheduleModel(everyKeyDistinct().dayStart("180").snapshot(), kMondayMorning, model));
  ASSERT_FALSE(readScheduleModel(IniSnapshot::fromBytes(""), kMondayMorning, model));

  for (int c = 0; c < keys::kCategories; ++c) {
    for (int s = 0; s < keys::kSlots; ++s) {
      EXPECT_EQ(model.startTime[c][s], "");
      EXPECT_EQ(model.endTime[c][s], "");
      for (int i = 0; i < keys::kAutoPrograms; ++i) EXPECT_EQ(model.autoRunPlan[i][c][s], "0");
    }
    for (int r = 0; r < keys::kTimedRuns; ++r) {
      EXPECT_EQ(model.timedRuns[c][r].startTime, "");
      EXPECT_EQ(model.timedRuns[c][r].programNumber, "");
    }
  }
  for (const auto& program : model.autoPrograms) EXPECT_EQ(program.name + program.path + program.delay, "");
  for (const auto& program : model.manualPrograms) EXPECT_EQ(program.name + program.path + program.delay, "");
  for (const auto& program : model.timedPrograms) EXPECT_EQ(program.name + program.path, "");
  EXPECT_EQ(model.dayStartMinutes, 0);
  EXPECT_EQ(model.dayStartTime, timeOf(0, 0));
}

TEST(ScheduleModelRead, PriorityMissingOrEmpty_KeepsEarlierValue) {
  ScheduleModel model;
  ASSERT_FALSE(readScheduleModel(SettingsBuilder().priority("1").snapshot(), kMondayMorning, model));
  EXPECT_EQ(model.priorityMode, "1");
  ASSERT_FALSE(readScheduleModel(SettingsBuilder().snapshot(), kMondayMorning, model));
  EXPECT_EQ(model.priorityMode, "1");
  ASSERT_FALSE(readScheduleModel(SettingsBuilder().priority("").snapshot(), kMondayMorning, model));
  EXPECT_EQ(model.priorityMode, "1");
  ASSERT_FALSE(readScheduleModel(SettingsBuilder().priority("0").snapshot(), kMondayMorning, model));
  EXPECT_EQ(model.priorityMode, "0");
}

TEST(ScheduleModelRead, DayStart_MinutesBecomeTimeOfDay) {
  const struct {
    const char* text;
    int minutes;
    TimeOfDay time;
  } cases[] = {{"180", 180, timeOf(3, 0)},
               {"90", 90, timeOf(1, 30)},
               {"0", 0, timeOf(0, 0)},
               {"1439", 1439, timeOf(23, 59)},
               {"", 0, timeOf(0, 0)}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    ScheduleModel model;
    model.dayStartMinutes = 77;
    ASSERT_FALSE(readScheduleModel(SettingsBuilder().dayStart(c.text).snapshot(), kMondayMorning, model));
    EXPECT_EQ(model.dayStartMinutes, c.minutes);
    EXPECT_EQ(model.dayStartTime, c.time);
  }
}

TEST(ScheduleModelRead, DayStartNotAMinuteOfTheDay_Area7AndNothingAfterIt) {
  for (const char* text : {"abc", "70000", "32768", "-1", "1440", "3:00", "１８０"}) {
    SCOPED_TRACE(text);
    ScheduleModel model;
    model.dayCategories = {kThursday, kFriday, kSaturday};
    // The bad date of area 8 must not be the one reported.
    const auto file = SettingsBuilder().startTime(kMonday, 0, "8:00").dayStart(text).absence(1, "2024/13/1");
    const auto error = readScheduleModel(file.snapshot(), kMondayMorning, model);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->area, 7);
    EXPECT_EQ(error->message, kArea7Message);
    EXPECT_EQ(model.startTime[kMonday][0], "8:00");
    EXPECT_EQ(model.threeDays[1], year_month_day{});
    EXPECT_EQ(model.dayCategories, (std::array<int, 3>{kThursday, kFriday, kSaturday}));
  }
}

TEST(ScheduleModelRead, DateNotADate_Area8InEitherListAndNoClassification) {
  const auto thirteenthMonth =
      SettingsBuilder().priority("1").dayStart("180").absence(1, "2024/5/1").absence(2, "2024/13/1");
  const auto notADate = SettingsBuilder().priority("1").dayStart("180").holiday(1, "祝日");
  const auto dayOutOfMonth = SettingsBuilder().priority("1").dayStart("180").holiday(1, "2023/2/29");
  for (const auto* file : {&thirteenthMonth, &notADate, &dayOutOfMonth}) {
    ScheduleModel model;
    model.dayCategories = {kThursday, kFriday, kSaturday};
    const auto error = readScheduleModel(file->snapshot(), kMondayMorning, model);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->area, 8);
    EXPECT_EQ(error->message, kArea8Message);
    EXPECT_EQ(model.dayStartMinutes, 180);
    EXPECT_EQ(model.dayCategories, (std::array<int, 3>{kThursday, kFriday, kSaturday}));
  }
}

TEST(ScheduleModelRead, DateLists_EveryEntryCounts_BehindGapsEmptyEntriesAndLongLists) {
  // Today (a Monday) is listed only behind a gap, an empty entry, or 199 other dates: the editor
  // shows it and the workbook prints it, so the scheduler honours it too.
  SettingsBuilder longList;
  longList.priority("1");
  for (int n = 1; n < 200; ++n)
    longList.holiday(n, "2023/" + std::to_string(1 + n % 12) + "/" + std::to_string(1 + n % 28));
  longList.holiday(200, "2024/5/6");
  const auto behindGap = SettingsBuilder().priority("1").holiday(1, "2024/1/1").holiday(3, "2024/5/6");
  const auto behindEmpty = SettingsBuilder().priority("0").absence(1, "2024/1/2").absence(2, "").absence(3, "2024/5/6");
  for (const SettingsBuilder* file : std::array<const SettingsBuilder*, 2>{&longList, &behindGap}) {
    ScheduleModel model;
    ASSERT_FALSE(readScheduleModel(file->snapshot(), kMondayMorning, model));
    EXPECT_EQ(model.dayCategories[1], kHoliday);
  }
  ScheduleModel model;
  ASSERT_FALSE(readScheduleModel(behindEmpty.snapshot(), kMondayMorning, model));
  EXPECT_EQ(model.dayCategories[1], kAbsence);
  // A value that is no date is an error wherever it stands.
  const auto badBehindEmpty = SettingsBuilder().absence(1, "2024/1/2").absence(2, "").absence(4, "x");
  const auto error = readScheduleModel(badBehindEmpty.snapshot(), kMondayMorning, model);
  ASSERT_TRUE(error);
  EXPECT_EQ(error->area, 8);
}

TEST(ScheduleModelRead, ThreeDays_YesterdayTodayTomorrowAcrossBoundaries) {
  const struct {
    const char* at;
    year_month_day days[3];
  } cases[] = {
      {"2024-01-01 00:30:00", {2023y / 12 / 31, 2024y / 1 / 1, 2024y / 1 / 2}},
      {"2024-02-28 23:59:59", {2024y / 2 / 27, 2024y / 2 / 28, 2024y / 2 / 29}},
      {"2024-03-01 12:00:00", {2024y / 2 / 29, 2024y / 3 / 1, 2024y / 3 / 2}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.at);
    ScheduleModel model;
    ASSERT_FALSE(readScheduleModel(SettingsBuilder().snapshot(), localAt(c.at), model));
    EXPECT_EQ(model.threeDays[0], c.days[0]);
    EXPECT_EQ(model.threeDays[1], c.days[1]);
    EXPECT_EQ(model.threeDays[2], c.days[2]);
  }
}

TEST(StartTolerance, WholePositiveSeconds_Accepted) {
  for (const auto& [text, seconds] :
       std::initializer_list<std::pair<const char*, int>>{{"1", 1}, {"120", 120}, {"32767", 32767}}) {
    const auto tolerance = readStartTolerance(SettingsBuilder().startTolerance(text).snapshot());
    ASSERT_TRUE(tolerance) << text;
    EXPECT_EQ(tolerance->count(), seconds);
  }
}

TEST(StartTolerance, MissingZeroNegativeFractionOrTooLarge_Unusable) {
  EXPECT_FALSE(readStartTolerance(SettingsBuilder().snapshot()));
  for (const char* text : {"", "0", "-5", "abc", "1.5", "2.0", "32768", "70000", "1e2"})
    EXPECT_FALSE(readStartTolerance(SettingsBuilder().startTolerance(text).snapshot())) << text;
}

TEST(SettingsAreaMessage, EachArea_NamesItsOwnPlace) {
  EXPECT_EQ(settingsAreaMessage(1), "起動終了時刻の読取中にエラーが発生しました。設定(1面左)を見直してください。");
  EXPECT_EQ(settingsAreaMessage(7), kArea7Message);
  EXPECT_EQ(settingsAreaMessage(8), kArea8Message);
  for (int area = 1; area <= 8; ++area)
    for (int other = area + 1; other <= 8; ++other) EXPECT_NE(settingsAreaMessage(area), settingsAreaMessage(other));
}

}  // namespace
}  // namespace sayolt
