#pragma once
// A platform that looks but never acts: it reads the real clock and runs a real event loop and
// network, but setting the clock moves only its own clock, dialogs answer from a script and are
// recorded, no program starts, the PC never powers off and no icon shows. For tools and
// benchmarks that run the scheduler's code on a live machine.
#include <memory>
#include <string>
#include <vector>

#include "platform/fake/fake_single_instance.h"
#include "platform/platform.h"

namespace sayolt {

// Starts at the system clock; setting it shifts only this clock, as the PC's would shift.
class NullClock : public Clock {
 public:
  NullClock();
  ~NullClock() override;
  LocalTime now() const override;
  MonotonicMs monotonicMs() const override;
  bool setUtc(UtcTime utc) override;
  bool setLocalTimeOfDay(TimeOfDay timeOfDay) override;
  bool syncHardwareClock() override { return false; }

  // Every moment setUtc was given, oldest first.
  std::vector<UtcTime> utcRequests;

 private:
  std::unique_ptr<Clock> system_;  // read only
  std::chrono::steady_clock::time_point start_;
  std::chrono::milliseconds offset_{0};  // this clock minus the system clock
};

struct ShownDialog {
  enum class Kind { MessageOk, YesNo, Notice, OpenFile } kind;
  std::string title;
  std::string text;
};

class NullDialogs : public Dialogs {
 public:
  void messageOk(const std::string& title, const std::string& text) override;
  MessageAnswer askYesNo(const std::string& title, const std::string& text) override;
  void notice(const std::string& title, const std::string& text) override;
  std::string openFileName(const std::string& title, const std::string& startFolder,
                           const std::string& filter) override;

  MessageAnswer yesNoAnswer = kUnscriptedAnswer;
  std::string openFileAnswer;  // "" answers as a cancel
  std::vector<ShownDialog> shown;
};

class NullProcesses : public Processes {
 public:
  std::unique_ptr<RunningProcess> startExecutable(const std::string&) override { return nullptr; }
  bool isExecutableFile(const std::string&) override { return false; }
  bool openDocumentAndWait(const std::string&) override { return false; }
  bool openWorkbook(const std::string&, bool) override { return false; }
  bool fileExists(const std::string&) override { return false; }
};

class NullPower : public Power {
 public:
  bool requestShutdown() override { return false; }
  bool armWakeAlarm(std::chrono::seconds) override { return false; }
};

class NullTray : public Tray {
 public:
  void show(TrayIconKind, const std::string&) override {}
  void remove() override {}
  bool visible() const override { return false; }
  void setOnContextMenu(std::function<void()>) override {}
};

class NullPlatform {
 public:
  // A QCoreApplication must exist before create() and outlive the object.
  static std::unique_ptr<NullPlatform> create();

  NullPlatform();
  NullPlatform(const NullPlatform&) = delete;
  NullPlatform& operator=(const NullPlatform&) = delete;

  Platform& platform() { return platform_; }
  NullClock& clock() { return clock_; }
  NullDialogs& dialogs() { return dialogs_; }

 private:
  NullClock clock_;
  NullDialogs dialogs_;
  NullProcesses processes_;
  NullPower power_;
  NullTray tray_;
  // Holds the names it claims within the process; asks no other program anything.
  FakeSingleInstance instances_;
  std::unique_ptr<EventLoop> events_;
  std::unique_ptr<Network> network_;
  Platform platform_;
};

}  // namespace sayolt
