#pragma once
// The workbook's input read from the settings file: what the editor's 作成 (after saving its main
// page) and sayolt-plan build the workbook from.
#include <chrono>

#include "shared/ini_file.h"
#include "workbook/timetable.h"

namespace sayolt::workbook {

// Reads what the editor's pages would show: the day start as "h:mm", and the holiday and
// absence dates that are dates and not before today, read as the scheduler reads them. Throws WorkbookError when the
// day start is not a number.
TimetableInput loadTimetableInput(const IniSnapshot& ini, std::chrono::year_month_day today);

}  // namespace sayolt::workbook
