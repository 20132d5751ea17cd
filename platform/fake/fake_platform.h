#pragma once
// The platform on virtual time, for tests and for "sayolt-plan simulate". A wait advances the
// virtual clock straight to the next due event; nothing ever sleeps or touches the real machine.
// It keeps two clocks: true time, and the PC's own clock, which the programs may set.
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/fake/fake_single_instance.h"
#include "platform/platform.h"

namespace sayolt {

// Thrown by a wait when the next thing to happen lies beyond the horizon the harness set,
// or when a wait could never end (nothing scheduled and no deadline).
struct FakeHorizonReached {};
struct FakeDeadlock {};

struct FakeRecord {
  LocalTime trueTime;
  LocalTime pcClock;
  std::string event;
  std::vector<std::pair<std::string, std::string>> fields;

  std::string field(const std::string& name) const {
    for (const auto& [k, v] : fields)
      if (k == name) return v;
    return {};
  }
};

class FakePlatform {
 public:
  // trueStart: true local time at monotonic 0. utcOffset: local minus UTC (no daylight saving).
  explicit FakePlatform(LocalTime trueStart, std::chrono::seconds utcOffset = std::chrono::hours(9));
  ~FakePlatform();
  FakePlatform(const FakePlatform&) = delete;
  FakePlatform& operator=(const FakePlatform&) = delete;

  Platform& platform() { return platform_; }

  // --- virtual time
  MonotonicMs monotonicNow() const { return monotonic_; }
  LocalTime trueNow() const;
  LocalTime pcNow() const;
  UtcTime trueUtcNow() const;
  std::chrono::seconds utcOffset() const { return utcOffset_; }
  void setPcClock(LocalTime pcTime);
  // Runs action when the monotonic counter reaches at (in order of time, then of scheduling).
  void scheduleAt(MonotonicMs at, std::function<void()> action);
  void scheduleAfter(std::chrono::milliseconds delay, std::function<void()> action);
  // Moves time on without handing any event to its handler (a call that blocks the thread).
  void advanceBlocking(std::chrono::milliseconds duration);
  // Waits beyond this monotonic moment throw FakeHorizonReached.
  void setHorizon(std::optional<MonotonicMs> horizon) { horizon_ = horizon; }
  // Forgets exit requests and pending events: the PC is off and comes on again.
  void resetForPowerOn();
  // Moves time on while the PC is off: nothing runs.
  void advancePoweredOff(std::chrono::milliseconds duration) { advanceBlocking(duration); }

  // --- what the programs asked of the platform
  const std::vector<FakeRecord>& records() const { return records_; }
  void record(std::string event, std::vector<std::pair<std::string, std::string>> fields = {});
  std::function<void(const FakeRecord&)> onRecord;  // called for every new record

  // --- scripted behaviour
  bool clockSettable = true;
  bool shutdownAllowed = true;
  bool wakeAlarmAvailable = false;
  std::set<std::string> failingPaths;                                 // start or open fails
  std::set<std::string> executableFiles;                              // what isExecutableFile answers true for
  std::map<std::string, std::chrono::milliseconds> documentRunTimes;  // how long a document stays open
  std::map<std::string, std::chrono::milliseconds> programRunTimes;   // an executable that ends by itself
  std::set<std::string> folders;                                      // what isFolder answers true for
  std::vector<MessageAnswer> yesNoAnswers;                            // answers in order, then kUnscriptedAnswer
  std::string openFileAnswer;

  // State the tests read.
  bool shutdownRequested = false;
  bool trayVisible = false;
  std::string trayTooltip;
  TrayIconKind trayIcon = TrayIconKind::Normal;
  bool trayHostAvailable = true;  // false: a desktop without a notification area
  int runningProcesses = 0;
  FakeSingleInstance instances;

  // A right click on the notification icon: reaches the menu handler only while the icon shows.
  bool rightClickTray();

  // Exposed for the fake services.
  void runUntil(const std::function<bool()>& done, std::optional<MonotonicMs> wakeAt);
  void requestExit(int code);
  bool exitRequested() const { return exitRequested_; }
  int exitCode() const { return exitCode_; }
  void installNetwork(std::unique_ptr<Network> network);

 private:
  bool runNextDue(MonotonicMs upTo);

  LocalTime trueStart_;
  std::chrono::seconds utcOffset_;
  MonotonicMs monotonic_ = 0;
  std::chrono::milliseconds pcOffset_{0};  // PC clock minus true time
  std::multimap<std::pair<MonotonicMs, std::uint64_t>, std::function<void()>> pending_;
  std::uint64_t nextOrder_ = 0;
  std::optional<MonotonicMs> horizon_;
  bool exitRequested_ = false;
  int exitCode_ = 0;
  std::vector<FakeRecord> records_;

  struct Services;
  std::unique_ptr<Services> services_;
  std::unique_ptr<Network> network_;
  Platform platform_;
};

}  // namespace sayolt
