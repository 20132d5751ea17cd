#include "workbook/workbook_actions.h"

#include <system_error>

#include "workbook/schedule_workbook.h"
#include "workbook/workbook_error.h"

namespace sayolt::workbook {

namespace {

bool fileExists(const std::filesystem::path& file) {
  std::error_code error;
  return std::filesystem::exists(file, error);
}

}  // namespace

BuildOutcome buildScheduleWorkbook(const std::filesystem::path& file, const TimetableInput& input,
                                   WorkbookViewer& viewer) {
  if (fileExists(file) && viewer.isInUse(file)) return {false, kCloseFirstMessage};
  try {
    writeScheduleWorkbook(file, input);
  } catch (const WorkbookError& error) {
    return {false, error.what()};
  }
  return {true, {}};
}

std::string openScheduleWorkbook(const std::filesystem::path& file, WorkbookViewer& viewer) {
  if (!fileExists(file)) return kNoFileMessage;
  if (viewer.isInUse(file)) return kShowingMessage;
  try {
    showPlanSheetAtA2(file);
  } catch (const std::exception&) {
    // A file that cannot be rebuilt (read-only, or another program's) is shown as it was saved.
  }
  if (!viewer.show(file)) return kNoViewerMessage;
  return {};
}

}  // namespace sayolt::workbook
