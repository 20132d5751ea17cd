#pragma once
// Writes the timetable and the date lists into the data areas of the two sheets, the way the
// spreadsheet's own range operations would: contents and borders of the area are replaced,
// every other format of its cells stays.
#include <string>
#include <vector>

#include "workbook/conflicts.h"
#include "workbook/timetable.h"
#include "workbook/workbook_stream.h"

namespace sayolt::workbook {

// Throws WorkbookError when a sheet is missing.
void writeTimetableSheets(WorkbookStream& workbook, const Timetable& table, const std::vector<Conflict>& conflicts,
                          const std::vector<std::string>& holidayDates, const std::vector<std::string>& absenceDates);

// Makes the plan sheet the active one, with column A of the row (counted from 1) selected in the
// pane that shows it. Throws WorkbookError when the sheet is missing.
void showPlanSheet(WorkbookStream& workbook, int row);

// Days since 1899-12-30 (the spreadsheet's date serial) plus the time of day; nullopt when the
// text is not a date.
std::optional<double> dateSerial(const std::string& text);

}  // namespace sayolt::workbook
