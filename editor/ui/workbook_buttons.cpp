#include "editor/ui/workbook_buttons.h"

#include "editor/model/workbook_build.h"

namespace sayolt::editor::ui {

namespace {

constexpr const char* kBuiltText = "作成終了";

void build(MainPageWindow& page, EditorContext& context, WorkbookViewer& viewer) {
  if (!page.checkAndSave()) return;
  // The page has just been saved: the file holds what pages 1 to 3 show, and the day start is
  // the box's own text, as typed.
  page.setViewEnabled(false);
  const std::string message = buildWorkbook(context, page.values().dayStart, viewer);
  page.setViewEnabled(true);
  if (!message.empty()) {
    context.services.dialogs.messageOk(kEditorTitle, message);
    return;
  }
  page.setStatusText(QString::fromUtf8(kBuiltText));
}

void view(MainPageWindow& page, EditorContext& context, WorkbookViewer& viewer) {
  const std::string message = viewWorkbook(context, viewer);
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
