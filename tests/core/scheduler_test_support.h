#pragma once
// The scheduler on the fake platform, for the tests of start-up, the tick, the launcher and the
// shutdown: a settings file in a folder of its own, a time check that answers a chosen start kind,
// a countdown dialog whose "中止" a test can press, and a log of what the scheduler reported.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "scheduler/core/clock_check.h"
#include "scheduler/core/program_end.h"
#include "scheduler/core/scheduler.h"
#include "shared/ini_file.h"
#include "shared/settings_keys.h"
#include "shared/text_rules.h"
#include "tests/support/test_files.h"

namespace sayolt::schedtest {

using namespace std::chrono_literals;

// "yyyy-mm-dd hh:mm:ss" as a local moment. 2027-01-04 is a Monday.
inline LocalTime at(const char* text) { return test::localAt(text); }

inline TimeOfDay tod(const char* text) {
  const auto t = parseTimeOfDay(text);
  if (!t) throw std::runtime_error(std::string("bad test time of day ") + text);
  return *t;
}

inline std::string fmt(LocalTime t) { return formatLocalDateTime(t); }

using test::TempFolder;

// A settings file described key by key, written in code page 932 by the settings engine.
class Settings {
 public:
  Settings& set(std::string section, std::string key, std::string value) {
    batch_.set(std::move(section), std::move(key), std::move(value));
    return *this;
  }
  Settings& remove(std::string section, std::string key) {
    batch_.deleteKey(std::move(section), std::move(key));
    return *this;
  }
  Settings& startTolerance(std::string seconds) {
    return set(keys::kStartToleranceSection, keys::kStartToleranceKey, std::move(seconds));
  }
  Settings& priority(std::string mode) { return set(keys::kPrioritySection, keys::kPriorityKey, std::move(mode)); }
  Settings& dayStartMinutes(int minutes) {
    return set(keys::kDayStartSection, keys::kDayStartKey, std::to_string(minutes));
  }
  Settings& start(int category, int slot, std::string time) {
    return set(keys::kStartEndSection, keys::startTimeKey(category, slot), std::move(time));
  }
  Settings& end(int category, int slot, std::string time) {
    return set(keys::kStartEndSection, keys::endTimeKey(category, slot), std::move(time));
  }
  // The same start and end on the given categories, slot 0.
  Settings& day(std::initializer_list<int> categories, const std::string& startTime, const std::string& endTime) {
    for (int c : categories) start(c, 0, startTime).end(c, 0, endTime);
    return *this;
  }
  Settings& autoProgram(int i, std::string name, std::string path, std::string delay) {
    return program(keys::kAutoProgramSection, i, std::move(name), std::move(path), std::move(delay));
  }
  Settings& manualProgram(int i, std::string name, std::string path, std::string delay) {
    return program(keys::kManualProgramSection, i, std::move(name), std::move(path), std::move(delay));
  }
  Settings& plan(int program, int category, int slot, std::string flag = "1") {
    return set(keys::kAutoPlanSection, keys::autoPlanKey(program, category, slot), std::move(flag));
  }
  Settings& timedProgram(int n, std::string name, std::string path) {
    set(keys::kTimedProgramSection, keys::programNameKey(n), std::move(name));
    return set(keys::kTimedProgramSection, keys::programPathKey(n), std::move(path));
  }
  Settings& timedRun(int category, int row, std::string time, std::string number) {
    set(keys::kTimedRunSection, keys::timedRunStartKey(category, row), std::move(time));
    return set(keys::kTimedRunSection, keys::timedRunNumberKey(category, row), std::move(number));
  }
  Settings& holidays(const std::vector<std::string>& dates) { return dateList(keys::kHolidaySection, dates); }
  Settings& absences(const std::vector<std::string>& dates) { return dateList(keys::kAbsenceSection, dates); }
  Settings& nextStart(std::string time) { return set(keys::kNextStartSection, keys::kNextStartKey, std::move(time)); }
  Settings& servers(std::string first, std::string second) {
    set(keys::kNtpSection, keys::ntpServerKey(0), std::move(first));
    return set(keys::kNtpSection, keys::ntpServerKey(1), std::move(second));
  }
  Settings& trayIcon(std::string flag) { return set(keys::kTraySection, keys::kTrayKey, std::move(flag)); }

  void writeTo(const std::filesystem::path& file) const { IniFile(file).apply(batch_); }

 private:
  Settings& program(const char* section, int i, std::string name, std::string path, std::string delay) {
    set(section, keys::programNameKey(i), std::move(name));
    set(section, keys::programPathKey(i), std::move(path));
    return set(section, keys::programDelayKey(i), std::move(delay));
  }
  Settings& dateList(const char* section, const std::vector<std::string>& dates) {
    std::vector<std::string> entries;
    for (std::size_t n = 0; n < dates.size(); ++n)
      entries.push_back(keys::dateListKey(static_cast<int>(n + 1)) + "=" + dates[n]);
    batch_.setSection(section, std::move(entries));
    return *this;
  }

  IniBatch batch_;
};

// The minimum the scheduler needs: a start tolerance of one second, weekend and holiday first,
// the schedule day beginning at midnight.
inline Settings baseSettings() {
  Settings s;
  s.startTolerance("1").priority("1").dayStartMinutes(0);
  return s;
}

// The time check: answers the chosen start kind, and puts the PC's clock right as the servers would.
class StubClockCheck : public ClockCheck {
 public:
  explicit StubClockCheck(FakePlatform& fake) : fake_(fake) {}
  std::optional<int> checkClock(std::chrono::seconds startTolerance) override {
    ++calls;
    calledAt = fake_.trueNow();
    toleranceSeen = startTolerance;
    if (setsClockRight) fake_.setPcClock(fake_.trueNow());
    return answer;
  }

  std::optional<int> answer = 1;
  bool setsClockRight = true;
  int calls = 0;
  std::optional<LocalTime> calledAt;
  std::chrono::seconds toleranceSeen{0};

 private:
  FakePlatform& fake_;
};

// The countdown dialog. "中止" can be pressed now or at a moment of true time.
class RecordingCountdown : public CountdownView {
 public:
  explicit RecordingCountdown(FakePlatform& fake) : fake_(fake) {}
  void show(std::function<void()> onAbort) override {
    shownAt.push_back(fake_.trueNow());
    visible = true;
    onAbort_ = std::move(onAbort);
  }
  void setText(const std::string& text) override { texts.push_back({fake_.trueNow(), text}); }
  void close() override { visible = false; }

  // False when the dialog is not on screen.
  bool press() {
    if (!visible || !onAbort_) return false;
    onAbort_();
    return true;
  }
  void pressAt(LocalTime when) {
    fake_.scheduleAt(
        fake_.monotonicNow() + std::chrono::duration_cast<std::chrono::milliseconds>(when - fake_.trueNow()).count(),
        [this] { pressed.push_back(press()); });
  }

  struct Text {
    LocalTime time;
    std::string text;
  };
  std::vector<LocalTime> shownAt;
  std::vector<Text> texts;
  std::vector<bool> pressed;  // per scheduled press: whether the dialog was there
  bool visible = false;

 private:
  FakePlatform& fake_;
  std::function<void()> onAbort_;
};

struct Reported {
  LocalTime time;  // true time
  std::string what;
  std::string detail;
};

class RecordingObserver : public SchedulerObserver {
 public:
  explicit RecordingObserver(FakePlatform& fake) : fake_(fake) {}
  void onStartKind(int kind, int slot) override {
    add("start-kind", std::to_string(kind) + "/" + std::to_string(slot));
  }
  void onLaunch(LaunchList list, const std::string& name, const std::string&, LaunchHow how) override {
    const char* lists[] = {"auto", "manual", "timed"};
    const char* hows[] = {"exe", "workbook", "shell"};
    add("launch", std::string(lists[static_cast<int>(list)]) + ":" + name + ":" + hows[static_cast<int>(how)]);
  }
  void onStop(const std::string& name) override { add("stop", name); }
  void onCountdown(TimeOfDay endTime) override { add("countdown", formatHourMinuteSecond(endTime)); }
  void onCountdownAborted() override { add("countdown-aborted", ""); }
  void onRecordNextStart(const std::string& value) override { add("record-next-start", value); }
  void onClockShift(TimeOfDay to, bool accepted) override {
    add("clock-shift", formatHourMinuteSecond(to) + (accepted ? "" : " refused"));
  }
  void onShutdownRequested(bool accepted) override { add("shutdown", accepted ? "accepted" : "refused"); }
  void onScheduleReloaded() override { add("reloaded", ""); }

  std::vector<Reported> of(const std::string& what) const {
    std::vector<Reported> found;
    for (const auto& r : events)
      if (r.what == what) found.push_back(r);
    return found;
  }
  std::vector<std::string> details(const std::string& what) const {
    std::vector<std::string> found;
    for (const auto& r : of(what)) found.push_back(r.detail);
    return found;
  }

  std::vector<Reported> events;

 private:
  void add(std::string what, std::string detail) {
    events.push_back({fake_.trueNow(), std::move(what), std::move(detail)});
  }
  FakePlatform& fake_;
};

// One scheduler on the fake platform, over a settings file written for the test.
class SchedulerRig {
 public:
  SchedulerRig(LocalTime trueStart, const Settings& settings)
      : fake(trueStart),
        settingsPath(folder.path() / keys::kSettingsFileName),
        clockCheck(fake),
        countdown(fake),
        observer(fake) {
    settings.writeTo(settingsPath);
    scheduler = std::make_unique<Scheduler>(fake.platform(), clockCheck, countdown, settingsPath, &observer);
  }

  // The load of the main window. Returns how the program ended, if it did.
  std::optional<ProgramEnded> start() {
    return guarded([&] { scheduler->start(); });
  }

  // Lets virtual time run, with the timer ticking, until the true moment `until`.
  std::optional<ProgramEnded> runUntil(LocalTime until) {
    const MonotonicMs horizon =
        fake.monotonicNow() + std::chrono::duration_cast<std::chrono::milliseconds>(until - fake.trueNow()).count();
    fake.setHorizon(horizon);
    auto ended = guarded([&] {
      try {
        fake.runUntil([] { return false; }, std::nullopt);
      } catch (const FakeHorizonReached&) {
      } catch (const FakeDeadlock&) {
        // Nothing scheduled (the timer stopped): time still goes on.
        if (fake.monotonicNow() < horizon)
          fake.advanceBlocking(std::chrono::milliseconds(horizon - fake.monotonicNow()));
      }
    });
    fake.setHorizon(std::nullopt);
    if (!ended && scheduler->ended()) ended = scheduler->ended();  // ended inside a tick
    return ended;
  }

  // Runs a call of the scheduler directly (start-up, the panel's buttons).
  std::optional<ProgramEnded> guarded(const std::function<void()>& call) {
    try {
      call();
    } catch (const ProgramEnded& ended) {
      return ended;
    }
    return std::nullopt;
  }

  // Holds the thread at the true moment `when` for `duration`: no event is handled meanwhile.
  void blockAt(LocalTime when, std::chrono::milliseconds duration) {
    fake.scheduleAt(
        fake.monotonicNow() + std::chrono::duration_cast<std::chrono::milliseconds>(when - fake.trueNow()).count(),
        [this, duration] { fake.advanceBlocking(duration); });
  }

  std::vector<FakeRecord> records(const std::string& event) const {
    std::vector<FakeRecord> found;
    for (const auto& r : fake.records())
      if (r.event == event) found.push_back(r);
    return found;
  }
  // The given field of every record of that event, in order.
  std::vector<std::string> fields(const std::string& event, const std::string& field) const {
    std::vector<std::string> found;
    for (const auto& r : records(event)) found.push_back(r.field(field));
    return found;
  }
  // Message boxes and notices, by text.
  std::vector<std::string> messages() const { return fields("message", "text"); }
  std::vector<std::string> notices() const { return fields("notice", "text"); }

  std::string setting(const std::string& section, const std::string& key) const {
    return IniSnapshot::load(settingsPath).get(section, key);
  }
  void rewriteSettings(const Settings& more) const { more.writeTo(settingsPath); }

  TempFolder folder;
  FakePlatform fake;
  std::filesystem::path settingsPath;
  StubClockCheck clockCheck;
  RecordingCountdown countdown;
  RecordingObserver observer;
  std::unique_ptr<Scheduler> scheduler;
};

}  // namespace sayolt::schedtest
