#include "scheduler/core/program_end.h"
#include "scheduler/core/scheduler.h"
#include "shared/text_rules.h"

namespace sayolt {

namespace {

constexpr int kCountdownSeconds = 10;
constexpr int kRunWindowSeconds = 5;

// Whether `now` lies in [at, at + window) on the clock face. Measured modulo one day, so a window
// that starts just before midnight still holds just after it.
bool withinWindow(TimeOfDay now, TimeOfDay at, int windowSeconds) {
  const auto since = ((now - at) % kSecondsPerDay + kSecondsPerDay) % kSecondsPerDay;
  return since < std::chrono::seconds(windowSeconds);
}

// 23:59:59 as "no end found" means the end of this day, not a moment just gone after midnight:
// a reload at 0:00:01 that finds no end must not shut the PC down at once.
bool endIsDue(TimeOfDay now, TimeOfDay end) {
  if (end == kNoTimeFound) return now >= end;
  return withinWindow(now, end, kCountdownSeconds);
}

}  // namespace

void Scheduler::onClockTick() {
  // A tick delivered while the countdown waits must not start a second one inside it.
  if (!countingDown_ && !shutdownSuspended_ && endIsDue(timeOfDayNow(), endTimeToday_)) runCountdown();

  // Runs at their times. A row runs once per start of the scheduler, whatever it launched.
  const int c = model_.dayCategories[1];
  for (int r = 0; r < keys::kTimedRuns; ++r) {
    const TimedRun& run = model_.timedRuns[c][r];
    if (run.startTime.empty() || timedRunDone_[r]) continue;
    const auto at = parseTimeOfDay(run.startTime);
    if (!at || !withinWindow(timeOfDayNow(), *at, kRunWindowSeconds)) continue;
    const auto number = toInt16(run.programNumber);
    if (number && *number >= 0 && *number < keys::kTimedPrograms) launchTimedProgram(*number);
    timedRunDone_[r] = true;
  }

  // Just after midnight the new day is loaded: on the first tick of a new date from 0:00:01 on,
  // so that a late tick does not skip it. So is a new schedule day at the day start, or a PC on
  // since the small hours would run all day by the day before's category.
  const LocalTime now = platform_.clock.now();
  const bool newDate = timeOfDayOf(now) >= std::chrono::seconds(1) && dateOf(now) != loadedDate_;
  if (newDate || scheduleDayOf(now) != loadedScheduleDay_) reloadSchedule();
}

void Scheduler::runCountdown() {
  countingDown_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{countingDown_};
  observer().onCountdown(endTimeToday_);
  recomputeEndAndNextStart(true);

  countdownAborted_ = false;
  countdown_.show([this] {
    countdownAborted_ = true;
    countdown_.close();
  });
  for (int k = 1; k <= kCountdownSeconds; ++k) {
    countdown_.setText("あと" + std::to_string(kCountdownSeconds + 1 - k) + "秒でシャットダウンします。");
    waitSeconds(1);
    if (countdownAborted_) {
      observer().onCountdownAborted();
      waitSeconds(10);
      countdownAborted_ = false;
      computeEndAndNextStart();
      return;
    }
  }
  shiftClockForNextStart();
  shutdownWindows();
}

}  // namespace sayolt
