#pragma once
// The resident scheduler: start-up, the one-second tick, the launcher and the shutdown. One object
// holds what the programs keep as module state, so a test can build as many as it likes.
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "scheduler/core/clock_check.h"
#include "scheduler/core/day_classification.h"
#include "scheduler/core/program_end.h"
#include "scheduler/core/schedule_model.h"
#include "scheduler/core/scheduler_view.h"

namespace sayolt {

inline constexpr const char* kSchedulerTitle = "Sayolt_123";
inline constexpr const char* kMainWindowTitle = "Sayolt起動終了";

class Scheduler {
 public:
  // settingsFile: "Sayolt設定.ini" in the program's folder.
  Scheduler(Platform& platform, ClockCheck& clockCheck, CountdownView& countdown, std::filesystem::path settingsFile,
            SchedulerObserver* observer = nullptr);
  ~Scheduler();

  // The load of the hidden main window, after the single-instance test: reads StartTolerance and
  // runs startScheduler. Throws ProgramEnded when the program ends.
  void start();
  void startScheduler();

  void loadSettings();
  void computeEndAndNextStart();
  void updateTrayIcon();
  void reloadSchedule();
  void onClockTick();

  void runAutoStartPrograms();
  void runManualStartPrograms();
  void launchTimedProgram(int number);

  void shiftClockForNextStart();
  [[noreturn]] void shutdownWindows();
  [[noreturn]] void manualShutdown();

  // The panel's one-off changes.
  void suspendShutdown();
  void setEndTimeToday(TimeOfDay t);
  void overrideNextStart(TimeOfDay t);
  void startTimer();

  // State.
  const ScheduleModel& model() const { return model_; }
  bool settingsLoaded() const { return settingsLoaded_; }
  std::chrono::seconds startTolerance() const { return startTolerance_; }
  int startKind() const { return startKind_; }
  int currentSlot() const { return currentSlot_; }
  TimeOfDay endTimeToday() const { return endTimeToday_; }
  TimeOfDay nextStartTime() const { return nextStartTime_; }
  bool shutdownSuspended() const { return shutdownSuspended_; }
  bool nextStartOverridden() const { return nextStartOverridden_; }
  const std::string& trayIconSetting() const { return trayIconSetting_; }
  int timerIntervalMs() const { return timer_->intervalMs(); }
  const std::filesystem::path& iniPath() const { return settingsFile_; }

  // Runs a handler called from the event loop (timer, menu, panel): when it ends the program,
  // the loop is asked to exit and ended() tells why.
  void guarded(const std::function<void()>& handler);
  const std::optional<ProgramEnded>& ended() const { return ended_; }

 private:
  struct Running {
    std::string name;
    std::unique_ptr<RunningProcess> process;
  };

  TimeOfDay timeOfDayNow() const;
  void waitUntilClock(LocalTime target);
  void waitSeconds(int n);
  void recomputeEndAndNextStart(bool atCountdown);
  // The calendar date of the schedule day that `t` belongs to: before the day start, yesterday.
  std::chrono::year_month_day scheduleDayOf(LocalTime t) const;
  void notice(const std::string& text);
  [[noreturn]] void endHere(const std::string& reason);
  void runCountdown();
  LaunchHow howToLaunch(const std::string& path);
  std::unique_ptr<RunningProcess> launch(LaunchList list, const std::string& name, const std::string& path);
  void applyStartupRule(const StartupProgram& program, LaunchList list);
  SchedulerObserver& observer() { return *observer_; }

  Platform& platform_;
  ClockCheck& clockCheck_;
  CountdownView& countdown_;
  std::filesystem::path settingsFile_;
  SchedulerObserver* observer_;
  std::unique_ptr<Timer> timer_;

  ScheduleModel model_;
  bool settingsLoaded_ = false;
  std::chrono::year_month_day loadedDate_{};
  std::chrono::year_month_day loadedScheduleDay_{};
  std::chrono::seconds startTolerance_{0};
  int startKind_ = 0;
  int currentSlot_ = 0;
  TimeOfDay endTimeToday_ = kNoTimeFound;
  TimeOfDay nextStartTime_ = kNoTimeFound;
  bool nextStartOverridden_ = false;
  bool shutdownSuspended_ = false;
  bool countdownAborted_ = false;
  bool countingDown_ = false;
  std::array<bool, keys::kTimedRuns> timedRunDone_{};
  std::vector<Running> running_;  // the launcher's runningNames / runningHandles
  std::string trayIconSetting_ = "1";
  std::string trayTooltip_;

  // How far the clock was set on before shutting down, to undo it when the shutdown is refused.
  std::optional<std::chrono::seconds> shift_;
  std::optional<ProgramEnded> ended_;
};

}  // namespace sayolt
