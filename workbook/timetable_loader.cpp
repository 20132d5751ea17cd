#include "workbook/timetable_loader.h"

#include "shared/date_list.h"
#include "shared/day_start.h"
#include "shared/settings_keys.h"
#include "shared/text_rules.h"
#include "workbook/workbook_error.h"

namespace sayolt::workbook {

namespace {

// As the editor shows it; a value outside a day gives a text that is no time, so 0:00 is used.
std::string dayStartOf(const std::string& stored) {
  auto text = dayStartText(stored);
  if (!text) throw WorkbookError("一日の区切りの時刻が数値ではありません: " + stored);
  return std::move(*text);
}

}  // namespace

TimetableInput loadTimetableInput(const IniSnapshot& ini, std::chrono::year_month_day today) {
  TimetableInput input;
  for (int c = 0; c < kCategories; ++c) {
    for (int k = 0; k < kSlots; ++k) {
      input.startTimes[c][k] = ini.get(keys::kStartEndSection, keys::startTimeKey(c, k));
      input.endTimes[c][k] = ini.get(keys::kStartEndSection, keys::endTimeKey(c, k));
    }
    for (int r = 0; r < kRuns; ++r) {
      auto& run = input.runs[c][r];
      run.time = ini.get(keys::kTimedRunSection, keys::timedRunStartKey(c, r));
      const auto number = toInt16(ini.get(keys::kTimedRunSection, keys::timedRunNumberKey(c, r)));
      run.program = number ? *number : -1;
    }
  }
  for (int n = 0; n < kPrograms; ++n)
    input.programNames[n] = ini.get(keys::kTimedProgramSection, keys::programNameKey(n));
  input.dayStart = dayStartOf(ini.get(keys::kDayStartSection, keys::kDayStartKey));
  input.holidayDates = currentDates(ini, keys::kHolidaySection, today);
  input.absenceDates = currentDates(ini, keys::kAbsenceSection, today);
  return input;
}

}  // namespace sayolt::workbook
