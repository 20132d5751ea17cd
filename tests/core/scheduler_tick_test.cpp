// The one-second tick on virtual time: the countdown and its "中止", the runs at their windows,
// the suspended shutdown, the midnight reload, and the windows that span midnight.
#include <gtest/gtest.h>

#include "tests/core/scheduler_test_support.h"

namespace sayolt::schedtest {
namespace {

// Monday and Tuesday 7:30 to 17:30, a backup started at 9:00 and stopped at 17:00.
Settings officeDay() {
  Settings s = baseSettings();
  s.day({kMonday, kTuesday}, "7:30", "17:30");
  s.timedProgram(0, "バックアップ", "C:\\Tools\\backup.exe").timedProgram(1, "バックアップ", "sed");
  s.timedRun(kMonday, 0, "9:00", "0").timedRun(kMonday, 1, "17:00", "1");
  return s;
}

std::vector<std::string> countdownTexts(const RecordingCountdown& countdown) {
  std::vector<std::string> texts;
  for (const auto& t : countdown.texts) texts.push_back(t.text);
  return texts;
}

TEST(SchedulerDay, FromTheFirstTickToTheShutdown) {
  SchedulerRig rig(at("2027-01-04 07:30:05"), officeDay());
  ASSERT_FALSE(rig.start().has_value());
  EXPECT_TRUE(rig.fake.trayVisible);

  const auto ended = rig.runUntil(at("2027-01-04 18:00:00"));

  ASSERT_TRUE(ended.has_value());
  // The backup ran from 9:00 to 17:00.
  const auto started = rig.records("process-started");
  const auto stopped = rig.records("process-terminated");
  ASSERT_EQ(started.size(), 1u);
  ASSERT_EQ(stopped.size(), 1u);
  EXPECT_EQ(fmt(started[0].trueTime), "2027-01-04 09:00:00");
  EXPECT_EQ(fmt(stopped[0].trueTime), "2027-01-04 17:00:00");
  // Ten seconds of countdown from the end time.
  ASSERT_EQ(rig.countdown.shownAt.size(), 1u);
  EXPECT_EQ(fmt(rig.countdown.shownAt[0]), "2027-01-04 17:30:00");
  std::vector<std::string> expected;
  for (int left = 10; left >= 1; --left)
    expected.push_back("あと" + std::to_string(left) + "秒でシャットダウンします。");
  EXPECT_EQ(countdownTexts(rig.countdown), expected);
  // The recompute at the end finds no later end today, which is what the end of a day looks
  // like: nothing is said, and the next start it found is what gets recorded.
  EXPECT_TRUE(rig.notices().empty());
  EXPECT_TRUE(rig.messages().empty());
  // At 17:30:10 the clock is set so that it reads midnight at Tuesday's 7:30.
  const auto shift = rig.records("clock-time-of-day");
  ASSERT_EQ(shift.size(), 1u);
  EXPECT_EQ(fmt(shift[0].trueTime), "2027-01-04 17:30:10");
  EXPECT_EQ(shift[0].field("to"), "2027-01-04 10:00:10");
  EXPECT_EQ(rig.setting(keys::kNextStartSection, keys::kNextStartKey), "7:30");
  EXPECT_TRUE(rig.fake.shutdownRequested);
  EXPECT_FALSE(rig.fake.trayVisible);
  EXPECT_EQ(rig.observer.details("shutdown"), (std::vector<std::string>{"accepted"}));

  rig.fake.advancePoweredOff(
      std::chrono::duration_cast<std::chrono::milliseconds>(at("2027-01-05 07:30:00") - rig.fake.trueNow()));
  EXPECT_EQ(fmt(rig.fake.pcNow()), "2027-01-05 00:00:00");
}

TEST(SchedulerCountdown, AbortAtTheSeventhSecondMovesOnToTheNextEnd) {
  Settings s = officeDay();
  s.start(kMonday, 1, "18:00").end(kMonday, 1, "19:00");
  SchedulerRig rig(at("2027-01-04 17:29:50"), s);
  ASSERT_FALSE(rig.start().has_value());
  rig.countdown.pressAt(at("2027-01-04 17:30:06") + 500ms);

  ASSERT_FALSE(rig.runUntil(at("2027-01-04 18:59:59")).has_value());

  EXPECT_EQ(rig.countdown.pressed, (std::vector<bool>{true}));
  EXPECT_FALSE(rig.countdown.visible);
  EXPECT_EQ(rig.countdown.texts.size(), 7u);  // "あと4秒" was on screen when it was pressed
  EXPECT_FALSE(rig.fake.shutdownRequested);
  EXPECT_TRUE(rig.records("clock-time-of-day").empty());
  EXPECT_EQ(rig.countdown.shownAt.size(), 1u);  // the old end does not count down again
  EXPECT_EQ(rig.scheduler->endTimeToday(), tod("19:00"));
  EXPECT_EQ(rig.scheduler->nextStartTime(), tod("18:00"));
  const auto aborted = rig.observer.of("countdown-aborted");
  ASSERT_EQ(aborted.size(), 1u);
  EXPECT_EQ(fmt(aborted[0].time), "2027-01-04 17:30:07");

  ASSERT_TRUE(rig.runUntil(at("2027-01-04 19:01:00")).has_value());
  ASSERT_EQ(rig.countdown.shownAt.size(), 2u);
  EXPECT_EQ(fmt(rig.countdown.shownAt[1]), "2027-01-04 19:00:00");
  EXPECT_TRUE(rig.fake.shutdownRequested);
  EXPECT_EQ(rig.setting(keys::kNextStartSection, keys::kNextStartKey), "7:30");
}

TEST(SchedulerCountdown, AbortInTheLastSecondStillStopsTheShutdown) {
  SchedulerRig rig(at("2027-01-04 17:29:50"), officeDay());
  ASSERT_FALSE(rig.start().has_value());
  rig.countdown.pressAt(at("2027-01-04 17:30:09") + 900ms);

  ASSERT_FALSE(rig.runUntil(at("2027-01-04 17:45:00")).has_value());

  EXPECT_EQ(rig.countdown.pressed, (std::vector<bool>{true}));
  EXPECT_EQ(rig.countdown.texts.size(), 10u);
  EXPECT_FALSE(rig.fake.shutdownRequested);
  EXPECT_TRUE(rig.records("clock-time-of-day").empty());
}

TEST(SchedulerCountdown, AbortWithNoFurtherEndCountsDownAgainAtTheSentinel) {
  Settings s = officeDay();
  s.end(kTuesday, 0, "18:00");  // not behind 17:30 on the clock, so not taken for today
  SchedulerRig rig(at("2027-01-04 17:29:50"), s);
  ASSERT_FALSE(rig.start().has_value());
  rig.countdown.pressAt(at("2027-01-04 17:30:03"));

  ASSERT_FALSE(rig.runUntil(at("2027-01-04 23:59:58")).has_value());
  EXPECT_EQ(rig.scheduler->endTimeToday(), tod("23:59:59"));
  EXPECT_FALSE(rig.fake.shutdownRequested);
  EXPECT_EQ(rig.notices(), (std::vector<std::string>{"終了時刻を設定し直してください。"}));

  ASSERT_TRUE(rig.runUntil(at("2027-01-05 00:01:00")).has_value());
  ASSERT_EQ(rig.countdown.shownAt.size(), 2u);
  EXPECT_EQ(fmt(rig.countdown.shownAt[1]), "2027-01-04 23:59:59");
  EXPECT_TRUE(rig.fake.shutdownRequested);
  EXPECT_EQ(rig.setting(keys::kNextStartSection, keys::kNextStartKey), "7:30");
}

TEST(SchedulerCountdown, StartsOnlyWithinTenSecondsAfterTheEnd) {
  struct Case {
    const char* powerOn;  // the first tick comes three seconds later
    bool countsDown;
  };
  for (const Case& c : {Case{"2027-01-04 17:30:06", true}, Case{"2027-01-04 17:30:07", false}}) {
    SCOPED_TRACE(c.powerOn);
    SchedulerRig rig(at(c.powerOn), officeDay());
    ASSERT_FALSE(rig.start().has_value());

    const auto ended = rig.runUntil(at("2027-01-04 23:00:00"));

    EXPECT_EQ(ended.has_value(), c.countsDown);
    EXPECT_EQ(rig.countdown.shownAt.size(), c.countsDown ? 1u : 0u);
    EXPECT_EQ(rig.fake.shutdownRequested, c.countsDown);
  }
}

TEST(SchedulerCountdown, SmallHoursEndWaitsPastMidnight) {
  // The schedule day begins at 3:00; Monday ends at 1:00 in Tuesday's small hours.
  Settings s = baseSettings();
  s.dayStartMinutes(180).start(kMonday, 0, "20:00").end(kMonday, 0, "1:00").start(kTuesday, 0, "8:00");
  SchedulerRig rig(at("2027-01-04 21:59:58"), s);
  ASSERT_FALSE(rig.start().has_value());
  EXPECT_EQ(rig.scheduler->endTimeToday(), tod("1:00"));

  ASSERT_FALSE(rig.runUntil(at("2027-01-05 00:59:59")).has_value());
  EXPECT_TRUE(rig.countdown.shownAt.empty());
  EXPECT_EQ(rig.observer.of("reloaded").size(), 1u);

  ASSERT_TRUE(rig.runUntil(at("2027-01-05 01:01:00")).has_value());
  ASSERT_EQ(rig.countdown.shownAt.size(), 1u);
  EXPECT_EQ(fmt(rig.countdown.shownAt[0]), "2027-01-05 01:00:00");
  EXPECT_EQ(rig.setting(keys::kNextStartSection, keys::kNextStartKey), "8:00");
  // 1:00:10 to 8:00 is 6:59:50: the clock is set to 17:00:10.
  EXPECT_EQ(rig.fields("clock-time-of-day", "to"), (std::vector<std::string>{"2027-01-05 17:00:10"}));
}

TEST(SchedulerCountdown, RecomputeReplacesANextStartSetByHand) {
  SchedulerRig rig(at("2027-01-04 17:29:50"), officeDay());
  ASSERT_FALSE(rig.start().has_value());
  rig.scheduler->overrideNextStart(tod("9:05"));

  ASSERT_TRUE(rig.runUntil(at("2027-01-04 17:31:00")).has_value());

  EXPECT_EQ(rig.setting(keys::kNextStartSection, keys::kNextStartKey), "7:30");
}

TEST(SchedulerCountdown, SuspendedShutdownLetsTheEndPassButNotTheRuns) {
  Settings s = officeDay();
  s.dayStartMinutes(180).end(kMonday, 1, "1:00");
  s.timedProgram(2, "集計", "C:\\Tools\\sum.exe").timedRun(kMonday, 2, "17:31", "2");
  SchedulerRig rig(at("2027-01-04 17:00:00"), s);
  ASSERT_FALSE(rig.start().has_value());
  rig.scheduler->suspendShutdown();
  EXPECT_EQ(rig.scheduler->timerIntervalMs(), 0);
  rig.scheduler->startTimer();

  ASSERT_FALSE(rig.runUntil(at("2027-01-04 23:59:59")).has_value());
  EXPECT_TRUE(rig.countdown.shownAt.empty());
  EXPECT_EQ(rig.fields("process-started", "path"), (std::vector<std::string>{"C:\\Tools\\sum.exe"}));
  EXPECT_TRUE(rig.scheduler->shutdownSuspended());

  // The midnight reload lifts the suspension: the small-hours end counts down.
  ASSERT_TRUE(rig.runUntil(at("2027-01-05 01:01:00")).has_value());
  EXPECT_FALSE(rig.scheduler->shutdownSuspended());
  ASSERT_EQ(rig.countdown.shownAt.size(), 1u);
  EXPECT_EQ(fmt(rig.countdown.shownAt[0]), "2027-01-05 01:00:00");
}

TEST(SchedulerRuns, StartWithinFiveSecondsOfTheirTime) {
  struct Case {
    const char* powerOn;  // the first tick comes three seconds later
    bool runs;
  };
  for (const Case& c : {Case{"2027-01-04 09:00:01", true}, Case{"2027-01-04 09:00:02", false}}) {
    SCOPED_TRACE(c.powerOn);
    SchedulerRig rig(at(c.powerOn), officeDay());
    ASSERT_FALSE(rig.start().has_value());

    ASSERT_FALSE(rig.runUntil(at("2027-01-04 16:00:00")).has_value());

    const auto started = rig.records("process-started");
    ASSERT_EQ(started.size(), c.runs ? 1u : 0u);
    if (c.runs) {
      EXPECT_EQ(fmt(started[0].trueTime), "2027-01-04 09:00:04");
    }
  }
}

TEST(SchedulerRuns, RowsAtTheSameTimeStartInRowOrderOnOneTick) {
  Settings s = officeDay();
  s.timedProgram(4, "一", "C:\\one.exe").timedProgram(2, "二", "C:\\two.exe");
  s.timedRun(kMonday, 7, "10:00", "2").timedRun(kMonday, 3, "10:00", "4");
  SchedulerRig rig(at("2027-01-04 09:30:00"), s);
  ASSERT_FALSE(rig.start().has_value());

  ASSERT_FALSE(rig.runUntil(at("2027-01-04 10:30:00")).has_value());

  const auto started = rig.records("process-started");
  ASSERT_EQ(started.size(), 2u);
  EXPECT_EQ(started[0].field("path"), "C:\\one.exe");  // row 3
  EXPECT_EQ(started[1].field("path"), "C:\\two.exe");  // row 7
  EXPECT_EQ(fmt(started[0].trueTime), "2027-01-04 10:00:00");
  EXPECT_EQ(started[1].trueTime, started[0].trueTime);
}

TEST(SchedulerRuns, RowWithoutAUsableProgramNumberLaunchesNothing) {
  Settings s = officeDay();
  s.timedProgram(3, "三", "C:\\three.exe").timedProgram(19, "十九", "C:\\nineteen.exe");
  s.timedRun(kMonday, 2, "10:00", "").timedRun(kMonday, 3, "10:00", "20").timedRun(kMonday, 4, "10:00", "-1");
  s.timedRun(kMonday, 5, "10:00", "三").timedRun(kMonday, 6, "10:00", "3").timedRun(kMonday, 7, "10:01", "19");
  SchedulerRig rig(at("2027-01-04 09:30:00"), s);
  ASSERT_FALSE(rig.start().has_value());

  ASSERT_FALSE(rig.runUntil(at("2027-01-04 10:30:00")).has_value());

  EXPECT_EQ(rig.fields("process-started", "path"), (std::vector<std::string>{"C:\\three.exe", "C:\\nineteen.exe"}));
  EXPECT_TRUE(rig.messages().empty());
  EXPECT_TRUE(rig.notices().empty());
}

TEST(SchedulerRuns, EachScheduleDayRunsItsRowsOnce) {
  // The PC stays on through the night: Tuesday's row 0 runs although Monday's row 0 ran at 9:00,
  // and a run whose window spans midnight runs once, on the day it was due.
  Settings s = officeDay();
  s.timedProgram(2, "火曜0", "C:\\tue0.exe").timedProgram(3, "火曜5", "C:\\tue5.exe");
  s.timedProgram(4, "夜", "C:\\night.exe");
  s.timedRun(kTuesday, 0, "10:00", "2").timedRun(kTuesday, 5, "10:00", "3");
  s.timedRun(kMonday, 7, "23:59:58", "4").timedRun(kTuesday, 7, "23:59:58", "4");
  SchedulerRig rig(at("2027-01-04 08:59:00"), s);
  ASSERT_FALSE(rig.start().has_value());
  rig.scheduler->suspendShutdown();
  rig.scheduler->startTimer();

  ASSERT_FALSE(rig.runUntil(at("2027-01-05 11:00:00")).has_value());

  EXPECT_EQ(rig.observer.of("reloaded").size(), 1u);
  EXPECT_EQ(rig.fields("process-started", "path"),
            (std::vector<std::string>{"C:\\Tools\\backup.exe", "C:\\night.exe", "C:\\tue0.exe", "C:\\tue5.exe"}));
}

TEST(SchedulerRuns, TuesdaysSmallHoursRunAfterAnAbortOnMondayRunsOnce) {
  Settings s = officeDay();
  s.timedProgram(2, "集計", "C:\\night.exe").timedRun(kMonday, 0, "0:30", "2").timedRun(kTuesday, 0, "0:30", "2");
  SchedulerRig rig(at("2027-01-04 00:29:00"), s);
  ASSERT_FALSE(rig.start().has_value());
  rig.countdown.pressAt(at("2027-01-04 17:30:03"));

  ASSERT_FALSE(rig.runUntil(at("2027-01-05 07:00:00")).has_value());

  const auto started = rig.records("process-started");
  std::vector<std::string> nights;
  for (const auto& r : started)
    if (r.field("path") == "C:\\night.exe") nights.push_back(fmt(r.trueTime));
  EXPECT_EQ(nights, (std::vector<std::string>{"2027-01-04 00:30:00", "2027-01-05 00:30:00"}));
}

TEST(SchedulerMidnight, ReloadTakesTheDaysChangesOnceEvenAfterALateTick) {
  // Something holds the thread from 23:59:58 until 0:00:03.
  Settings s = baseSettings();
  s.dayStartMinutes(180).start(kMonday, 0, "20:00").end(kMonday, 0, "1:00").start(kTuesday, 0, "8:00");
  SchedulerRig rig(at("2027-01-04 21:00:00"), s);
  rig.blockAt(at("2027-01-04 23:59:58"), 5s);
  ASSERT_FALSE(rig.start().has_value());
  ASSERT_FALSE(rig.runUntil(at("2027-01-04 22:00:00")).has_value());
  // The editor moves Monday's end in the evening; only the reload reads it.
  rig.rewriteSettings(Settings().end(kMonday, 0, "2:00"));
  ASSERT_FALSE(rig.runUntil(at("2027-01-04 23:59:00")).has_value());
  EXPECT_EQ(rig.scheduler->endTimeToday(), tod("1:00"));

  ASSERT_FALSE(rig.runUntil(at("2027-01-05 01:30:00")).has_value());

  const auto reloads = rig.observer.of("reloaded");
  ASSERT_EQ(reloads.size(), 1u);
  EXPECT_EQ(fmt(reloads[0].time), "2027-01-05 00:00:03");
  EXPECT_EQ(rig.scheduler->endTimeToday(), tod("2:00"));
  EXPECT_TRUE(rig.countdown.shownAt.empty());
  ASSERT_TRUE(rig.runUntil(at("2027-01-05 02:01:00")).has_value());
  ASSERT_EQ(rig.countdown.shownAt.size(), 1u);
  EXPECT_EQ(fmt(rig.countdown.shownAt[0]), "2027-01-05 02:00:00");
}

TEST(SchedulerMidnight, WindowsSpanningMidnightStillHoldOnce) {
  // The thread is held from 23:59:50 until just after midnight; the run at 23:59:58 and the end
  // at 23:59:55 are still due on the ticks right after it.
  Settings s = baseSettings();
  s.dayStartMinutes(180).start(kMonday, 0, "20:00").end(kMonday, 0, "23:59:55").start(kTuesday, 0, "8:00");
  s.timedProgram(1, "夜間", "C:\\night.exe");
  s.timedRun(kMonday, 1, "23:59:58", "1");
  SchedulerRig rig(at("2027-01-04 23:00:00"), s);
  rig.blockAt(at("2027-01-04 23:59:50"), 10s + 500ms);
  ASSERT_FALSE(rig.start().has_value());

  ASSERT_TRUE(rig.runUntil(at("2027-01-05 00:01:00")).has_value());

  const auto started = rig.records("process-started");
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0].field("path"), "C:\\night.exe");
  // On the first tick inside the countdown, which the late tick at 0:00:00 began.
  EXPECT_EQ(fmt(started[0].trueTime), "2027-01-05 00:00:01");
  ASSERT_EQ(rig.countdown.shownAt.size(), 1u);
  EXPECT_EQ(fmt(rig.countdown.shownAt[0]), "2027-01-05 00:00:00");
  EXPECT_EQ(rig.fields("clock-time-of-day", "to").size(), 1u);
  EXPECT_EQ(rig.setting(keys::kNextStartSection, keys::kNextStartKey), "8:00");
}

TEST(SchedulerMidnight, EndNotFoundAtTheReloadWaitsUntil235959) {
  // The shutdown was suspended on Monday; Tuesday has no end, so the reload finds none. That
  // "none" is the end of the day, not a moment just gone.
  Settings s = officeDay();
  s.end(kTuesday, 0, "");
  SchedulerRig rig(at("2027-01-04 17:00:00"), s);
  ASSERT_FALSE(rig.start().has_value());
  rig.scheduler->suspendShutdown();
  rig.scheduler->startTimer();

  ASSERT_FALSE(rig.runUntil(at("2027-01-05 23:59:58")).has_value());
  EXPECT_EQ(rig.observer.of("reloaded").size(), 1u);
  EXPECT_EQ(rig.notices(), (std::vector<std::string>{"終了時刻を設定し直してください。"}));
  EXPECT_TRUE(rig.countdown.shownAt.empty());

  ASSERT_TRUE(rig.runUntil(at("2027-01-06 00:01:00")).has_value());
  ASSERT_EQ(rig.countdown.shownAt.size(), 1u);
  EXPECT_EQ(fmt(rig.countdown.shownAt[0]), "2027-01-05 23:59:59");
}

}  // namespace
}  // namespace sayolt::schedtest

namespace sayolt::schedtest {
namespace {

TEST(SchedulerDayStart, PcOnSinceTheSmallHoursTakesTheNewDayAtTheDayStart) {
  // Started at 2:00 on Tuesday with the day starting at 3:00: Monday's schedule day until then.
  Settings s = baseSettings();
  s.dayStartMinutes(180).day({kMonday, kTuesday, kWednesday}, "7:30", "17:30");
  s.timedProgram(0, "月曜の作業", "C:\\monday.exe").timedProgram(1, "火曜の作業", "C:\\tuesday.exe");
  s.timedRun(kMonday, 0, "9:00", "0").timedRun(kTuesday, 0, "9:00", "1");
  SchedulerRig rig(at("2027-01-05 02:00:00"), s);
  ASSERT_FALSE(rig.start().has_value());
  EXPECT_EQ(rig.scheduler->model().dayCategories[1], kMonday);

  ASSERT_FALSE(rig.runUntil(at("2027-01-05 09:00:30")).has_value());

  EXPECT_EQ(rig.scheduler->model().dayCategories[1], kTuesday);
  EXPECT_EQ(rig.observer.of("reloaded").size(), 1u);
  const auto started = rig.records("process-started");
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0].field("path"), "C:\\tuesday.exe");
  EXPECT_EQ(rig.scheduler->endTimeToday(), tod("17:30"));
}

TEST(SchedulerCountdown, MissingNextStartIsToldAtTheCountdownWithoutHoldingIt) {
  // Monday ends at 17:30 and no day after it starts: the shutdown goes on, and says why the
  // next start recorded will not be a real one.
  Settings s = baseSettings();
  s.start(kMonday, 0, "7:30").end(kMonday, 0, "17:30");
  SchedulerRig rig(at("2027-01-04 17:29:50"), s);
  ASSERT_FALSE(rig.start().has_value());
  EXPECT_EQ(rig.notices(), (std::vector<std::string>{"次回起動時刻を設定し直してください。"}));

  ASSERT_TRUE(rig.runUntil(at("2027-01-04 17:31:00")).has_value());

  EXPECT_EQ(rig.notices(),
            (std::vector<std::string>{"次回起動時刻を設定し直してください。", "次回起動時刻を設定し直してください。"}));
  EXPECT_TRUE(rig.messages().empty());
  EXPECT_TRUE(rig.fake.shutdownRequested);
}

}  // namespace
}  // namespace sayolt::schedtest
