#pragma once
#include <string>
#include <vector>

#include "scheduler/core/schedule_model.h"

namespace sayolt {

// The lines of today's schedule window for dayCategories[dayIndex] (1 = 本日, 2 = 翌日): starts,
// ends and time-specified programs in the order they happen within the schedule day.
std::vector<std::string> buildScheduleList(const ScheduleModel& model, int dayIndex);

}  // namespace sayolt
