#include "scheduler/core/scheduler.h"

#include "scheduler/core/event_log.h"
#include "scheduler/core/program_end.h"
#include "shared/ini_file.h"
#include "shared/text_rules.h"

namespace sayolt {

namespace {

const SchedulerObserver& silentObserver() {
  static const SchedulerObserver none;
  return none;
}

// All reloads share one section: a reload is never entered again while another one's box is open.
const char kReloadSection = 0;

const char* causeName(ReloadCause cause) {
  switch (cause) {
    case ReloadCause::Panel:
      return "操作パネル";
    case ReloadCause::Midnight:
      return "0:00:01";
    case ReloadCause::CatchUp:
      return "日付の変更後";
    case ReloadCause::DayStart:
      return "一日の開始時刻";
  }
  return "";
}

constexpr const char* kLastShutdownWarnings = "前回のシャットダウンの前に次の警告がありました。";

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
    if (!ended_) logEvent("end", ended.reason);
    if (!ended_) ended_ = ended;
    platform_.events.requestExit(ended.exitCode);
  }
}

Scheduler::~Scheduler() = default;

TimeOfDay Scheduler::timeOfDayNow() const { return timeOfDayOf(platform_.clock.now()); }

void Scheduler::notice(const std::string& text) {
  logEvent("notice", text);
  platform_.dialogs.notice(kSchedulerTitle, text);
}

// A warning the user may not see before the program ends; the log keeps it for the next start.
void Scheduler::warn(const std::string& text) {
  logEvent("warning", text);
  platform_.dialogs.notice(kSchedulerTitle, text);
}

void Scheduler::setEventLog(SchedulerEventLog* log) {
  eventLog_ = log;
  // Said once; after that a line that cannot be written is dropped without a word.
  if (eventLog_)
    eventLog_->onFailure = [this](const std::string& file) {
      platform_.dialogs.notice(kSchedulerTitle, "ログを書き込めませんでした。\n" + file);
    };
}

void Scheduler::logEvent(const std::string& kind, const std::string& text) {
  if (eventLog_) eventLog_->write(kind, text);
}

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
  if (eventLog_) {
    // An automatic start that follows a troubled shutdown shows why.
    const auto warnings = eventLog_->warningsOfLastShutdown();
    eventLog_->write(kStartEvent, kSchedulerTitle);
    if (!warnings.empty()) {
      std::string text = kLastShutdownWarnings;
      for (const auto& w : warnings) text += "\n" + w;
      notice(text);
    }
  }
  std::optional<std::chrono::seconds> tolerance;
  try {
    tolerance = readStartTolerance(IniSnapshot::load(iniPath()));
  } catch (const IniError&) {
  }
  if (!tolerance) {
    logEvent("settings-error", kStartToleranceMessage);
    platform_.dialogs.messageOk(kSchedulerTitle, kStartToleranceMessage);
    endHere("start tolerance");
  }
  startTolerance_ = *tolerance;
  try {
    startScheduler();
  } catch (const ProgramEnded& ended) {
    logEvent("end", ended.reason);
    throw;
  }
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
  timedRunsDone_.clear();
  shutdownSuspended_ = false;
  countdownAborted_ = false;
  running_.clear();
  startup_.reset();
  tickRunsStartup_ = false;
  lastTickAt_.reset();

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
    logEvent("start-kind", "自動起動 (枠" + std::to_string(currentSlot_ + 1) + ")");
    runAutoStartPrograms();
  } else if (startKind_ == 0) {
    observer().onStartKind(startKind_, currentSlot_);
    logEvent("start-kind", "手動起動");
    runManualStartPrograms();
  }
  // From here on a list still waiting on a document goes on from the tick.
  tickRunsStartup_ = true;
  startTimer();
}

void Scheduler::startTimer() { timer_->setIntervalMs(1000); }

// Start-up and the manual shutdown, where a person is at the PC: one box, then the end.
void Scheduler::loadSettings() {
  if (const auto error = tryLoadSettings()) {
    logEvent("settings-error", *error);
    platform_.dialogs.messageOk(kSchedulerTitle, *error);
    endHere("settings: " + *error);
  }
}

std::optional<std::string> Scheduler::tryLoadSettings() {
  const LocalTime now = platform_.clock.now();
  std::optional<std::string> error;
  auto snapshot = std::make_shared<IniSnapshot>();
  try {
    *snapshot = IniSnapshot::load(iniPath());
  } catch (const IniError&) {
    error = settingsAreaMessage(1);
  }
  ScheduleModel fresh = model_;
  if (!error) {
    if (const auto areaError = readScheduleModel(*snapshot, now, fresh)) error = areaError->message;
  }
  if (error) {
    if (!lastGoodSettings_) return error;
    // The last good settings, with the days classified for now.
    fresh = model_;
    readScheduleModel(*lastGoodSettings_, now, fresh);
  } else {
    lastGoodSettings_ = std::move(snapshot);
  }
  model_ = std::move(fresh);
  loadedDate_ = dateOf(now);
  loadedScheduleDay_ = scheduleDayOf(now);
  settingsLoaded_ = true;
  return error;
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
  // A recomputation replaces the times typed on the panel.
  typedEnd_.reset();
  typedNextStart_.reset();
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
  trayIconSetting_ = keys::orDefault(setting, keys::kTraySection, keys::kTrayKey);
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

void Scheduler::reloadSchedule() { reloadSchedule(ReloadCause::Panel); }

// A settings error here does not end the program: nobody may be at the PC to answer a box, and the
// day must still reach its shutdown. The last good settings carry on and the user is told once.
void Scheduler::reloadSchedule(ReloadCause cause) {
  platform_.events.runExclusive(&kReloadSection, [&] {
    const auto error = tryLoadSettings();
    if (error) {
      logEvent("reload-failed", std::string(causeName(cause)) + ": " + *error);
      if (error != lastReloadError_) notice(*error);
    } else {
      logEvent("reload", causeName(cause));
    }
    lastReloadError_ = error;
    const auto typedEnd = typedEnd_;
    const auto typedNextStart = typedNextStart_;
    computeEndAndNextStart();
    if (cause == ReloadCause::CatchUp || cause == ReloadCause::DayStart) {
      typedEnd_ = typedEnd;
      typedNextStart_ = typedNextStart;
      if (typedEnd_) endTimeToday_ = *typedEnd_;
      if (typedNextStart_) nextStartTime_ = typedNextStart_->time;
      if (typedEnd_ || typedNextStart_) updateTrayIcon();
    }
    shutdownSuspended_ = false;
    startTimer();
    observer().onScheduleReloaded();
    if (onScheduleReloaded_) onScheduleReloaded_();
  });
}

void Scheduler::recheckAndReload() {
  if (const auto kind = clockCheck_.checkClock(startTolerance_)) startKind_ = *kind;
  if (platform_.events.exitRequested()) throw ProgramEnded{0, "exit requested"};
  reloadSchedule(ReloadCause::Panel);
}

void Scheduler::suspendShutdown() {
  logEvent("timer-stopped", "");
  shutdownSuspended_ = true;
  timer_->setIntervalMs(0);
}

void Scheduler::setEndTimeToday(TimeOfDay t) {
  endTimeToday_ = t;
  typedEnd_ = t;
  logEvent("end-changed", formatHourMinute(t));
  shutdownSuspended_ = false;
  startTimer();
  updateTrayIcon();
}

void Scheduler::overrideNextStart(TimeOfDay t, std::string typed) {
  nextStartOverridden_ = true;
  nextStartTime_ = t;
  typedNextStart_ = TypedTime{t, typed.empty() ? formatHourMinute(t) : std::move(typed)};
  logEvent("next-start-changed", formatHourMinute(t));
}

}  // namespace sayolt
