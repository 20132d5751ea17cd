// The red marks: the week, the week's wrap from Sunday into Monday, holidays and absence days.
#include "workbook/conflicts.h"

#include <gtest/gtest.h>

namespace sayolt::workbook {
namespace {

enum Day { Mon, Tue, Wed, Thu, Fri, Sat, Sun, Hol, Abs };
using R = ConflictRule;

class Plan {
 public:
  Plan& start(int day, const char* time) {
    in_.startTimes[day][starts_[day]++] = time;
    return *this;
  }
  Plan& end(int day, const char* time) {
    in_.endTimes[day][ends_[day]++] = time;
    return *this;
  }
  Plan& run(int day, const char* time) {
    in_.runs[day][runs_[day]++] = {time, 0};
    in_.programNames[0] = "集計";
    return *this;
  }
  // A run whose program number has no name, or names a program without one.
  Plan& unnamedRun(int day, const char* time, int program) {
    in_.runs[day][runs_[day]++] = {time, program};
    return *this;
  }
  Plan& dayStart(const char* text) {
    in_.dayStart = text;
    return *this;
  }
  // "day index rule" for every conflict, in the order found.
  std::vector<std::string> conflicts() const {
    std::vector<std::string> out;
    for (const auto& c : findConflicts(buildTimetable(in_)))
      out.push_back(std::to_string(c.category) + " " + std::to_string(c.entry) + " " + ruleName(c.rule));
    return out;
  }

 private:
  TimetableInput in_;
  int starts_[9] = {}, ends_[9] = {}, runs_[9] = {};
};

using Marks = std::vector<std::string>;

// 8:00 to 17:00 on the days from..to.
Plan office(int from = Mon, int to = Sun) {
  Plan p;
  for (int d = from; d <= to; ++d) p.start(d, "8:00").end(d, "17:00");
  return p;
}

TEST(Conflicts, AnOrdinaryWeekHasNone) { EXPECT_EQ(office().conflicts(), Marks{}); }

TEST(Conflicts, MoreThanADayOffIsMarkedExactlyADayIsNot) {
  Plan late = office(Wed);
  late.start(Mon, "8:00").end(Mon, "22:00").start(Tue, "23:00").end(Tue, "23:30");
  EXPECT_EQ(late.conflicts(), Marks{"1 0 over-24h-off"});
  Plan exact = office(Wed);
  exact.start(Mon, "8:00").end(Mon, "22:00").start(Tue, "22:00").end(Tue, "23:30");
  EXPECT_EQ(exact.conflicts(), Marks{});
}

TEST(Conflicts, MoreThanADayOnIsMarked) {
  Plan p = office(Wed);
  p.start(Mon, "8:00").end(Tue, "9:00").start(Tue, "10:00").end(Tue, "17:00");
  EXPECT_EQ(p.conflicts(), Marks{"1 0 over-24h-on"});
  Plan night;  // past midnight is still the same schedule day
  night.dayStart("5:00");
  for (int d = Mon; d <= Sun; ++d) night.start(d, "8:00").end(d, d == Tue ? "4:00" : "2:00");
  EXPECT_EQ(night.conflicts(), Marks{});
}

TEST(Conflicts, RunWhileOffBetweenShutdownAndStart) {
  Plan p = office();
  p.run(Wed, "18:00");
  EXPECT_EQ(p.conflicts(), Marks{"2 2 run-while-off"});
  Plan during = office();
  during.run(Wed, "12:00");
  EXPECT_EQ(during.conflicts(), Marks{});
}

TEST(Conflicts, RunWithoutAProgramNameIsNeverARunWhileOff) {
  Plan p = office();
  p.unnamedRun(Wed, "18:00", 3).unnamedRun(Thu, "19:00", -1).unnamedRun(Fri, "20:00", 25);
  EXPECT_EQ(p.conflicts(), Marks{});
  // Still an entry of its column: a named run at the same time below it is marked.
  Plan same = office();
  same.unnamedRun(Wed, "12:00", 3).run(Wed, "12:00");
  EXPECT_EQ(same.conflicts(), Marks{"2 2 same-time"});
}

TEST(Conflicts, EarlyMondayRunDependsOnHowSundayEnds) {
  Plan sundayOff = office();
  sundayOff.run(Mon, "7:00");
  EXPECT_EQ(sundayOff.conflicts(), Marks{"0 0 run-while-off"});

  // Sunday starts and never shuts down: the run is fine, Monday's start is a second start (and
  // the last shutdown lies two days back).
  Plan sundayOn = office(Mon, Sat);
  sundayOn.start(Sun, "8:00").run(Mon, "7:00");
  EXPECT_EQ(sundayOn.conflicts(), (Marks{"0 1 double-start", "0 1 over-24h-off"}));
}

TEST(Conflicts, TwoStartsOrTwoShutdownsInARow) {
  Plan p = office();
  p.start(Thu, "12:00").end(Fri, "18:00");
  EXPECT_EQ(p.conflicts(), (Marks{"3 1 double-start", "4 2 double-end"}));
}

TEST(Conflicts, SameTimeMarksTheLowerEntryWithinAColumnOnly) {
  Plan p = office();
  p.run(Tue, "17:00");
  EXPECT_EQ(p.conflicts(), (Marks{"1 2 run-while-off", "1 2 same-time"}));
  Plan across = office(Wed);  // Monday's last and Tuesday's first entry are not compared
  across.start(Mon, "8:00").end(Mon, "23:00").start(Tue, "23:00").end(Tue, "23:30");
  EXPECT_EQ(across.conflicts(), Marks{});
}

TEST(Conflicts, WeekWrapFromSaturdayAcrossAnEmptySunday) {
  // Off from Saturday 22:00 until Monday 8:00: 34 hours.
  Plan p = office(Mon, Fri);
  p.start(Sat, "8:00").end(Sat, "22:00");
  EXPECT_EQ(p.conflicts(), Marks{"0 0 over-24h-off"});
  Plan withSunday = p;
  withSunday.start(Sun, "10:00").end(Sun, "20:00");
  EXPECT_EQ(withSunday.conflicts(), Marks{});
}

TEST(Conflicts, HolidayAndAbsenceColumnsStandAlone) {
  Plan p = office();
  p.end(Hol, "9:00").start(Hol, "10:00").start(Hol, "12:00").run(Abs, "7:00").start(Abs, "8:00").end(Abs, "8:00");
  p.run(Abs, "9:00");
  EXPECT_EQ(p.conflicts(), (Marks{"7 2 double-start", "8 2 same-time", "8 3 run-while-off"}));
}

TEST(Conflicts, EmptyTimetableHasNone) { EXPECT_EQ(Plan().conflicts(), Marks{}); }

}  // namespace
}  // namespace sayolt::workbook
