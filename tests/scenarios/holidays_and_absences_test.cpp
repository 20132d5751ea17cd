// Weeks that leave the plain office routine: holidays and absence days under both priorities,
// a countdown stopped with "中止", a start outside the automatic window, and a timetable without
// a next start.
#include <gtest/gtest.h>

#include "tests/scenarios/scenario_test_support.h"

namespace sayolt::schedtest {
namespace {

struct Expected {
  const char* date;
  const char* powerOn;
  const char* endTime;
  std::vector<std::string> autoPrograms;
};

void expectDays(const Scenario& s, const std::vector<Expected>& days) {
  for (const Expected& d : days) {
    SCOPED_TRACE(d.date);
    const auto day = s.dayFrom(d.date);
    ASSERT_FALSE(day.empty()) << s.dump();
    EXPECT_EQ(fmt(day.front().time), std::string(d.date) + " " + d.powerOn);
    EXPECT_EQ(eventsOf(day, "start-kind", "kind"), (std::vector<std::string>{"1"}));
    EXPECT_EQ(eventsOf(day, "countdown", "endTime"), (std::vector<std::string>{d.endTime}));
    std::vector<std::string> autoLaunched;
    for (const auto& e : day)
      if (e.event == "launch" && e.field("list") == "auto") autoLaunched.push_back(e.field("name"));
    EXPECT_EQ(autoLaunched, d.autoPrograms);
  }
}

// Wednesday 1/6 is registered as a holiday and as an absence day, Thursday 1/7 as a holiday,
// Saturday 1/9 as an absence day.
Settings specialWeek(const char* priority) {
  Settings s = officeTimetable();
  s.priority(priority).holidays({"2027/1/6", "2027/1/7"}).absences({"2027/1/6", "2027/1/9"});
  return s;
}

TEST(SpecialDays, AbsenceFirst_AbsenceWinsOverHolidayAndWeekend) {
  Scenario s(specialWeek("0"), "2027-01-05 08:30:00", 5);

  ASSERT_FALSE(s.result.endedWithoutShutdown) << s.dump();
  expectDays(s, {
                    {"2027-01-05", "08:30:00", "17:30", {"メール", "日報"}},
                    {"2027-01-06", "09:00:00", "16:30", {"留守番"}},  // 不在
                    {"2027-01-07", "10:00:00", "16:00", {}},          // 祝日
                    {"2027-01-08", "08:30:00", "17:30", {"メール", "日報"}},
                    {"2027-01-09", "09:00:00", "16:30", {"留守番"}},  // 不在 on a Saturday
                });
  EXPECT_EQ(s.fieldOf("record-next-start", "value"),
            (std::vector<std::string>{"9:00", "10:00", "8:30", "9:00", "10:00"}));
  // No backup on the holiday or the absence days.
  EXPECT_EQ(s.timesOf("stop"), (std::vector<std::string>{"2027-01-05 17:00:00", "2027-01-08 17:00:00"}));
  expectPowerOnsFollowTheRecordedStarts(s);
}

TEST(SpecialDays, WeekendAndHolidayFirst_HolidayWinsAndWeekendAbsenceIsIgnored) {
  Scenario s(specialWeek("1"), "2027-01-05 08:30:00", 5);

  ASSERT_FALSE(s.result.endedWithoutShutdown) << s.dump();
  expectDays(s, {
                    {"2027-01-05", "08:30:00", "17:30", {"メール", "日報"}},
                    {"2027-01-06", "10:00:00", "16:00", {}},  // 祝日
                    {"2027-01-07", "10:00:00", "16:00", {}},  // 祝日
                    {"2027-01-08", "08:30:00", "17:30", {"メール", "日報"}},
                    {"2027-01-09", "09:00:00", "12:00", {}},  // 土曜日
                });
  EXPECT_EQ(s.fieldOf("record-next-start", "value"),
            (std::vector<std::string>{"10:00", "10:00", "8:30", "9:00", "10:00"}));
  expectPowerOnsFollowTheRecordedStarts(s);
}

TEST(SpecialDays, AbsenceOnAWeekdayCountsUnderBothPriorities) {
  for (const char* priority : {"0", "1"}) {
    SCOPED_TRACE(priority);
    Settings settings = officeTimetable();
    settings.priority(priority).absences({"2027/1/5"});
    Scenario s(settings, "2027-01-04 08:30:00", 2);

    expectDays(s, {{"2027-01-05", "09:00:00", "16:30", {"留守番"}}});
  }
}

TEST(CancelledCountdown, AbortAtTheSeventhSecondShutsDownAtTheNextEnd) {
  Settings settings = officeTimetable();
  settings.start(kMonday, 1, "19:00").end(kMonday, 1, "20:00");
  Scenario s(settings, "2027-01-04 08:30:00", 2, {7});

  const auto monday = s.dayFrom("2027-01-04");
  EXPECT_EQ(eventsOf(monday, "countdown", ""), (std::vector<std::string>{"2027-01-04 17:30:00", "2027-01-04 20:00:00"}))
      << s.dump();
  EXPECT_EQ(eventsOf(monday, "shutdown", ""), (std::vector<std::string>{"2027-01-04 20:00:10"}));
  EXPECT_EQ(eventsOf(monday, "record-next-start", "value"), (std::vector<std::string>{"8:30"}));
  EXPECT_EQ(fmt(s.dayFrom("2027-01-05").front().time), "2027-01-05 08:30:00");
  expectPowerOnsFollowTheRecordedStarts(s);
}

TEST(ManualStart, PowerOnOutsideTheWindowRunsTheManualPrograms) {
  // Recorded next start 8:30, but the PC is switched on by hand at 10:00.
  Scenario s(officeTimetable(), "2027-01-04 10:00:00", 2);

  const auto monday = s.dayFrom("2027-01-04");
  EXPECT_EQ(eventsOf(monday, "start-kind", "kind"), (std::vector<std::string>{"0"})) << s.dump();
  std::vector<std::string> launched;
  for (const auto& e : monday)
    if (e.event == "launch") launched.push_back(e.field("list") + ":" + e.field("name"));
  // The 9:00 backup is gone by; the "sed" at 17:00 finds nothing to stop.
  EXPECT_EQ(launched, (std::vector<std::string>{"manual:メモ帳"}));
  EXPECT_TRUE(eventsOf(monday, "stop", "").empty());
  EXPECT_EQ(eventsOf(monday, "countdown", ""), (std::vector<std::string>{"2027-01-04 17:30:00"}));
  // The next day is the scheduled one again.
  expectDays(s, {{"2027-01-05", "08:30:00", "17:30", {"メール", "日報"}}});
  expectPowerOnsFollowTheRecordedStarts(s);
}

TEST(ManualStart, PowerOnJustBeforeTheRecordedStartIsManual) {
  Scenario s(officeTimetable(), "2027-01-04 08:29:00", 1);

  EXPECT_EQ(s.fieldOf("start-kind", "kind"), (std::vector<std::string>{"0"})) << s.dump();
}

TEST(NoNextStart, ShutdownGoesOnAndTheNextPowerOnIsManual) {
  // Tuesday has an end but no start: Monday's countdown finds no next start.
  Settings settings = officeTimetable();
  settings.end(kMonday, 0, "18:00").start(kTuesday, 0, "").end(kTuesday, 0, "17:00");
  Scenario s(settings, "2027-01-04 08:30:00", 1);

  const auto monday = s.dayFrom("2027-01-04");
  EXPECT_EQ(eventsOf(monday, "countdown", ""), (std::vector<std::string>{"2027-01-04 18:00:00"})) << s.dump();
  const auto messages = eventsOf(monday, "message", "text");
  EXPECT_NE(std::find(messages.begin(), messages.end(), "次回起動時刻を設定し直してください。"), messages.end());
  EXPECT_EQ(eventsOf(monday, "record-next-start", "value"), (std::vector<std::string>{"23:59"}));
  EXPECT_EQ(eventsOf(monday, "shutdown", ""), (std::vector<std::string>{"2027-01-04 18:00:10"}));
  // The PC comes on when its clock reaches midnight; nothing was planned, so it is a manual start.
  const auto powerOns = s.of("power-on");
  ASSERT_GE(powerOns.size(), 2u);
  EXPECT_EQ(fmt(powerOns[1].time), "2027-01-04 23:59:59");
  EXPECT_EQ(s.fieldOf("start-kind", "kind"), (std::vector<std::string>{"1", "0"}));
  EXPECT_FALSE(s.result.endedWithoutShutdown);
  expectPowerOnsFollowTheRecordedStarts(s);
}

}  // namespace
}  // namespace sayolt::schedtest
