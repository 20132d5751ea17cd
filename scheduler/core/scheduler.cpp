#include "scheduler/core/scheduler.h"

#include "scheduler/core/program_end.h"
#include "shared/ini_file.h"
#include "shared/text_rules.h"

namespace sayolt {

namespace {

const SchedulerObserver& silentObserver() {
  static const SchedulerObserver none;
  return none;
}

}  // namespace

Scheduler::Scheduler(Platform& platform, ClockCheck& clockCheck, CountdownView& countdown,
                     std::filesystem::path settingsFile, SchedulerObserver* observer)
    : platform_(platform),
      clockCheck_(clockCheck),
      countdown_(countdown),
      settingsFile_(std::move(settingsFile)),
      observer_(observer ? observer : const_cast<SchedulerObserver*>(&silentObserver())),
      timer_(platform.events.createTimer([this] { guarded([this] { onClockTick(); }); })) {}

// Handlers called from the event loop end the program by asking the loop to exit; the exception
// must not travel through the loop's own frames.
void Scheduler::guarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const ProgramEnded& ended) {
    if (!ended_) ended_ = ended;
    platform_.events.requestExit(ended.exitCode);
  }
}

Scheduler::~Scheduler() = default;

TimeOfDay Scheduler::timeOfDayNow() const { return timeOfDayOf(platform_.clock.now()); }

void Scheduler::notice(const std::string& text) { platform_.dialogs.notice(kSchedulerTitle, text); }

void Scheduler::endHere(const std::string& reason) { endProgram(platform_.events, reason); }

// Handles events until the clock reaches `target`. Dates are compared too, so a wait that
// crosses midnight ends.
void Scheduler::waitUntilClock(LocalTime target) {
  using namespace std::chrono;
  for (;;) {
    if (platform_.events.exitRequested()) throw ProgramEnded{0, "exit requested"};
    const LocalTime now = platform_.clock.now();
    if (now >= target) return;
    const auto remaining = duration_cast<milliseconds>(target - now).count();
    platform_.events.runUntil([&] { return platform_.clock.now() >= target; },
                              platform_.clock.monotonicMs() + remaining);
  }
}

// The clock counts whole seconds, so a wait of n seconds lasts between n - 1 and n.
void Scheduler::waitSeconds(int n) {
  using namespace std::chrono;
  waitUntilClock(floor<seconds>(platform_.clock.now()) + seconds(n));
}

void Scheduler::start() {
  std::optional<std::chrono::seconds> tolerance;
  try {
    tolerance = readStartTolerance(IniSnapshot::load(iniPath()));
  } catch (const IniError&) {
  }
  if (!tolerance) {
    platform_.dialogs.messageOk(kSchedulerTitle, kStartToleranceMessage);
    endHere("start tolerance");
  }
  startTolerance_ = *tolerance;
  startScheduler();
}

void Scheduler::startScheduler() {
  using namespace std::chrono;
  nextStartOverridden_ = false;

  // Start-up pause: until the clock is later than t0 + StartTolerance, in whole seconds.
  waitUntilClock(floor<seconds>(platform_.clock.now()) + startTolerance_ + seconds(1));

  if (const auto kind = clockCheck_.checkClock(startTolerance_)) startKind_ = *kind;
  if (platform_.events.exitRequested()) throw ProgramEnded{0, "exit requested"};
  loadSettings();
  computeEndAndNextStart();
  timedRunDone_.fill(false);
  shutdownSuspended_ = false;
  countdownAborted_ = false;
  running_.clear();

  if (startKind_ == 1) {
    // The automatic start came on StartTolerance seconds plus the time check after its slot.
    const TimeOfDay now = timeOfDayNow();
    const TimeOfDay latest = seconds(60) + startTolerance_;
    for (int s = 0; s < keys::kSlots; ++s) {
      const auto start = parseTimeOfDay(model_.startTime[model_.dayCategories[1]][s]);
      if (start && *start <= now && now <= *start + latest) {
        currentSlot_ = s;
        break;
      }
    }
    observer().onStartKind(startKind_, currentSlot_);
    runAutoStartPrograms();
  } else if (startKind_ == 0) {
    observer().onStartKind(startKind_, currentSlot_);
    runManualStartPrograms();
  }
  startTimer();
}

void Scheduler::startTimer() { timer_->setIntervalMs(1000); }

void Scheduler::loadSettings() {
  settingsLoaded_ = false;
  const LocalTime now = platform_.clock.now();
  std::optional<SettingsAreaError> error;
  try {
    error = readScheduleModel(IniSnapshot::load(iniPath()), now, model_);
  } catch (const IniError&) {
    error = SettingsAreaError{1, settingsAreaMessage(1)};
  }
  if (error) {
    platform_.dialogs.messageOk(kSchedulerTitle, error->message);
    endHere("settings area " + std::to_string(error->area));
  }
  loadedDate_ = dateOf(now);
  loadedScheduleDay_ = scheduleDayOf(now);
  settingsLoaded_ = true;
}

std::chrono::year_month_day Scheduler::scheduleDayOf(LocalTime t) const {
  const auto date = dateOf(t);
  if (timeOfDayOf(t) > model_.dayStartTime) return date;
  return std::chrono::year_month_day{std::chrono::sys_days{date} - std::chrono::days{1}};
}

void Scheduler::computeEndAndNextStart() { recomputeEndAndNextStart(false); }

// The two reports are warnings the scheduler runs on after, and they come at start-up, at midnight
// and in the countdown, when nobody may be at the PC: they never hold the scheduler up.
void Scheduler::recomputeEndAndNextStart(bool atCountdown) {
  const EndAndNextStart found = findEndAndNextStart(model_, timeOfDayNow());
  endTimeToday_ = found.endTimeToday;
  nextStartTime_ = found.nextStartTime;
  if (!found.endFound) {
    // At the countdown today's end has just come, so no later end is what to expect; only a
    // missing next start matters, as it is what the shutdown records.
    if (!atCountdown)
      notice(kNoEndMessage);
    else if (!found.nextStartFound)
      notice(kNoNextStartMessage);
    return;
  }
  if (!found.nextStartFound) {
    notice(kNoNextStartMessage);
    return;
  }
  updateTrayIcon();
}

void Scheduler::updateTrayIcon() {
  std::string setting;
  try {
    setting = IniSnapshot::load(iniPath()).get(keys::kTraySection, keys::kTrayKey);
  } catch (const IniError&) {
  }
  trayIconSetting_ = setting.empty() ? "1" : setting;
  platform_.tray.remove();
  if (trayIconSetting_ != "1") return;

  // The tooltip names whichever of the two events comes next.
  const TimeOfDay e = endTimeToday_, s = nextStartTime_, now = timeOfDayNow();
  if (e > s && s > now)
    trayTooltip_ = "起動:" + formatHourMinute(s) + "\n終了:" + formatHourMinute(e);
  else if ((now > s && e > s) || s > e)
    trayTooltip_ = "終了:" + formatHourMinute(e) + "\n起動:" + formatHourMinute(s);
  platform_.tray.show(model_.dayCategories[1] == kAbsence ? TrayIconKind::Absence : TrayIconKind::Normal, trayTooltip_);
}

void Scheduler::reloadSchedule() {
  loadSettings();
  computeEndAndNextStart();
  shutdownSuspended_ = false;
  startTimer();
  observer().onScheduleReloaded();
}

void Scheduler::suspendShutdown() {
  shutdownSuspended_ = true;
  timer_->setIntervalMs(0);
}

void Scheduler::setEndTimeToday(TimeOfDay t) {
  endTimeToday_ = t;
  shutdownSuspended_ = false;
  startTimer();
  updateTrayIcon();
}

void Scheduler::overrideNextStart(TimeOfDay t) {
  nextStartOverridden_ = true;
  nextStartTime_ = t;
}

}  // namespace sayolt
