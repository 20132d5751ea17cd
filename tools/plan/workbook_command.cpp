// "sayolt-plan workbook FILE OUT.xls": the timetable workbook built from a settings file, as the
// editor's 作成 builds it, without the editor.
#include <ostream>

#include "shared/utf8_path.h"
#include "tools/plan/commands.h"
#include "tools/plan/plan_timetable.h"
#include "workbook/schedule_workbook.h"
#include "workbook/workbook_error.h"

namespace sayolt::plan {

int workbookCommand(const Args& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 2) {
    err << "使い方: sayolt-plan workbook FILE OUT.xls\n";
    return 2;
  }
  const auto input = loadTimetableForPlan(args[0], err);
  if (!input) return 1;
  reportSkippedTimes(workbook::buildTimetable(*input), err);
  try {
    workbook::writeScheduleWorkbook(pathFromUtf8(args[1]), *input);
  } catch (const workbook::WorkbookError& e) {
    err << e.what() << "\n";
    return 1;
  }
  out << args[1] << "\n";
  return 0;
}

}  // namespace sayolt::plan
