// Reloads that the day depends on: a settings error at an automatic or a panel reload, and the
// times typed on the panel across the reloads that keep them and those that replace them.
#include <gtest/gtest.h>

#include "tests/core/scheduler_test_support.h"

namespace sayolt::schedtest {
namespace {

// A night session: Monday 20:00 to 1:00, the schedule day starting at 3:00; Tuesday from 8:00.
Settings nightSession() {
  Settings s = baseSettings();
  s.dayStartMinutes(180).start(kMonday, 0, "20:00").end(kMonday, 0, "1:00").day({kTuesday}, "8:00", "17:30");
  return s;
}

TEST(SchedulerReloadError, BadDateAtMidnightKeepsTheDayGoingToItsShutdown) {
  SchedulerRig rig(at("2027-01-04 21:00:00"), nightSession());
  ASSERT_FALSE(rig.start().has_value());
  ASSERT_FALSE(rig.runUntil(at("2027-01-04 22:00:00")).has_value());
  // Saved in the evening; nobody is at the PC at midnight to answer anything.
  rig.rewriteSettings(Settings().holidays({"2027/1/11", "2027/2/30"}));

  ASSERT_FALSE(rig.runUntil(at("2027-01-05 00:30:00")).has_value());
  EXPECT_EQ(rig.notices(), (std::vector<std::string>{settingsAreaMessage(8)}));
  EXPECT_TRUE(rig.messages().empty());
  // The last good settings, with the days classified for Tuesday.
  EXPECT_EQ(rig.scheduler->model().threeDays[1], dateOf(at("2027-01-05 00:00:00")));
  EXPECT_EQ(rig.scheduler->endTimeToday(), tod("1:00"));
  // The panel's reload meets the same error: it is not told again.
  ASSERT_FALSE(rig.guarded([&] { rig.scheduler->reloadSchedule(); }).has_value());
  EXPECT_EQ(rig.notices().size(), 1u);
  EXPECT_EQ(rig.scheduler->timerIntervalMs(), 1000);

  ASSERT_TRUE(rig.runUntil(at("2027-01-05 01:30:00")).has_value());
  ASSERT_EQ(rig.countdown.shownAt.size(), 1u);
  EXPECT_EQ(fmt(rig.countdown.shownAt[0]), "2027-01-05 01:00:00");
  EXPECT_TRUE(rig.fake.shutdownRequested);
  EXPECT_EQ(rig.setting(keys::kNextStartSection, keys::kNextStartKey), "8:00");
}

TEST(SchedulerReloadError, NextReloadTriesAgainAndTakesTheMendedFile) {
  SchedulerRig rig(at("2027-01-04 21:00:00"), nightSession());
  ASSERT_FALSE(rig.start().has_value());
  rig.rewriteSettings(Settings().set(keys::kDayStartSection, keys::kDayStartKey, "三時"));
  ASSERT_FALSE(rig.runUntil(at("2027-01-05 00:00:30")).has_value());
  EXPECT_EQ(rig.notices(), (std::vector<std::string>{settingsAreaMessage(7)}));

  rig.rewriteSettings(Settings().dayStartMinutes(180).end(kMonday, 0, "2:00"));
  ASSERT_FALSE(rig.guarded([&] { rig.scheduler->reloadSchedule(); }).has_value());
  EXPECT_EQ(rig.scheduler->endTimeToday(), tod("2:00"));
  EXPECT_EQ(rig.notices().size(), 1u);
}

TEST(SchedulerReloadError, ManualShutdownStillEndsWithOneBox) {
  SchedulerRig rig(at("2027-01-04 21:00:00"), nightSession());
  ASSERT_FALSE(rig.start().has_value());
  rig.rewriteSettings(Settings().absences({"昨日"}));

  const auto ended = rig.guarded([&] { rig.scheduler->manualShutdown(); });

  ASSERT_TRUE(ended.has_value());
  EXPECT_EQ(rig.messages(), (std::vector<std::string>{settingsAreaMessage(8)}));
  EXPECT_FALSE(rig.fake.shutdownRequested);
}

TEST(PanelTimes, EndTypedInTheSmallHoursHoldsAcrossTheDayStartReload) {
  // Day start 3:00: an end of 4:00 typed at 1:00 belongs to Monday's schedule day until 3:00.
  Settings s = baseSettings();
  s.dayStartMinutes(180).start(kMonday, 0, "20:00").end(kMonday, 0, "23:00").day({kTuesday}, "8:00", "17:30");
  SchedulerRig rig(at("2027-01-04 22:00:00"), s);
  ASSERT_FALSE(rig.start().has_value());
  rig.scheduler->suspendShutdown();
  rig.fake.scheduleAt(3 * 3600 * 1000, [&] { rig.scheduler->setEndTimeToday(tod("4:00")); });  // 1:00

  ASSERT_TRUE(rig.runUntil(at("2027-01-05 05:00:00")).has_value());

  // The catch-up of the new date (the timer was stopped over midnight) and the day start.
  const auto reloads = rig.observer.of("reloaded");
  ASSERT_EQ(reloads.size(), 2u);
  EXPECT_EQ(fmt(reloads[0].time), "2027-01-05 01:00:01");
  EXPECT_EQ(fmt(reloads[1].time), "2027-01-05 03:00:01");
  ASSERT_EQ(rig.countdown.shownAt.size(), 1u);
  EXPECT_EQ(fmt(rig.countdown.shownAt[0]), "2027-01-05 04:00:00");
  EXPECT_TRUE(rig.fake.shutdownRequested);
  EXPECT_EQ(rig.setting(keys::kNextStartSection, keys::kNextStartKey), "8:00");
}

TEST(PanelTimes, EndTypedTheDayAfterTheTimerWasStoppedHoldsAcrossTheCatchUp) {
  Settings s = baseSettings();
  s.day({kMonday, kTuesday, kWednesday}, "7:30", "17:30");
  SchedulerRig rig(at("2027-01-04 10:00:00"), s);
  ASSERT_FALSE(rig.start().has_value());
  rig.scheduler->suspendShutdown();  // タイマーの停止 on Monday
  ASSERT_FALSE(rig.runUntil(at("2027-01-05 10:00:00")).has_value());
  ASSERT_FALSE(rig.guarded([&] { rig.scheduler->setEndTimeToday(tod("18:45")); }).has_value());

  ASSERT_FALSE(rig.runUntil(at("2027-01-05 10:00:05")).has_value());
  // The catch-up reload of Tuesday came, and the typed end stayed.
  EXPECT_EQ(rig.observer.of("reloaded").size(), 1u);
  EXPECT_EQ(rig.scheduler->endTimeToday(), tod("18:45"));
  EXPECT_EQ(rig.scheduler->model().threeDays[1], dateOf(at("2027-01-05 00:00:00")));

  ASSERT_TRUE(rig.runUntil(at("2027-01-05 19:00:00")).has_value());
  ASSERT_EQ(rig.countdown.shownAt.size(), 1u);
  EXPECT_EQ(fmt(rig.countdown.shownAt[0]), "2027-01-05 18:45:00");
  EXPECT_EQ(rig.setting(keys::kNextStartSection, keys::kNextStartKey), "7:30");
}

TEST(PanelTimes, TypedTimesGiveWayToTheMidnightReloadAndThePanelsReload) {
  Settings s = baseSettings();
  s.day({kMonday, kTuesday}, "7:30", "17:30");
  SchedulerRig rig(at("2027-01-04 10:00:00"), s);
  ASSERT_FALSE(rig.start().has_value());
  rig.scheduler->setEndTimeToday(tod("23:00"));
  rig.scheduler->overrideNextStart(tod("6:00"));
  ASSERT_FALSE(rig.guarded([&] { rig.scheduler->reloadSchedule(); }).has_value());
  EXPECT_EQ(rig.scheduler->endTimeToday(), tod("17:30"));
  EXPECT_EQ(rig.scheduler->nextStartTime(), tod("7:30"));
  EXPECT_FALSE(rig.scheduler->typedEndTime().has_value());

  // Typed again in the evening; the timer runs through midnight, so 0:00:01 recomputes.
  rig.scheduler->suspendShutdown();
  rig.fake.scheduleAt(12 * 3600 * 1000, [&] {  // 22:00
    rig.scheduler->setEndTimeToday(tod("23:59:59"));
    rig.scheduler->suspendShutdown();
    rig.scheduler->startTimer();
  });
  ASSERT_FALSE(rig.runUntil(at("2027-01-05 00:00:05")).has_value());
  EXPECT_EQ(fmt(rig.observer.of("reloaded").back().time), "2027-01-05 00:00:01");
  EXPECT_EQ(rig.scheduler->endTimeToday(), tod("17:30"));
}

}  // namespace
}  // namespace sayolt::schedtest
