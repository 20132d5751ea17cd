#include "workbook/timetable_loader.h"

#include <cstdio>

#include "shared/date_list.h"
#include "shared/settings_keys.h"
#include "shared/text_rules.h"
#include "workbook/workbook_error.h"

namespace sayolt::workbook {

namespace {

std::string dayStartText(const std::string& stored) {
  if (stored.empty()) return "0:00";
  const auto minutes = toInt16(stored);
  if (!minutes) throw WorkbookError("一日の区切りの時刻が数値ではありません: " + stored);
  // As the editor shows it; values outside a day give a text that is no time, so 0:00 is used.
  char text[16];
  std::snprintf(text, sizeof text, "%d:%02d", *minutes / 60, *minutes % 60);
  return text;
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
  input.dayStart = dayStartText(ini.get(keys::kDayStartSection, keys::kDayStartKey));
  input.holidayDates = currentDates(ini, keys::kHolidaySection, today);
  input.absenceDates = currentDates(ini, keys::kAbsenceSection, today);
  return input;
}

}  // namespace sayolt::workbook
