#pragma once
// "Sayolt予定表.xls": built new, or rebuilt over the existing file so that everything a user
// changed outside the data areas stays.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "workbook/timetable.h"

namespace sayolt::workbook {

inline constexpr const char* kWorkbookFileName = "Sayolt予定表.xls";

// The workbook's bytes: the existing file's content rebuilt, or a new workbook when there is
// none. Throws WorkbookError when the existing content cannot be taken apart.
std::string buildWorkbookBytes(const TimetableInput& input, std::optional<std::string_view> existing);

// Writes the workbook file, replacing an existing one atomically. Throws WorkbookError with
// a message for the user; a file that cannot be rebuilt is left exactly as it was.
void writeScheduleWorkbook(const std::filesystem::path& file, const TimetableInput& input);

// Makes the file open on the plan sheet with A2 selected, whichever view it was saved with; the
// cells stay as they are. Throws WorkbookError when the file is read-only or cannot be taken apart.
void showPlanSheetAtA2(const std::filesystem::path& file);

}  // namespace sayolt::workbook
