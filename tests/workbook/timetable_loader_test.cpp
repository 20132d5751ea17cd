// The workbook's input read straight from a settings file.
#include "workbook/timetable_loader.h"

#include <gtest/gtest.h>

#include "shared/text_rules.h"
#include "tests/core/core_test_support.h"
#include "tests/workbook/workbook_test_support.h"
#include "workbook/schedule_workbook.h"
#include "workbook/timetable_sheets.h"
#include "workbook/workbook_error.h"
#include "workbook/workbook_layout.h"

namespace sayolt::workbook {
namespace {

using std::chrono::day;
using std::chrono::month;
using std::chrono::year;

const std::chrono::year_month_day kToday{year{2027}, month{1}, day{10}};

TEST(TimetableLoader, ReadsTimesRunsNamesAndDayStart) {
  const auto ini = sayolt::test::SettingsBuilder()
                       .startTime(3, 7, "8:30")
                       .endTime(8, 0, "17:00")
                       .timedProgram(19, "集計", "C:\\集計.exe")
                       .timedRun(5, 29, "12:00", "19")
                       .timedRun(5, 0, "13:00", "x")
                       .dayStart("300")
                       .snapshot();
  const TimetableInput in = loadTimetableInput(ini, kToday);
  EXPECT_EQ(in.startTimes[3][7], "8:30");
  EXPECT_EQ(in.endTimes[8][0], "17:00");
  EXPECT_EQ(in.runs[5][29].time, "12:00");
  EXPECT_EQ(in.runs[5][29].program, 19);
  EXPECT_EQ(in.runs[5][0].program, -1);
  EXPECT_EQ(in.programNames[19], "集計");
  EXPECT_EQ(in.dayStart, "5:00");
}

TEST(TimetableLoader, DayStartAsTheEditorShowsIt) {
  const auto dayStart = [](const char* stored) {
    return loadTimetableInput(sayolt::test::SettingsBuilder().dayStart(stored).snapshot(), kToday).dayStart;
  };
  EXPECT_EQ(dayStart(""), "0:00");
  EXPECT_EQ(dayStart("5"), "0:05");
  EXPECT_EQ(dayStart("1439"), "23:59");
  EXPECT_EQ(dayStart("1500"), "25:00");  // no time of day: the workbook uses 0:00
  EXPECT_THROW(dayStart("五時"), WorkbookError);
}

TEST(TimetableLoader, DatesFromTodayOnInListOrderGapsIncluded) {
  const auto ini = sayolt::test::SettingsBuilder()
                       .holiday(1, "2027/1/9")
                       .holiday(2, "2027/1/10")
                       .holiday(4, "2027/02/11")
                       .holiday(5, "いつか")
                       .holiday(6, "8:00")
                       .absence(1, "2028/1/1")
                       .snapshot();
  const TimetableInput in = loadTimetableInput(ini, kToday);
  EXPECT_EQ(in.holidayDates, (std::vector<std::string>{"2027/1/10", "2027/02/11"}));
  EXPECT_EQ(in.absenceDates, std::vector<std::string>{"2028/1/1"});
}

TEST(TimetableLoader, LongListsReachTheDatesSheetWhole) {
  // 200 holidays, one a day from 2026/11/1: 70 past, 130 from today on; absences the other way
  // round behind a gap. Far more than a 1024-byte section buffer holds.
  sayolt::test::SettingsBuilder settings;
  std::vector<double> holidaySerials, absenceSerials;
  std::chrono::sys_days day{year{2026} / 11 / 1};
  for (int n = 1; n <= 200; ++n, day += std::chrono::days{1}) {
    const std::string text = formatDate(std::chrono::year_month_day{day});
    settings.holiday(n, text);
    settings.absence(n < 100 ? n : n + 1, text);
    if (day >= std::chrono::sys_days{kToday}) {
      holidaySerials.push_back(*dateSerial(text));
      absenceSerials.push_back(*dateSerial(text));
    }
  }
  const TimetableInput in = loadTimetableInput(settings.snapshot(), kToday);
  ASSERT_EQ(in.holidayDates.size(), 130u);
  ASSERT_EQ(in.absenceDates.size(), 130u);

  const WorkbookStream wb = test::streamOf(buildWorkbookBytes(in, std::nullopt));
  const Sheet& dates = test::sheet(wb, kDatesSheet);
  for (std::uint16_t col = 0; col < 2; ++col) {
    std::vector<double> listed;
    for (const auto& [key, cell] : dates.cells)
      if (keyCol(key) == col && keyRow(key) >= 1 && cell.kind == Cell::Kind::Number) listed.push_back(cell.number);
    EXPECT_EQ(listed, col == 0 ? holidaySerials : absenceSerials);
  }
}

}  // namespace
}  // namespace sayolt::workbook
