#pragma once
// What the editor's 作成 and 閲覧 do with the workbook file, returning the text to show.
#include <filesystem>
#include <string>

#include "platform/workbook_viewer.h"
#include "workbook/timetable.h"

namespace sayolt::workbook {

inline constexpr const char* kCloseFirstMessage = "ファイルを閉じてから再度作成ボタンを押してください";
inline constexpr const char* kNoFileMessage = "ファイルがありません";
inline constexpr const char* kShowingMessage = "表示中です";
inline constexpr const char* kNoViewerMessage = "予定表を表示できるプログラムが見つかりません";

struct BuildOutcome {
  bool built = false;
  std::string message;  // for the user when not built
};

// Builds or rebuilds the file unless another program has it open.
BuildOutcome buildScheduleWorkbook(const std::filesystem::path& file, const TimetableInput& input,
                                   WorkbookViewer& viewer);

// Shows the file in the spreadsheet program. "" when it is shown, else the text for the user.
std::string openScheduleWorkbook(const std::filesystem::path& file, WorkbookViewer& viewer);

}  // namespace sayolt::workbook
