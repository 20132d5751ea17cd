// "sayolt-plan check FILE --conflicts [--json]": the entries the workbook would mark red, so a
// timetable's problems show before it is deployed. Exits 0 whether or not there are any.
#include <algorithm>
#include <ostream>

#include "shared/text_rules.h"
#include "tools/plan/commands.h"
#include "tools/plan/json.h"
#include "tools/plan/plan_timetable.h"
#include "workbook/conflicts.h"

namespace sayolt::plan {

int conflictsCommand(const Args& args, std::ostream& out, std::ostream& err) {
  std::vector<std::string> files;
  bool json = false;
  for (const auto& arg : args) {
    if (arg == "--json") {
      json = true;
    } else if (arg != "--conflicts") {
      files.push_back(arg);
    }
  }
  if (files.size() != 1 || files[0].starts_with("--")) {
    err << "使い方: sayolt-plan check FILE --conflicts [--json]\n";
    return 2;
  }
  const auto input = loadTimetableForPlan(files[0], err);
  if (!input) return 1;
  const workbook::Timetable table = workbook::buildTimetable(*input);
  reportSkippedTimes(table, err);
  const auto conflicts = workbook::findConflicts(table);

  if (json) {
    out << "{\"conflicts\":[";
    for (std::size_t i = 0; i < conflicts.size(); ++i) {
      const auto& c = conflicts[i];
      const auto& entry = table.columns[c.category][c.entry];
      out << (i ? "," : "") << "{\"category\":" << c.category
          << ",\"time\":" << jsonString(formatHourMinute(entry.time)) << ",\"label\":" << jsonString(entry.label)
          << ",\"rule\":" << jsonString(workbook::ruleName(c.rule)) << "}";
    }
    out << "]}\n";
    return 0;
  }
  if (conflicts.empty()) out << "矛盾はありません\n";
  for (const auto& c : conflicts) {
    const auto& entry = table.columns[c.category][c.entry];
    out << workbook::categoryName(c.category) << " " << formatHourMinute(entry.time) << " " << entry.label << ": "
        << workbook::ruleDescription(c.rule) << " (" << workbook::ruleName(c.rule) << ")\n";
  }
  return 0;
}

}  // namespace sayolt::plan
