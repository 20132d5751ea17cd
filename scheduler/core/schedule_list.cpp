#include "scheduler/core/schedule_list.h"

#include <algorithm>

#include "shared/text_rules.h"

namespace sayolt {

std::vector<std::string> buildScheduleList(const ScheduleModel& model, int dayIndex) {
  const int c = model.dayCategories[dayIndex == 2 ? 2 : 1];
  struct Entry {
    TimeOfDay at;
    const std::string* text;
    std::string label;
    bool program;
  };
  std::vector<Entry> all;
  const auto add = [&](const std::string& text, std::string label, bool program) {
    if (text.empty()) return;
    if (const auto at = parseTimeOfDay(text)) all.push_back({*at, &text, std::move(label), program});
  };
  for (const std::string& t : model.startTime[c]) add(t, "起動", false);
  for (const std::string& t : model.endTime[c]) add(t, "終了", false);
  for (const TimedRun& run : model.timedRuns[c]) {
    // A row whose number names no program still happens at its time; it shows without a name.
    const auto number = toInt16(run.programNumber);
    const bool known = number && *number >= 0 && *number < keys::kTimedPrograms;
    add(run.startTime, known ? model.timedPrograms[*number].name : std::string(), true);
  }

  // Events after the day start come first, then the small hours up to it; each group in time
  // order, equal times keeping starts, ends, programs.
  const auto byTime = [](const Entry& a, const Entry& b) { return a.at < b.at; };
  const auto second =
      std::stable_partition(all.begin(), all.end(), [&](const Entry& e) { return e.at > model.dayStartTime; });
  std::stable_sort(all.begin(), second, byTime);
  std::stable_sort(second, all.end(), byTime);

  std::vector<std::string> lines;
  lines.reserve(all.size());
  for (const Entry& e : all) {
    lines.push_back((e.text->size() == 4 ? "  " : " ") + *e.text + (e.program ? "   " : "  ") + e.label);
  }
  return lines;
}

}  // namespace sayolt
