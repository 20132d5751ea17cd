// A time-specified run whose program was emptied in the editor afterwards: the editor's page check
// lets it through, so the scheduler must step over it quietly and keep its day going.
#include <gtest/gtest.h>

#include "tests/core/scheduler_test_support.h"

namespace sayolt::schedtest {
namespace {

TEST(TimedRunEmptiedProgram, RunsPointingAtEmptiedProgramsLaunchNothingAndTheDayGoesOn) {
  Settings s = baseSettings();
  s.day({kMonday, kTuesday}, "7:30", "20:00");
  s.timedProgram(5, "", "");  // emptied by the editor: the keys stay with nothing after "="
  // Program 6 never existed: its keys are missing altogether.
  s.timedProgram(0, "日報", "C:\\Tools\\report.exe");
  s.timedRun(kMonday, 0, "9:00", "5").timedRun(kMonday, 1, "9:00", "6").timedRun(kMonday, 2, "10:00", "0");
  s.timedRun(kMonday, 3, "11:00", "5");

  SchedulerRig rig(at("2027-01-04 08:59:00"), s);
  ASSERT_FALSE(rig.start().has_value());
  ASSERT_FALSE(rig.runUntil(at("2027-01-04 12:00:00")).has_value());

  EXPECT_EQ(rig.fields("process-started", "path"), (std::vector<std::string>{"C:\\Tools\\report.exe"}));
  EXPECT_EQ(rig.observer.details("launch"), (std::vector<std::string>{"timed:日報:exe"}));
  EXPECT_TRUE(rig.records("document-opened").empty());
  EXPECT_TRUE(rig.records("workbook-opened").empty());
  EXPECT_TRUE(rig.notices().empty());
  EXPECT_TRUE(rig.messages().empty());
}

}  // namespace
}  // namespace sayolt::schedtest
