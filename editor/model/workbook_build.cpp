#include "editor/model/workbook_build.h"

#include "editor/model/settings_messages.h"
#include "shared/utf8_path.h"
#include "workbook/schedule_workbook.h"
#include "workbook/timetable_loader.h"
#include "workbook/workbook_actions.h"
#include "workbook/workbook_error.h"

namespace sayolt::editor {

std::filesystem::path workbookPath(const EditorContext& context) {
  return context.folder / pathFromUtf8(workbook::kWorkbookFileName);
}

std::string buildWorkbook(EditorContext& context, const std::string& shownDayStart, WorkbookViewer& viewer) {
  workbook::TimetableInput input;
  try {
    input = workbook::loadTimetableInput(context.settings.snapshot(), dateOf(context.services.clock.now()));
  } catch (const IniError& error) {
    return settingsErrorMessage(error) + "\n予定表は作成しませんでした。";
  } catch (const workbook::WorkbookError& error) {
    return error.what();
  }
  input.dayStart = shownDayStart;
  const workbook::BuildOutcome outcome = workbook::buildScheduleWorkbook(workbookPath(context), input, viewer);
  return outcome.built ? std::string() : outcome.message;
}

std::string viewWorkbook(EditorContext& context, WorkbookViewer& viewer) {
  return workbook::openScheduleWorkbook(workbookPath(context), viewer);
}

}  // namespace sayolt::editor
