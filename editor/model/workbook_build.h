#pragma once
// 作成 and 閲覧 of the main page without widgets: the schedule workbook "Sayolt予定表.xls" in the
// editor's folder, built from the settings file as last saved.
#include <filesystem>
#include <string>

#include "editor/model/editor_context.h"
#include "platform/workbook_viewer.h"

namespace sayolt::editor {

std::filesystem::path workbookPath(const EditorContext& context);

// After the main page was checked and saved: reads the settings file, with the day start as the
// page shows it, and builds the workbook. "" when it was built, else the text for the user.
std::string buildWorkbook(EditorContext& context, const std::string& shownDayStart, WorkbookViewer& viewer);
// Shows the workbook. "" when it is shown, else the text for the user.
std::string viewWorkbook(EditorContext& context, WorkbookViewer& viewer);

}  // namespace sayolt::editor
