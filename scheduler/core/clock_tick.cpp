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
  using namespace std::chrono;
  // A start-up list waiting on a document goes on once the document's program has ended.
  advanceStartupList();

  // A tick delivered while the countdown waits must not start a second one inside it.
  if (!countingDown_ && !shutdownSuspended_ && endIsDue(timeOfDayNow(), endTimeToday_)) runCountdown();

  runTimedRuns();

  // Just after midnight the new day is loaded: on the first tick of a new date from 0:00:01 on,
  // so that a late tick does not skip it. So is a new schedule day at the day start, or a PC on
  // since the small hours would run all day by the day before's category. A first tick of a new
  // date after the timer was stopped over midnight is a catch-up, not the midnight reload.
  const LocalTime now = platform_.clock.now();
  const bool tickedJustBefore = lastTickAt_ && now - *lastTickAt_ <= seconds(10) && now >= *lastTickAt_;
  lastTickAt_ = now;
  const bool newDate = timeOfDayOf(now) >= seconds(1) && dateOf(now) != loadedDate_;
  if (newDate)
    reloadSchedule(tickedJustBefore ? ReloadCause::Midnight : ReloadCause::CatchUp);
  else if (scheduleDayOf(now) != loadedScheduleDay_)
    reloadSchedule(ReloadCause::DayStart);
}

// Each row runs once per schedule day: the day of the moment it was due, which must be the day
// loaded, so a window that spans midnight or the day start is not run again on the other side,
// and a PC left on into the next schedule day runs that day's rows.
void Scheduler::runTimedRuns() {
  using namespace std::chrono;
  const int c = model_.dayCategories[1];
  for (int r = 0; r < keys::kTimedRuns; ++r) {
    const TimedRun& run = model_.timedRuns[c][r];
    if (run.startTime.empty()) continue;
    const auto at = parseTimeOfDay(run.startTime);
    const LocalTime now = floor<seconds>(platform_.clock.now());
    const TimeOfDay t = timeOfDayOf(now);
    if (!at || !withinWindow(t, *at, kRunWindowSeconds)) continue;
    const auto since = ((t - *at) % kSecondsPerDay + kSecondsPerDay) % kSecondsPerDay;
    // Due on the schedule day before the one loaded: that day's rows ran, or were its own.
    const auto dueDay = scheduleDayOf(now - since);
    if (dueDay != loadedScheduleDay_) continue;
    const int day = static_cast<int>(sys_days{dueDay}.time_since_epoch().count());
    if (!timedRunsDone_.insert({day, c, r}).second) continue;
    // Days long gone are forgotten.
    std::erase_if(timedRunsDone_, [day](const auto& done) { return std::get<0>(done) < day - 2; });
    const auto number = toInt16(run.programNumber);
    if (number && *number >= 0 && *number < keys::kTimedPrograms) launchTimedProgram(*number);
  }
}

void Scheduler::runCountdown() {
  countingDown_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{countingDown_};
  observer().onCountdown(endTimeToday_);
  logEvent("countdown", formatHourMinute(endTimeToday_));
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
      logEvent("countdown-aborted", "中止");
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
