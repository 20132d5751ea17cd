#include "tools/plan/plan_timetable.h"

#include <ostream>

#include "platform/system_clock.h"
#include "shared/ini_file.h"
#include "shared/utf8_path.h"
#include "tools/plan/settings_file_arg.h"
#include "workbook/timetable_loader.h"
#include "workbook/workbook_error.h"

namespace sayolt::plan {

std::optional<workbook::TimetableInput> loadTimetableForPlan(const std::string& file, std::ostream& err) {
  if (!settingsFileExists(file, err)) return std::nullopt;
  try {
    const IniSnapshot ini = IniSnapshot::load(pathFromUtf8(file));
    const auto today = dateOf(createSystemClock()->now());
    return workbook::loadTimetableInput(ini, today);
  } catch (const IniError& e) {
    err << e.what() << "\n";
  } catch (const workbook::WorkbookError& e) {
    err << e.what() << "\n";
  }
  return std::nullopt;
}

void reportSkippedTimes(const workbook::Timetable& table, std::ostream& err) {
  for (const auto& skipped : table.skipped)
    err << "時刻として読めないため除きました: " << workbook::categoryName(skipped.category) << " " << skipped.text
        << "\n";
}

}  // namespace sayolt::plan
