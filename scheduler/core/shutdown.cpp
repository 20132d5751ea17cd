#include "scheduler/core/event_log.h"
#include "scheduler/core/panel_texts.h"
#include "scheduler/core/program_end.h"
#include "scheduler/core/scheduler.h"
#include "shared/ini_file.h"
#include "shared/text_rules.h"

namespace sayolt {

namespace {

// 60 days: only the time of day of the result is used, so whole days make no difference.
constexpr std::chrono::seconds kShiftBase{5'184'000};

constexpr const char* kClockRefusedNotice = "時計を変更できなかったため、次回の自動起動は行われません。";
constexpr const char* kShutdownRefusedMessage = "シャットダウンできませんでした。\nプログラムを終了します。";
constexpr const char* kShutdownRefusedClockBackMessage =
    "シャットダウンできませんでした。時計は元に戻しました。\nプログラムを終了します。";
constexpr const char* kShutdownRefusedClockShiftedMessage =
    "シャットダウンできませんでした。時計を元に戻せませんでした。時刻を確認してください。\n"
    "プログラムを終了します。";

}  // namespace

// Sets the clock so that it reads midnight exactly when the next start comes, so that a power-on
// at 00:00 by the PC's own clock starts the PC on time.
void Scheduler::shiftClockForNextStart() {
  using namespace std::chrono;
  const LocalTime before = floor<seconds>(platform_.clock.now());
  const TimeOfDay t = timeOfDayOf(before);
  const TimeOfDay n = nextStartTime_;
  const seconds untilNext = t < n ? n - t : kShiftBase - (t - n);
  const TimeOfDay target = ((-untilNext) % kSecondsPerDay + kSecondsPerDay) % kSecondsPerDay;
  const bool accepted = platform_.clock.setLocalTimeOfDay(target);
  observer().onClockShift(target, accepted);
  logEvent("clock-shift", formatHourMinuteSecond(target) + (accepted ? "" : " 拒否"));
  if (!accepted) {
    warn(kClockRefusedNotice);
    return;
  }
  shift_ = target - t;
  platform_.clock.syncHardwareClock();
  // Where the hardware offers a wake alarm it powers the PC on without any firmware setting.
  platform_.power.armWakeAlarm(untilNext % kSecondsPerDay == seconds(0) ? kSecondsPerDay : untilNext % kSecondsPerDay);
}

void Scheduler::shutdownWindows() {
  if (startup_) {
    // The day is over; what the start-up list had not started yet stays unstarted.
    logEvent("startup-abandoned", "");
    startup_.reset();
  }
  const std::string value = formatHourMinute(nextStartTime_);
  try {
    IniFile file(iniPath());
    file.set(keys::kNextStartSection, keys::kNextStartKey, value);
    observer().onRecordNextStart(value);
    logEvent("next-start", value);
    if (file.lastWriteInPlace())
      logEvent("settings-in-place", "設定ファイルのフォルダーに書き込めないため、ファイルをその場で書き換えました。");
  } catch (const IniError& error) {
    warn(std::string("次回起動時刻を記録できませんでした。\n") + settingsWriteFailureReason(error));
  }
  if (trayIconSetting_ == "1") platform_.tray.remove();

  logEvent(kShutdownRequestEvent, "");
  const bool accepted = platform_.power.requestShutdown();
  observer().onShutdownRequested(accepted);
  logEvent("shutdown-answer", accepted ? "受理" : "拒否");
  if (!accepted) {
    // Left as it is the PC would run on with a shifted clock and no scheduler. The message speaks
    // of the clock only when it was shifted, and says so when setting it back failed.
    const char* message = kShutdownRefusedMessage;
    if (shift_) {
      const TimeOfDay shifted = timeOfDayOf(platform_.clock.now());
      const bool back =
          platform_.clock.setLocalTimeOfDay(((shifted - *shift_) % kSecondsPerDay + kSecondsPerDay) % kSecondsPerDay);
      shift_.reset();
      message = back ? kShutdownRefusedClockBackMessage : kShutdownRefusedClockShiftedMessage;
    }
    platform_.dialogs.messageOk(kSchedulerTitle, message);
    endHere("shutdown refused");
  }
  endHere("shutdown");
}

void Scheduler::manualShutdown() {
  loadSettings();
  if (!nextStartOverridden_) computeEndAndNextStart();
  shiftClockForNextStart();
  shutdownWindows();
}

}  // namespace sayolt
