#include "scheduler/core/day_classification.h"

#include <functional>

#include "shared/settings_keys.h"
#include "shared/text_rules.h"

namespace sayolt {

namespace {

using namespace std::chrono;

// Monday 0 .. Sunday 6.
int weekdayIndex(year_month_day date) { return static_cast<int>((weekday{sys_days{date}}.iso_encoding() + 6) % 7); }

}  // namespace

const std::string& categoryName(int category) {
  static const std::array<std::string, keys::kCategories> names = [] {
    std::array<std::string, keys::kCategories> texts;
    for (std::size_t c = 0; c < texts.size(); ++c) texts[c] = keys::kCategoryNames[c];
    return texts;
  }();
  return names.at(static_cast<std::size_t>(category));
}

int categoryOf(year_month_day date, int mark, const std::string& priorityMode) {
  const int day = weekdayIndex(date);
  const bool workday = day <= kFriday;
  if (priorityMode == "0") {
    if (mark == kAbsenceMark) return kAbsence;
    if (workday && mark == kHolidayMark) return kHoliday;
    return day;
  }
  if (workday && mark == kHolidayMark) return kHoliday;
  if (day == kSunday || day == kSaturday) return day;
  if (mark == kAbsenceMark) return kAbsence;
  return day;
}

void classifyDays(ScheduleModel& model, const std::array<bool, 3>& holiday, const std::array<bool, 3>& absence,
                  TimeOfDay now) {
  const std::string& mode = model.priorityMode;
  if (mode != "0" && mode != "1") return;
  std::array<int, 3> mark{};
  for (int k = 0; k < 3; ++k) {
    if (mode == "0")
      mark[k] = absence[k] ? kAbsenceMark : (holiday[k] ? kHolidayMark : kPlainMark);
    else
      mark[k] = holiday[k] ? kHolidayMark : (absence[k] ? kAbsenceMark : kPlainMark);
  }
  // Until the day start the small hours still belong to yesterday's schedule day.
  if (now > model.dayStartTime) {
    for (int k = 0; k < 3; ++k) model.dayCategories[k] = categoryOf(model.threeDays[k], mark[k], mode);
  } else {
    for (int k = 1; k < 3; ++k) model.dayCategories[k] = categoryOf(model.threeDays[k - 1], mark[k - 1], mode);
  }
}

EndAndNextStart findEndAndNextStart(const ScheduleModel& model, TimeOfDay now) {
  const TimeOfDay d = model.dayStartTime;
  const int c1 = model.dayCategories[1];
  const int c2 = model.dayCategories[2];
  using Condition = std::function<bool(TimeOfDay)>;
  struct Step {
    int category;
    Condition accepts;
  };

  // Each step takes the earliest qualifying time; a later step runs only while nothing better
  // than the sentinel was found. Texts that are not times are passed over.
  const auto search = [](const Table2<std::string, keys::kCategories, keys::kSlots>& times,
                         const std::array<Step, 3>& steps, bool& found) {
    TimeOfDay result = kNoTimeFound;
    for (const Step& step : steps) {
      if (result != kNoTimeFound) break;
      for (const std::string& text : times[step.category]) {
        if (text.empty()) continue;
        const auto x = parseTimeOfDay(text);
        if (!x || !step.accepts(*x) || *x > result) continue;
        result = *x;
        found = true;
      }
    }
    return result;
  };

  std::array<Step, 3> steps;
  if (now >= d) {
    steps = {Step{c1, [&](TimeOfDay x) { return x > d && x > now; }}, Step{c1, [&](TimeOfDay x) { return x <= d; }},
             Step{c2, [&](TimeOfDay x) { return x > d && x < now; }}};
  } else {
    steps = {Step{c1, [&](TimeOfDay x) { return x <= d && x > now; }}, Step{c2, [&](TimeOfDay x) { return x > d; }},
             Step{c2, [&](TimeOfDay x) { return x <= d && x < now; }}};
  }
  EndAndNextStart result;
  result.endTimeToday = search(model.endTime, steps, result.endFound);
  result.nextStartTime = search(model.startTime, steps, result.nextStartFound);
  return result;
}

}  // namespace sayolt
