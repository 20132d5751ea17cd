// The operations panel's operations without its window: what each one leaves on the three value
// labels, over a scheduler on the fake platform.
#include "scheduler/core/scheduler_operations.h"

#include <gtest/gtest.h>

#include "scheduler/core/panel_texts.h"
#include "tests/core/scheduler_test_support.h"

namespace sayolt::schedtest {
namespace {

const std::string kIdeographicSpace = "\xE3\x80\x80";
const std::string kTomorrowEight = "明日" + kIdeographicSpace + "8:00";

Settings officeWeek() {
  Settings s = baseSettings();
  s.day({kMonday, kTuesday, kWednesday, kThursday, kFriday}, "8:00", "17:30");
  return s;
}

struct Panel {
  explicit Panel(const char* now, const Settings& settings = officeWeek()) : rig(at(now), settings) {
    EXPECT_FALSE(rig.start().has_value());
  }
  SchedulerRig rig;
  SchedulerOperations operations{*rig.scheduler, rig.fake.platform(), rig.folder.path() / "Sayolt設定_123"};
};

PanelLabels labels(std::string end, std::string next, std::string category) {
  return {std::move(end), std::move(next), std::move(category)};
}

void expectLabels(const PanelLabels& actual, const PanelLabels& expected) {
  EXPECT_EQ(actual.endTime, expected.endTime);
  EXPECT_EQ(actual.nextStart, expected.nextStart);
  EXPECT_EQ(actual.category, expected.category);
}

TEST(PanelOperations, EachOperation_ReturnsTheLabelsToShow) {
  Panel panel("2027-01-04 10:00:00");
  SchedulerOperations& ops = panel.operations;

  expectLabels(ops.openPanel(), labels("17:30", kTomorrowEight, "月曜日"));
  expectLabels(ops.stopTimer(), labels(kStoppedText, kStoppedText, "月曜日"));
  // Opened again while stopped: no reload, still stopped.
  expectLabels(ops.openPanel(), labels(kStoppedText, kStoppedText, "月曜日"));

  // A new end runs the timer again, so the next start is no longer 停止中 either.
  const PanelTimeChange end = ops.changeEndTime("18:45");
  EXPECT_EQ(end.result, TimeChange::Changed);
  expectLabels(end.labels, labels("18:45", kTomorrowEight, "月曜日"));
  EXPECT_FALSE(panel.rig.scheduler->shutdownSuspended());

  const PanelTimeChange next = ops.changeNextStart("07:05");
  EXPECT_EQ(next.result, TimeChange::Changed);
  expectLabels(next.labels, labels("18:45", "07:05", "月曜日"));
  EXPECT_EQ(panel.rig.scheduler->nextStartTime(), tod("7:05"));

  expectLabels(ops.reload(), labels("17:30", kTomorrowEight, "月曜日"));
  EXPECT_TRUE(panel.rig.messages().empty());
}

TEST(PanelOperations, EmptyOrUnreadableTimes_LeaveTimesAndLabelsAsTheyWere) {
  Panel panel("2027-01-04 10:00:00");
  SchedulerOperations& ops = panel.operations;
  ops.openPanel();
  ASSERT_EQ(ops.changeNextStart("9:10").result, TimeChange::Changed);

  for (const char* text : {"", "25:00", "朝", "2027/1/5", "8時"}) {
    SCOPED_TRACE(text);
    const PanelTimeChange end = ops.changeEndTime(text);
    const PanelTimeChange next = ops.changeNextStart(text);
    EXPECT_EQ(end.result, *text ? TimeChange::Refused : TimeChange::Empty);
    EXPECT_EQ(next.result, end.result);
    expectLabels(end.labels, labels("17:30", "9:10", "月曜日"));
    expectLabels(next.labels, labels("17:30", "9:10", "月曜日"));
    EXPECT_EQ(panel.rig.scheduler->endTimeToday(), tod("17:30"));
    EXPECT_EQ(panel.rig.scheduler->nextStartTime(), tod("9:10"));
  }
  // Each refusal names its field.
  ASSERT_EQ(panel.rig.messages().size(), 8u);
  EXPECT_EQ(panel.rig.messages()[0], panelTimeRefusedMessage(kEndFieldName));
  EXPECT_EQ(panel.rig.messages()[1], panelTimeRefusedMessage(kNextStartFieldName));
}

TEST(PanelOperations, TypedNextStart_ShownAsTypedOnlyWhileTheSchedulerHoldsIt) {
  // Typed as 08:00, equal to the time the settings give: still, after a reload the typed text
  // is gone, since the reload replaced it with its own.
  Panel panel("2027-01-04 10:00:00");
  SchedulerOperations& ops = panel.operations;
  ops.openPanel();
  expectLabels(ops.changeNextStart("08:00").labels, labels("17:30", "08:00", "月曜日"));
  expectLabels(ops.labels(), labels("17:30", "08:00", "月曜日"));

  expectLabels(ops.reload(), labels("17:30", kTomorrowEight, "月曜日"));
  EXPECT_FALSE(panel.rig.scheduler->typedNextStart().has_value());

  // The panel's own reload on opening replaces it the same way.
  ops.changeNextStart("08:00");
  expectLabels(ops.openPanel(), labels("17:30", kTomorrowEight, "月曜日"));
}

TEST(PanelOperations, AbsenceSwitch_ReturnsTheNewDay_RefusalKeepsTheOld) {
  {
    Panel panel("2027-01-04 10:00:00");
    panel.operations.openPanel();
    const PanelAbsenceSwitch done = panel.operations.switchAbsence();
    EXPECT_EQ(done.labels.category, "不在");
    EXPECT_EQ(panel.rig.setting("不在", keys::dateListKey(1)), "2027/1/4");
  }
  {
    Panel panel("2027-01-09 10:00:00");  // Saturday, weekend first
    panel.operations.openPanel();
    const PanelAbsenceSwitch refused = panel.operations.switchAbsence();
    EXPECT_EQ(refused.result, AbsenceSwitchResult::Refused);
    EXPECT_EQ(refused.labels.category, "土曜日");
    EXPECT_EQ(panel.rig.messages(), std::vector<std::string>{kAbsenceRefusedMessage});
  }
}

}  // namespace
}  // namespace sayolt::schedtest
