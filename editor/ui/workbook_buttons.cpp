#include "editor/ui/workbook_buttons.h"

#include "workbook/schedule_workbook.h"
#include "workbook/timetable_loader.h"
#include "workbook/workbook_actions.h"
#include "workbook/workbook_error.h"

namespace sayolt::editor::ui {

namespace {

constexpr const char* kBuiltText = "作成終了";

std::filesystem::path workbookPath(const EditorContext& context) {
  const std::string_view name = workbook::kWorkbookFileName;
  return context.folder / std::filesystem::path(std::u8string(name.begin(), name.end()));
}

// The main page has just been saved: the file holds what pages 1 to 3 show. The day start is
// the box's own text, as typed.
std::optional<workbook::TimetableInput> timetableInput(MainPageWindow& page, EditorContext& context) {
  try {
    workbook::TimetableInput input =
        workbook::loadTimetableInput(context.settings.snapshot(), dateOf(context.services.clock.now()));
    input.dayStart = page.text10->text().toStdString();
    return input;
  } catch (const std::exception& error) {
    context.services.dialogs.messageOk(kEditorTitle, error.what());
    return std::nullopt;
  }
}

void build(MainPageWindow& page, EditorContext& context, WorkbookViewer& viewer) {
  if (!page.checkAndSave()) return;
  const auto input = timetableInput(page, context);
  if (!input) return;
  page.command8->setEnabled(false);
  const workbook::BuildOutcome outcome = workbook::buildScheduleWorkbook(workbookPath(context), *input, viewer);
  page.command8->setEnabled(true);
  if (!outcome.built) {
    context.services.dialogs.messageOk(kEditorTitle, outcome.message);
    return;
  }
  page.setStatusText(QString::fromUtf8(kBuiltText));
}

void view(MainPageWindow& page, EditorContext& context, WorkbookViewer& viewer) {
  const std::string message = workbook::openScheduleWorkbook(workbookPath(context), viewer);
  if (!message.empty()) {
    context.services.dialogs.messageOk(kEditorTitle, message);
    return;
  }
  page.setStatusText(QString());
}

}  // namespace

void connectWorkbookButtons(MainPageWindow& page, EditorContext& context, WorkbookViewer& viewer) {
  page.setWorkbookActions([&context, &viewer](MainPageWindow& p) { build(p, context, viewer); },
                          [&context, &viewer](MainPageWindow& p) { view(p, context, viewer); });
}

}  // namespace sayolt::editor::ui
