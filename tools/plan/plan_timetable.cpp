#include "tools/plan/plan_timetable.h"

#include <filesystem>
#include <ostream>
#include <system_error>

#include "platform/system_clock.h"
#include "shared/ini_file.h"
#include "shared/utf8_path.h"
#include "workbook/timetable_loader.h"
#include "workbook/workbook_error.h"

namespace sayolt::plan {

std::optional<workbook::TimetableInput> loadTimetableForPlan(const std::string& file, std::ostream& err) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(pathFromUtf8(file), error)) {
    err << "設定ファイルがありません: " << file << "\n";
    return std::nullopt;
  }
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
