#include "scheduler/core/scheduler_operations.h"

#include "scheduler/core/panel_texts.h"
#include "scheduler/core/program_end.h"
#include "shared/ini_file.h"
#include "shared/program_names.h"
#include "shared/text_rules.h"
#include "shared/utf8_path.h"

namespace sayolt {

std::filesystem::path editorProgramPath(const std::filesystem::path& ownProgramFile) {
  return ownProgramFile.parent_path() / pathFromUtf8(kEditorProgramName + utf8FromPath(ownProgramFile.extension()));
}

SchedulerOperations::SchedulerOperations(Scheduler& scheduler, Platform& platform, std::filesystem::path editorPath)
    : scheduler_(scheduler), platform_(platform), editorPath_(std::move(editorPath)) {}

bool SchedulerOperations::scheduleAvailable() {
  if (scheduler_.settingsLoaded()) return true;
  platform_.dialogs.messageOk(kSchedulerTitle, kNotLoadedMessage);
  return false;
}

void SchedulerOperations::startSettingsEditor() {
  const std::string path = utf8FromPath(editorPath_);
  if (path.empty() || !platform_.processes.fileExists(path)) return;
  // Nobody waits for the editor or looks at how it went.
  platform_.processes.startExecutable(path);
}

bool SchedulerOperations::iconReachable() const {
  return scheduler_.trayIconSetting() == "1" && platform_.tray.hostAvailable();
}

bool SchedulerOperations::panelAtStartUp() const {
  return scheduler_.trayIconSetting() == "1" && !platform_.tray.hostAvailable();
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
  // A typed end is shown as the panel's 変更 wrote it, without 明日.
  if (scheduler_.typedEndTime())
    labels.endTime = formatHourMinute(*scheduler_.typedEndTime());
  else
    labels.endTime = endTimeLabelText(scheduler_.endTimeToday(), now);
  if (const auto& typed = scheduler_.typedNextStart())
    labels.nextStart = typed->text;
  else
    labels.nextStart = nextStartLabelText(scheduler_.nextStartTime(), now);
  return labels;
}

PanelTimeChange SchedulerOperations::changeEndTime(std::string_view text) {
  if (text.empty()) return {TimeChange::Empty, labels()};
  const auto time = parsePanelTime(text);
  if (!time) {
    platform_.dialogs.messageOk(kSchedulerTitle, panelTimeRefusedMessage(kEndFieldName));
    return {TimeChange::Refused, labels()};
  }
  scheduler_.setEndTimeToday(*time);
  return {TimeChange::Changed, labels()};
}

PanelTimeChange SchedulerOperations::changeNextStart(std::string_view text) {
  TimeChange result = TimeChange::Empty;
  if (!text.empty()) {
    if (const auto time = parsePanelTime(text)) {
      // Shown as typed, but in the half-width digits the field shows it in.
      scheduler_.overrideNextStart(*time, toHalfWidthDigits(text));
      result = TimeChange::Changed;
    } else {
      platform_.dialogs.messageOk(kSchedulerTitle, panelTimeRefusedMessage(kNextStartFieldName));
      return {TimeChange::Refused, labels()};
    }
  }
  scheduler_.updateTrayIcon();
  return {result, labels()};
}

PanelLabels SchedulerOperations::reload() {
  scheduler_.recheckAndReload();
  return labels();
}

PanelAbsenceSwitch SchedulerOperations::switchAbsence() {
  // Before the first load the model holds no day at all; nothing can be told apart.
  if (!scheduler_.settingsLoaded()) {
    platform_.dialogs.messageOk(kSchedulerTitle, kNotLoadedMessage);
    return {AbsenceSwitchResult::NotNow, labels()};
  }
  const LocalTime now = platform_.clock.now();
  const ScheduleModel& model = scheduler_.model();
  const AbsenceAction action =
      absenceAction(model.dayCategories[1], model.priorityMode, timeOfDayOf(now), model.dayStartTime);
  if (action == AbsenceAction::Refuse) {
    platform_.dialogs.messageOk(kSchedulerTitle, kAbsenceRefusedMessage);
    return {AbsenceSwitchResult::Refused, labels()};
  }
  AbsenceSwitchResult result;
  try {
    IniFile file(scheduler_.iniPath());
    result = applyAbsenceAction(file, action, dateOf(now));
  } catch (const IniError& error) {
    // The day would silently stay as it was; the user must know the switch did not happen.
    scheduler_.noticeWriteFailure(std::string("不在の登録を書き込めませんでした。\n") +
                                  settingsWriteFailureReason(error));
    result = AbsenceSwitchResult::WriteFailed;
  }
  scheduler_.updateTrayIcon();
  scheduler_.reloadSchedule();
  return {result, labels()};
}

PanelLabels SchedulerOperations::stopTimer() {
  scheduler_.suspendShutdown();
  return labels();
}

void SchedulerOperations::manualShutdown() { scheduler_.manualShutdown(); }

void SchedulerOperations::endProgram() {
  platform_.tray.remove();
  sayolt::endProgram(platform_.events, "プログラムの終了");
}

}  // namespace sayolt
