#pragma once
// The main page without widgets: what its controls hold, reading it from the settings file,
// its check, its change-only saving, and the run-plan and copy rules.
#include <array>
#include <string>
#include <vector>

#include "editor/model/editor_tables.h"
#include "shared/ini_file.h"

namespace sayolt::editor {

// Option1(0) 土日祝日優先 or Option1(1) 不在優先; neither after a value that is neither "1" nor "0".
enum class Priority { None, WeekendHoliday, Absence };

// The texts and states of the main page's controls.
struct MainPageValues {
  GridTexts times;                                               // Text1
  std::array<ProgramRow, keys::kAutoPrograms> autoPrograms;      // Text3, Text4, Text5
  std::array<ProgramRow, keys::kManualPrograms> manualPrograms;  // Text6, Text7, Text8
  std::array<std::string, 2> ntpServers;                         // Text2
  bool trayIcon = false;                                         // Check1
  Priority priority = Priority::None;                            // Option1
  std::string tolerance;                                         // Text9
  std::string dayStart;                                          // Text10
  bool operator==(const MainPageValues&) const = default;
};

// The loaders fill the values and set every saved copy to what was read. loadMainPage throws
// PageLoadError (page 1) when the day start is not a 16-bit whole number.
void loadMainPage(const IniSnapshot& file, MainPageValues& values, MainPageTables& tables);
void loadNtpAndTray(const IniSnapshot& file, MainPageValues& values);
void loadRunPlan(const IniSnapshot& file, MainPageTables& tables);
// All three in their order.
MainPageValues readMainPage(const IniSnapshot& file, MainPageTables& tables);

// Label18's caption for the day start text.
std::string dayStartLabel(const std::string& dayStart);

// A time cell or the day start: empty, or a text that reads as a date or a time of day.
bool isAcceptedTimeText(const std::string& text);
inline constexpr const char* kTimeFormatMessage = "h:mm 形式で記入してください";

// Every problem of the page as its message, in the order they are told.
std::vector<std::string> checkMainPage(const MainPageValues& values);

struct Captions {
  std::string next;  // Command2
  std::string end;   // Command5
};
Captions captionsAfterCheck(int errorCount);
inline constexpr const char* kNextCaption = "次へ";
inline constexpr const char* kEndCaption = "設定終了";
inline constexpr const char* kRetryCaption = "もう一度チェックする";
inline constexpr const char* kGiveUpCaption = "あきらめる\n(保存せず終了)";

// The start tolerance as it is stored: whole seconds 1..32767 in decimal; nullopt when the text
// is none, and the stored value is then kept.
std::optional<std::string> toleranceToStore(const std::string& text);
// The day start as it is stored: minutes after midnight, "0" for a text that is not a time.
std::string dayStartToStore(const std::string& text);

// The writes of one save: changed keys plus the always-written ones. Pure.
IniBatch mainPageBatch(const MainPageValues& values, const MainPageTables& tables);

struct SaveResult {
  bool toleranceKept = false;  // the tolerance text could not be stored; the file keeps its value
};
inline constexpr const char* kToleranceKeptMessage =
    "起動時調整時間が1から32767までの整数値ではないため、保存しませんでした。\n設定ファイルの値はそのままです。";
// Writes the page as one replacement of the file, then sets the saved copies. Throws IniError
// when the file cannot be written; the file and the saved copies are then unchanged.
SaveResult saveMainPage(IniFile& settings, const MainPageValues& values, MainPageTables& tables);

// Which start cells (index 0..71) show program p's run plan.
std::array<bool, kStartCells> startHighlightsFor(const RunPlan& plan, int program);
// 確　　定: every entry of program p becomes "1" where its start cell is highlighted, else "0".
void commitRunPlan(RunPlan& plan, int program, const std::array<bool, kStartCells>& highlighted);
// Monday's sixteen times to Tuesday..Friday; nothing else.
void copyMonday(GridTexts& times);

}  // namespace sayolt::editor
