#pragma once
// 作成 (Command7) and 閲覧 (Command8) of the main page: the schedule workbook
// "Sayolt予定表.xls" in the editor's folder.
#include "editor/model/editor_context.h"
#include "editor/ui/main_page_window.h"
#include "platform/workbook_viewer.h"

namespace sayolt::editor::ui {

// The viewer must outlive the page.
void connectWorkbookButtons(MainPageWindow& page, EditorContext& context, WorkbookViewer& viewer);

}  // namespace sayolt::editor::ui
