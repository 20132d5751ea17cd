#include "workbook/timetable.h"

#include <algorithm>

#include "shared/settings_keys.h"
#include "shared/text_rules.h"

namespace sayolt::workbook {

namespace {

constexpr const char* kStartLabel = "起動";
constexpr const char* kEndLabel = "終了";

}  // namespace

const char* categoryName(int category) {
  return category >= 0 && category < kCategories ? keys::kCategoryNames[category] : "";
}

int Timetable::tableEnd() const {
  int end = 3;
  for (int c = 0; c < kCategories; ++c) end = std::max(end, endRow(c));
  return end;
}

Timetable buildTimetable(const TimetableInput& input) {
  Timetable table;
  table.dayStart = parseTimeOfDay(input.dayStart).value_or(TimeOfDay{0});
  for (int c = 0; c < kCategories; ++c) {
    std::vector<Entry> day, night;
    // A run exactly at the day start belongs to the night before; a start or end there to the new day.
    const auto add = [&](const std::string& text, EntryKind kind, std::string label) {
      if (text.empty()) return;
      const auto time = parseTimeOfDay(text);
      if (!time) {
        table.skipped.push_back({c, text});
        return;
      }
      const bool inDay = kind == EntryKind::Run ? *time > table.dayStart : *time >= table.dayStart;
      (inDay ? day : night).push_back({*time, kind, std::move(label)});
    };
    for (int k = 0; k < kSlots; ++k) add(input.startTimes[c][k], EntryKind::Start, kStartLabel);
    for (int k = 0; k < kSlots; ++k) add(input.endTimes[c][k], EntryKind::End, kEndLabel);
    for (const auto& run : input.runs[c]) {
      const bool named = run.program >= 0 && run.program < kPrograms;
      add(run.time, EntryKind::Run, named ? input.programNames[run.program] : std::string());
    }
    const auto byTime = [](const Entry& a, const Entry& b) { return a.time < b.time; };
    std::stable_sort(day.begin(), day.end(), byTime);
    std::stable_sort(night.begin(), night.end(), byTime);
    auto& column = table.columns[c];
    column = std::move(day);
    column.insert(column.end(), std::make_move_iterator(night.begin()), std::make_move_iterator(night.end()));
  }
  return table;
}

}  // namespace sayolt::workbook
