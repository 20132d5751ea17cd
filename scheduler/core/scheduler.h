#pragma once
// The resident scheduler: start-up, the one-second tick, the launcher and the shutdown. One object
// holds what the programs keep as module state, so a test can build as many as it likes.
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/platform.h"
#include "scheduler/core/clock_check.h"
#include "scheduler/core/day_classification.h"
#include "scheduler/core/program_end.h"
#include "scheduler/core/schedule_model.h"
#include "scheduler/core/scheduler_view.h"
#include "shared/program_names.h"

namespace sayolt {

inline constexpr const char* kSchedulerTitle = kSchedulerProgramName;
inline constexpr const char* kMainWindowTitle = kSchedulerWindowName;

class SchedulerEventLog;
class IniSnapshot;

// What asked for a reload of the schedule. The panel's reloads and the one at 0:00:01 while the
// timer runs are recomputations that replace times typed on the panel; the catch-up on the first
// tick of a new date and the one at the day start keep them.
enum class ReloadCause { Panel, Midnight, CatchUp, DayStart };

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
  // Reads the settings into a new model; on an error keeps the last good one and returns the
  // error's message instead of ending the program.
  std::optional<std::string> tryLoadSettings();
  void computeEndAndNextStart();
  void updateTrayIcon();
  // The panel's reload (再読込 after its time check, the absence switch, opening the panel while the
  // timer runs). A settings error keeps the last good settings and is told in a notice.
  void reloadSchedule();
  void reloadSchedule(ReloadCause cause);
  // 再読込: the time check, then the panel's reload.
  void recheckAndReload();
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
  // typed: the text as typed on the panel, shown there while this next start holds.
  void overrideNextStart(TimeOfDay t, std::string typed = {});
  void startTimer();

  // Where the scheduler writes what it decided and did (none: not written).
  void setEventLog(SchedulerEventLog* log);
  // A settings write that failed: told now, and kept in the event log for whoever asks why.
  void noticeWriteFailure(const std::string& text) { notice(text); }
  // Called at the end of every reload of the schedule, so that open windows show the new day.
  void setOnScheduleReloaded(std::function<void()> handler) { onScheduleReloaded_ = std::move(handler); }

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
  // An end time typed on the panel that still holds.
  std::optional<TimeOfDay> typedEndTime() const { return typedEnd_; }
  // A next start typed on the panel that still holds, with its text as typed.
  struct TypedTime {
    TimeOfDay time;
    std::string text;
  };
  const std::optional<TypedTime>& typedNextStart() const { return typedNextStart_; }
  // Whether the start-up list still waits on a document's program.
  bool startupListWaiting() const { return startup_.has_value(); }
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
  // A start-up list in progress: the next program, the document the list waits on, the delay.
  struct StartupList {
    LaunchList list;
    std::vector<StartupProgram> programs;
    std::size_t next = 0;
    std::unique_ptr<RunningProcess> document;
    StartupProgram waitingFor;  // whose delay follows the document
    std::optional<LocalTime> delayUntil;
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
  struct Launched {
    bool started = false;
    std::unique_ptr<RunningProcess> process;   // an executable's
    std::unique_ptr<RunningProcess> document;  // the program showing a document
  };
  Launched launch(LaunchList list, const std::string& name, const std::string& path);
  void runStartupList(LaunchList list, std::vector<StartupProgram> programs);
  void advanceStartupList();
  void beginDelay(StartupList& startup, const StartupProgram& program);
  void runTimedRuns();
  void logEvent(const std::string& kind, const std::string& text);
  void warn(const std::string& text);
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
  // Runs done, by the schedule day of the moment they were due, category and row.
  std::set<std::tuple<int, int, int>> timedRunsDone_;
  std::optional<TimeOfDay> typedEnd_;
  std::optional<TypedTime> typedNextStart_;
  std::optional<std::string> lastReloadError_;
  std::optional<StartupList> startup_;
  bool tickRunsStartup_ = false;
  bool advancingStartup_ = false;
  SchedulerEventLog* eventLog_ = nullptr;
  std::function<void()> onScheduleReloaded_;
  std::shared_ptr<const IniSnapshot> lastGoodSettings_;
  std::optional<LocalTime> lastTickAt_;
  std::vector<Running> running_;  // the launcher's runningNames / runningHandles
  std::string trayIconSetting_ = "1";
  std::string trayTooltip_;

  // How far the clock was set on before shutting down, to undo it when the shutdown is refused.
  std::optional<std::chrono::seconds> shift_;
  std::optional<ProgramEnded> ended_;
};

}  // namespace sayolt
