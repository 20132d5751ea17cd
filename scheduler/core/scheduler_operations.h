#pragma once
// What the notification menu and the operations panel do, without their windows: each button or
// menu item is one call here, and the windows only show the result.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "scheduler/core/absence_switch.h"
#include "scheduler/core/scheduler.h"

namespace sayolt {

// The three value labels of the panel, as every panel operation leaves them.
struct PanelLabels {
  std::string endTime;    // Label3
  std::string nextStart;  // Label4
  std::string category;   // Label7
};

enum class TimeChange { Empty, Changed, Refused };

struct PanelTimeChange {
  TimeChange result;
  PanelLabels labels;
};

struct PanelAbsenceSwitch {
  AbsenceSwitchResult result;
  PanelLabels labels;
};

// The settings editor's program file beside the scheduler's own, with the same ending (".exe" on
// Windows, none on Linux).
std::filesystem::path editorProgramPath(const std::filesystem::path& ownProgramFile);

class SchedulerOperations {
 public:
  // editorPath: the settings editor's program file in the scheduler's folder.
  SchedulerOperations(Scheduler& scheduler, Platform& platform, std::filesystem::path editorPath);

  Scheduler& scheduler() { return scheduler_; }
  const std::filesystem::path& editorPath() const { return editorPath_; }

  // 本日の予定 (menu and panel): true when the settings are loaded; otherwise tells the user so.
  bool scheduleAvailable();
  // 設定: starts the editor when its file is there, without waiting; otherwise does nothing.
  void startSettingsEditor();

  // Whether the icon can take a person to the panel: switched on, on a desktop that can hold it.
  bool iconReachable() const;
  // Whether the panel opens by itself at start-up: the icon is switched on but the desktop has no
  // notification area for it.
  bool panelAtStartUp() const;

  // The panel's load: reloads unless the countdown is stopped. Returns the labels to show.
  PanelLabels openPanel();
  // Whether 通常　⇔　不在 is enabled when the panel loads: only after the day start.
  bool absenceSwitchEnabled() const;
  // The labels as they stand: 停止中 while the timer is stopped; a time typed on the panel as it
  // was typed while the scheduler still holds it; otherwise as a reload at this moment writes them.
  PanelLabels labels() const;

  // 変更 of 終了時刻の変更 and 次回起動時刻の変更. A text that is not a time of day changes
  // nothing and is told in a message naming the field.
  PanelTimeChange changeEndTime(std::string_view text);
  PanelTimeChange changeNextStart(std::string_view text);

  // 再読込: the whole time check, then the reload.
  PanelLabels reload();
  // 通常　⇔　不在.
  PanelAbsenceSwitch switchAbsence();
  // タイマーの停止.
  PanelLabels stopTimer();
  [[noreturn]] void manualShutdown();
  // プログラムの終了: the icon goes, then the program ends.
  [[noreturn]] void endProgram();

 private:
  Scheduler& scheduler_;
  Platform& platform_;
  std::filesystem::path editorPath_;
};

}  // namespace sayolt
