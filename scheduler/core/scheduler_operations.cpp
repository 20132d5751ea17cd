#include "scheduler/core/scheduler_operations.h"

#include "scheduler/core/panel_texts.h"
#include "scheduler/core/program_end.h"
#include "shared/ini_file.h"

namespace sayolt {

std::filesystem::path editorProgramPath(const std::filesystem::path& ownProgramFile) {
  std::u8string name = u8"Sayolt設定_123";
  name += ownProgramFile.extension().u8string();
  return ownProgramFile.parent_path() / std::filesystem::path(name);
}

SchedulerOperations::SchedulerOperations(Scheduler& scheduler, Platform& platform, std::filesystem::path editorPath)
    : scheduler_(scheduler), platform_(platform), editorPath_(std::move(editorPath)) {}

bool SchedulerOperations::scheduleAvailable() {
  if (scheduler_.settingsLoaded()) return true;
  platform_.dialogs.messageOk(kSchedulerTitle, kNotLoadedMessage);
  return false;
}

void SchedulerOperations::startSettingsEditor() {
  const std::u8string text = editorPath_.u8string();
  const std::string path(text.begin(), text.end());
  if (path.empty() || !platform_.processes.fileExists(path)) return;
  // Nobody waits for the editor or looks at how it went.
  platform_.processes.startExecutable(path);
}

PanelLabels SchedulerOperations::openPanel() {
  if (!scheduler_.shutdownSuspended()) scheduler_.reloadSchedule();
  return labels();
}

bool SchedulerOperations::absenceSwitchEnabled() const {
  return timeOfDayOf(platform_.clock.now()) > scheduler_.model().dayStartTime;
}

PanelLabels SchedulerOperations::labels() const {
  const TimeOfDay now = timeOfDayOf(platform_.clock.now());
  PanelLabels labels;
  labels.category = categoryLabelText(scheduler_.model(), now);
  if (scheduler_.shutdownSuspended()) {
    labels.endTime = labels.nextStart = kStoppedText;
    return labels;
  }
  labels.endTime = endTimeLabelText(scheduler_.endTimeToday(), now);
  if (typedNextStart_ && scheduler_.nextStartOverridden() && scheduler_.nextStartTime() == typedNextStart_->first)
    labels.nextStart = typedNextStart_->second;
  else
    labels.nextStart = nextStartLabelText(scheduler_.nextStartTime(), now);
  return labels;
}

TimeChange SchedulerOperations::changeEndTime(std::string_view text) {
  if (text.empty()) return TimeChange::Empty;
  const auto time = parsePanelTime(text);
  if (!time) {
    platform_.dialogs.messageOk(kSchedulerTitle, panelTimeRefusedMessage(kEndFieldName));
    return TimeChange::Refused;
  }
  scheduler_.setEndTimeToday(*time);
  return TimeChange::Changed;
}

TimeChange SchedulerOperations::changeNextStart(std::string_view text) {
  TimeChange result = TimeChange::Empty;
  if (!text.empty()) {
    if (const auto time = parsePanelTime(text)) {
      scheduler_.overrideNextStart(*time);
      typedNextStart_.emplace(*time, std::string(text));
      result = TimeChange::Changed;
    } else {
      platform_.dialogs.messageOk(kSchedulerTitle, panelTimeRefusedMessage(kNextStartFieldName));
      return TimeChange::Refused;
    }
  }
  scheduler_.updateTrayIcon();
  return result;
}

void SchedulerOperations::reload() { scheduler_.recheckAndReload(); }

AbsenceSwitchResult SchedulerOperations::switchAbsence() {
  // Before the first load the model holds no day at all; nothing can be told apart.
  if (!scheduler_.settingsLoaded()) {
    platform_.dialogs.messageOk(kSchedulerTitle, kNotLoadedMessage);
    return AbsenceSwitchResult::NotNow;
  }
  const LocalTime now = platform_.clock.now();
  const ScheduleModel& model = scheduler_.model();
  const AbsenceAction action =
      absenceAction(model.dayCategories[1], model.priorityMode, timeOfDayOf(now), model.dayStartTime);
  if (action == AbsenceAction::Refuse) {
    platform_.dialogs.messageOk(kSchedulerTitle, kAbsenceRefusedMessage);
    return AbsenceSwitchResult::Refused;
  }
  AbsenceSwitchResult result;
  try {
    IniFile file(scheduler_.iniPath());
    result = applyAbsenceAction(file, action, dateOf(now));
  } catch (const IniError& error) {
    // The day would silently stay as it was; the user must know the switch did not happen.
    platform_.dialogs.notice(kSchedulerTitle, std::string("不在の登録を書き込めませんでした。\n") + error.what());
    result = AbsenceSwitchResult::WriteFailed;
  }
  scheduler_.updateTrayIcon();
  scheduler_.reloadSchedule();
  return result;
}

void SchedulerOperations::stopTimer() { scheduler_.suspendShutdown(); }

void SchedulerOperations::manualShutdown() { scheduler_.manualShutdown(); }

void SchedulerOperations::endProgram() {
  platform_.tray.remove();
  sayolt::endProgram(platform_.events, "プログラムの終了");
}

}  // namespace sayolt
