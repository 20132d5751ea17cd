#pragma once
// Which category the schedule days have, and when today ends and the PC next starts.
#include <array>
#include <chrono>
#include <string>

#include "platform/time_types.h"
#include "scheduler/core/schedule_model.h"

namespace sayolt {

// Marks of one day: 1 = plain, 2 = registered holiday, 3 = registered absence.
inline constexpr int kPlainMark = 1;
inline constexpr int kHolidayMark = 2;
inline constexpr int kAbsenceMark = 3;

// The category of one date with its merged mark under the priority mode ("0" or "1").
int categoryOf(std::chrono::year_month_day date, int mark, const std::string& priorityMode);

// Merges the holiday and absence marks of the three days and assigns dayCategories for the local
// time of day `now`. Leaves the categories unchanged when the priority mode is neither "0" nor "1".
void classifyDays(ScheduleModel& model, const std::array<bool, 3>& holiday, const std::array<bool, 3>& absence,
                  TimeOfDay now);

// 23:59:59 stands for "none found".
inline constexpr TimeOfDay kNoTimeFound{23 * 3600 + 59 * 60 + 59};

struct EndAndNextStart {
  TimeOfDay endTimeToday = kNoTimeFound;
  TimeOfDay nextStartTime = kNoTimeFound;
  bool endFound = false;
  bool nextStartFound = false;
};

// The earliest end still to come on the current schedule day and the next start after now.
EndAndNextStart findEndAndNextStart(const ScheduleModel& model, TimeOfDay now);

inline constexpr const char* kNoEndMessage = "終了時刻を設定し直してください。";
inline constexpr const char* kNoNextStartMessage = "次回起動時刻を設定し直してください。";

// The category names as the programs show them.
const std::string& categoryName(int category);

}  // namespace sayolt
