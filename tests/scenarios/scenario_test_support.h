#pragma once
// Whole days of the scheduler through the simulator, checked from the recorded events.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/core/scheduler_test_support.h"
#include "tools/simulation/simulation.h"

namespace sayolt::schedtest {

// The office timetable of the scenarios. The schedule day begins at 3:00.
//   Mon-Fri 8:30-17:30, Sat 9:00-12:00, Sun 10:00-10:30, 祝日 10:00-16:00, 不在 9:00-16:30.
//   Each next day's start lies before the day's end on the clock, so every next start is found.
//   Automatic start: メール and 日報 on weekdays, 週報 on Mondays, 留守番 on absence days.
//   Manual start: メモ帳. Weekdays: バックアップ from 9:00, stopped by "sed" at 17:00.
inline Settings officeTimetable() {
  Settings s;
  s.startTolerance("60").priority("1").dayStartMinutes(180).trayIcon("1");
  s.servers("ntp1.example.jp", "ntp2.example.jp").nextStart("8:30");
  s.day({kMonday, kTuesday, kWednesday, kThursday, kFriday}, "8:30", "17:30");
  s.day({kSaturday}, "9:00", "12:00").day({kSunday}, "10:00", "10:30");
  s.day({kHoliday}, "10:00", "16:00").day({kAbsence}, "9:00", "16:30");
  s.autoProgram(0, "メール", "C:\\Program Files\\Mail\\mail.exe", "10");
  s.autoProgram(1, "日報", "C:\\Users\\Public\\日報.xls", "5");
  s.autoProgram(2, "週報", "C:\\Users\\Public\\週報.xls", "0");
  s.autoProgram(3, "留守番", "C:\\Tools\\away.exe", "0");
  for (int c = kMonday; c <= kFriday; ++c) s.plan(0, c, 0).plan(1, c, 0);
  s.plan(2, kMonday, 0).plan(3, kAbsence, 0);
  s.manualProgram(0, "メモ帳", "C:\\Windows\\notepad.exe", "0");
  s.timedProgram(0, "バックアップ", "C:\\Tools\\backup.exe").timedProgram(1, "バックアップ", "sed");
  for (int c = kMonday; c <= kFriday; ++c) s.timedRun(c, 0, "9:00", "0").timedRun(c, 1, "17:00", "1");
  return s;
}

// One run of the simulator over a settings file written for the scenario.
class Scenario {
 public:
  Scenario(const Settings& settings, const char* from, int days, std::vector<int> abortAt = {}) {
    const auto file = folder_.path() / keys::kSettingsFileName;
    settings.writeTo(file);
    SimulationOptions options;
    options.settingsFile = file;
    options.from = at(from);
    options.days = days;
    options.abortCountdownAtSecond = std::move(abortAt);
    result = simulate(options);
  }

  std::vector<SimulationEvent> of(const std::string& event) const {
    std::vector<SimulationEvent> found;
    for (const auto& e : result.events)
      if (e.event == event) found.push_back(e);
    return found;
  }
  // "yyyy-mm-dd hh:mm:ss" of every event of that kind.
  std::vector<std::string> timesOf(const std::string& event) const {
    std::vector<std::string> times;
    for (const auto& e : of(event)) times.push_back(fmt(e.time));
    return times;
  }
  std::vector<std::string> fieldOf(const std::string& event, const std::string& field) const {
    std::vector<std::string> values;
    for (const auto& e : of(event)) values.push_back(e.field(field));
    return values;
  }
  // The events between the power-on that starts on `date` ("yyyy-mm-dd") and the next power-on.
  std::vector<SimulationEvent> dayFrom(const std::string& date) const {
    std::vector<SimulationEvent> day;
    bool inside = false;
    for (const auto& e : result.events) {
      if (e.event == "power-on") inside = fmt(e.time).rfind(date, 0) == 0;
      if (inside) day.push_back(e);
    }
    return day;
  }
  std::string recordedNextStart() const {
    return IniSnapshot::fromBytes(result.finalSettingsBytes).get(keys::kNextStartSection, keys::kNextStartKey);
  }
  std::string dump() const {
    std::string text;
    for (const auto& e : result.events) text += formatEventText(e) + "\n";
    return text;
  }

  SimulationResult result;

 private:
  TempFolder folder_;
};

inline std::vector<std::string> eventsOf(const std::vector<SimulationEvent>& events, const std::string& event,
                                         const std::string& field) {
  std::vector<std::string> values;
  for (const auto& e : events)
    if (e.event == event) values.push_back(field.empty() ? fmt(e.time) : e.field(field));
  return values;
}

// Every power-on after a shutdown comes when the PC's clock reads midnight, at the recorded next
// start; it is an automatic start exactly when that next start was one found in the timetable
// ("23:59" stands for none).
inline void expectPowerOnsFollowTheRecordedStarts(const Scenario& s) {
  std::string recorded;
  bool afterShutdown = false;
  for (std::size_t i = 0; i < s.result.events.size(); ++i) {
    const SimulationEvent& e = s.result.events[i];
    if (e.event == "record-next-start") recorded = e.field("value");
    if (e.event == "shutdown") afterShutdown = true;
    if (e.event != "power-on" || !afterShutdown) continue;
    SCOPED_TRACE("power-on at " + fmt(e.time));
    afterShutdown = false;
    EXPECT_EQ(formatHourMinuteSecond(timeOfDayOf(e.pcClock)), "0:00:00");
    const bool planned = recorded != "23:59";
    EXPECT_EQ(formatHourMinuteSecond(timeOfDayOf(e.time)), planned ? recorded + ":00" : "23:59:59");
    bool decided = false;
    for (std::size_t j = i + 1; j < s.result.events.size() && s.result.events[j].event != "power-on"; ++j) {
      if (s.result.events[j].event != "start-kind") continue;
      EXPECT_EQ(s.result.events[j].field("kind"), planned ? "1" : "0");
      decided = true;
      break;
    }
    EXPECT_TRUE(decided || i + 1 == s.result.events.size()) << "no start kind after this power-on";
  }
}

}  // namespace sayolt::schedtest
