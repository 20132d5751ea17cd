// A week of the office timetable on virtual time: every power-on, start-up program, timed run,
// countdown, recorded next start and shutdown, as the simulator records them.
#include <gtest/gtest.h>

#include "tests/scenarios/scenario_test_support.h"

namespace sayolt::schedtest {
namespace {

struct PlannedDay {
  const char* date;
  const char* powerOn;
  const char* countdown;  // also the end time the countdown names
  const char* next;       // the next start it records
  std::vector<std::string> autoPrograms;
  bool backup;  // バックアップ 9:00 to 17:00
};

void expectDay(const Scenario& s, const PlannedDay& p) {
  SCOPED_TRACE(p.date);
  const auto day = s.dayFrom(p.date);
  ASSERT_FALSE(day.empty()) << s.dump();
  const std::string date = p.date;
  EXPECT_EQ(fmt(day.front().time), date + " " + p.powerOn);
  EXPECT_EQ(eventsOf(day, "start-kind", "kind"), (std::vector<std::string>{"1"}));
  EXPECT_EQ(eventsOf(day, "start-kind", "slot"), (std::vector<std::string>{"0"}));
  std::vector<std::string> autoLaunched, timed;
  for (const auto& e : day) {
    if (e.event != "launch") continue;
    (e.field("list") == "auto" ? autoLaunched : timed).push_back(e.field("name"));
  }
  EXPECT_EQ(autoLaunched, p.autoPrograms);
  if (p.backup) {
    EXPECT_EQ(timed, (std::vector<std::string>{"バックアップ"}));
    EXPECT_EQ(eventsOf(day, "launch", "how").back(), "exe");
    EXPECT_EQ(eventsOf(day, "stop", ""), (std::vector<std::string>{date + " 17:00:00"}));
  } else {
    EXPECT_TRUE(timed.empty());
    EXPECT_TRUE(eventsOf(day, "stop", "").empty());
  }
  const std::string end = date + " " + p.countdown;
  EXPECT_EQ(eventsOf(day, "countdown", ""), (std::vector<std::string>{end}));
  EXPECT_EQ(eventsOf(day, "record-next-start", "value"), (std::vector<std::string>{p.next}));
  const auto shutdown = eventsOf(day, "shutdown", "");
  ASSERT_EQ(shutdown.size(), 1u);
  EXPECT_EQ(shutdown[0], fmt(at(end.c_str()) + 10s));
}

const std::vector<std::string> kWeekday = {"メール", "日報"};
const std::vector<std::string> kMondayPrograms = {"メール", "日報", "週報"};

TEST(OfficeWeek, EveryDayStartsAutomaticallyAtItsTimeAndShutsDownAtItsEnd) {
  Scenario s(officeTimetable(), "2027-01-04 08:30:00", 7);

  ASSERT_FALSE(s.result.endedWithoutShutdown) << s.dump();
  EXPECT_EQ(s.of("power-on").size(), 7u);
  for (const PlannedDay& p : {
           PlannedDay{"2027-01-04", "08:30:00", "17:30:00", "8:30", kMondayPrograms, true},
           PlannedDay{"2027-01-05", "08:30:00", "17:30:00", "8:30", kWeekday, true},
           PlannedDay{"2027-01-06", "08:30:00", "17:30:00", "8:30", kWeekday, true},
           PlannedDay{"2027-01-07", "08:30:00", "17:30:00", "8:30", kWeekday, true},
           PlannedDay{"2027-01-08", "08:30:00", "17:30:00", "9:00", kWeekday, true},
           PlannedDay{"2027-01-09", "09:00:00", "12:00:00", "10:00", {}, false},
           PlannedDay{"2027-01-10", "10:00:00", "10:30:00", "8:30", {}, false},
       })
    expectDay(s, p);
  expectPowerOnsFollowTheRecordedStarts(s);
  EXPECT_EQ(s.recordedNextStart(), "8:30");
}

TEST(OfficeWeek, StartupProgramsFollowOneAnotherAfterTheirDelays) {
  Scenario s(officeTimetable(), "2027-01-04 08:30:00", 1);

  // The time check answers at 8:31:02 (60 s pause, one second for the answer).
  const auto launches = s.of("launch");
  ASSERT_GE(launches.size(), 3u) << s.dump();
  EXPECT_EQ(fmt(launches[0].time), "2027-01-04 08:31:02");
  EXPECT_EQ(launches[0].field("how"), "exe");
  EXPECT_EQ(fmt(launches[1].time), "2027-01-04 08:31:12");
  EXPECT_EQ(launches[1].field("how"), "workbook");
  EXPECT_EQ(fmt(launches[2].time), "2027-01-04 08:31:17");
  EXPECT_EQ(s.timesOf("clock-set"), (std::vector<std::string>{"2027-01-04 08:31:02"}));
}

TEST(OfficeWeek, TimedProgramFromNineIsStoppedBySedAtFive) {
  Scenario s(officeTimetable(), "2027-01-05 08:30:00", 1);

  const auto timed = s.of("launch");
  std::vector<SimulationEvent> backups;
  for (const auto& e : timed)
    if (e.field("list") == "timed") backups.push_back(e);
  ASSERT_EQ(backups.size(), 1u) << s.dump();
  EXPECT_EQ(fmt(backups[0].time), "2027-01-05 09:00:00");
  EXPECT_EQ(backups[0].field("path"), "C:\\Tools\\backup.exe");
  EXPECT_EQ(s.timesOf("stop"), (std::vector<std::string>{"2027-01-05 17:00:00"}));
  EXPECT_EQ(s.fieldOf("stop", "name"), (std::vector<std::string>{"バックアップ"}));
}

TEST(OfficeWeek, ClockShiftPutsMidnightOnTheNextStart) {
  Scenario s(officeTimetable(), "2027-01-08 08:30:00", 2);

  // Friday 17:30:10 to Saturday 9:00 is 15:29:50: the clock is set to 8:30:10.
  EXPECT_EQ(s.fieldOf("clock-shift", "to").at(0), "8:30:10");
  const auto powerOns = s.of("power-on");
  ASSERT_EQ(powerOns.size(), 2u);
  EXPECT_EQ(fmt(powerOns[1].time), "2027-01-09 09:00:00");
  EXPECT_EQ(fmt(powerOns[1].pcClock), "2027-01-09 00:00:00");
}

TEST(OfficeWeek, ShutdownInTheSmallHoursBelongsToTheDayBefore) {
  // Thursday's work runs to 1:30 on Friday morning, before the day start at 3:00.
  Settings settings = officeTimetable();
  settings.end(kThursday, 0, "1:30");
  Scenario s(settings, "2027-01-07 08:30:00", 2);

  const auto thursday = s.dayFrom("2027-01-07");
  EXPECT_EQ(eventsOf(thursday, "countdown", ""), (std::vector<std::string>{"2027-01-08 01:30:00"})) << s.dump();
  EXPECT_EQ(eventsOf(thursday, "countdown", "endTime"), (std::vector<std::string>{"1:30"}));
  EXPECT_EQ(eventsOf(thursday, "record-next-start", "value"), (std::vector<std::string>{"8:30"}));
  // Friday's start is still the scheduled one, with Friday's programs.
  expectDay(s, PlannedDay{"2027-01-08", "08:30:00", "17:30:00", "9:00", kWeekday, true});
  expectPowerOnsFollowTheRecordedStarts(s);
}

TEST(OfficeWeek, NightSessionInTheSmallHoursStartsAutomatically) {
  // Monday has a second session from 0:30 to 1:00 in Tuesday's small hours: the PC goes off at
  // 17:30, comes on at 0:30 in Monday's slot 1 with its own programs, goes off at 1:00 and comes
  // on at 8:30 on Tuesday.
  Settings settings = officeTimetable();
  settings.start(kMonday, 1, "0:30").end(kMonday, 1, "1:00").plan(3, kMonday, 1);
  Scenario s(settings, "2027-01-04 08:30:00", 2);

  EXPECT_EQ(s.timesOf("power-on"),
            (std::vector<std::string>{"2027-01-04 08:30:00", "2027-01-05 00:30:00", "2027-01-05 08:30:00"}))
      << s.dump();
  EXPECT_EQ(s.fieldOf("start-kind", "slot"), (std::vector<std::string>{"0", "1", "0"}));
  const auto night = s.dayFrom("2027-01-05");
  std::vector<std::string> nightLaunches;
  for (const auto& e : night)
    if (e.event == "launch" && fmt(e.time) < "2027-01-05 02:00:00") nightLaunches.push_back(e.field("name"));
  EXPECT_EQ(nightLaunches, (std::vector<std::string>{"留守番"}));
  EXPECT_EQ(s.timesOf("countdown"),
            (std::vector<std::string>{"2027-01-04 17:30:00", "2027-01-05 01:00:00", "2027-01-05 17:30:00"}));
  EXPECT_EQ(s.fieldOf("record-next-start", "value"), (std::vector<std::string>{"0:30", "8:30", "8:30"}));
  expectPowerOnsFollowTheRecordedStarts(s);
}

}  // namespace
}  // namespace sayolt::schedtest
