#include "tools/plan/plan_timetable.h"

#include <filesystem>
#include <ostream>
#include <system_error>

#include "platform/system_clock.h"
#include "shared/ini_file.h"
#include "workbook/timetable_loader.h"
#include "workbook/workbook_error.h"

namespace sayolt::plan {

namespace {

std::filesystem::path utf8Path(const std::string& text) { return std::u8string(text.begin(), text.end()); }

}  // namespace

std::optional<workbook::TimetableInput> loadTimetableForPlan(const std::string& file, std::ostream& err) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(utf8Path(file), error)) {
    err << "設定ファイルがありません: " << file << "\n";
    return std::nullopt;
  }
  try {
    const IniSnapshot ini = IniSnapshot::load(utf8Path(file));
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
