#pragma once
// The timetable of a settings file, read for the workbook and conflict commands.
#include <iosfwd>
#include <optional>
#include <string>

#include "workbook/timetable.h"

namespace sayolt::plan {

// nullopt after a message on err when the file is missing or cannot be read.
std::optional<workbook::TimetableInput> loadTimetableForPlan(const std::string& file, std::ostream& err);
// Names the time texts that were left out because they are no times.
void reportSkippedTimes(const workbook::Timetable& table, std::ostream& err);

}  // namespace sayolt::plan
