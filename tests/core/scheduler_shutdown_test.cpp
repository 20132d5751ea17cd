// The shutdown: the clock shift that puts midnight at the next start, the recorded next start,
// the manual shutdown, and what happens when the clock or the shutdown is refused.
#include <gtest/gtest.h>

#include "tests/core/scheduler_test_support.h"

namespace sayolt::schedtest {
namespace {

Settings weekdays() {
  Settings s = baseSettings();
  s.day({kMonday, kTuesday, kWednesday}, "07:30", "17:30");
  return s;
}

// The scheduler started so that start-up is over at `ready` (two seconds after power-on).
struct Ready {
  Ready(const char* powerOn, const Settings& s) : rig(at(powerOn), s) { EXPECT_FALSE(rig.start().has_value()); }
  SchedulerRig rig;
};

std::chrono::milliseconds until(const FakePlatform& fake, LocalTime when) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(when - fake.trueNow());
}

TEST(ShutdownClockShift, PutsMidnightOnTheClockAtTheNextStart) {
  struct Case {
    const char* powerOn;  // start-up ends two seconds later: that is T
    const char* next;     // N
    const char* clockSetTo;
    const char* nextStartAt;  // true moment when the PC's clock reads 0:00:00
  };
  for (const Case& c : {
           Case{"2027-01-04 17:30:08", "7:30", "2027-01-04 10:00:10", "2027-01-05 07:30:00"},
           Case{"2027-01-04 11:59:58", "13:00", "2027-01-04 23:00:00", "2027-01-04 13:00:00"},
           Case{"2027-01-05 01:00:08", "8:00", "2027-01-05 17:00:10", "2027-01-05 08:00:00"},
           Case{"2027-01-04 07:29:58", "7:30", "2027-01-04 00:00:00", "2027-01-05 07:30:00"},
       }) {
    SCOPED_TRACE(c.powerOn);
    Ready ready(c.powerOn, weekdays());
    SchedulerRig& rig = ready.rig;
    rig.scheduler->overrideNextStart(tod(c.next));

    rig.scheduler->shiftClockForNextStart();

    EXPECT_EQ(rig.fields("clock-time-of-day", "to"), (std::vector<std::string>{c.clockSetTo}));
    rig.fake.advancePoweredOff(until(rig.fake, at(c.nextStartAt)));
    EXPECT_EQ(formatHourMinuteSecond(timeOfDayOf(rig.fake.pcNow())), "0:00:00");
  }
}

TEST(ShutdownClockShift, ArmsTheWakeAlarmForTheTimeUntilTheNextStart) {
  Ready ready("2027-01-04 17:30:08", weekdays());
  ready.rig.fake.wakeAlarmAvailable = true;
  ready.rig.scheduler->overrideNextStart(tod("7:30"));

  ready.rig.scheduler->shiftClockForNextStart();

  // 17:30:10 to 7:30:00 the next morning.
  EXPECT_EQ(ready.rig.fields("wake-alarm", "seconds"), (std::vector<std::string>{std::to_string(14 * 3600 - 10)}));
}

TEST(ManualShutdown, RecordsTheComputedNextStartWithoutLeadingZero) {
  Ready ready("2027-01-04 12:00:00", weekdays());
  SchedulerRig& rig = ready.rig;
  ASSERT_TRUE(rig.fake.trayVisible);

  const auto ended = rig.guarded([&] { rig.scheduler->manualShutdown(); });

  ASSERT_TRUE(ended.has_value());
  EXPECT_EQ(rig.setting(keys::kNextStartSection, keys::kNextStartKey), "7:30");  // stored as "07:30"
  EXPECT_EQ(rig.fields("clock-time-of-day", "to"), (std::vector<std::string>{"2027-01-04 04:30:02"}));
  EXPECT_TRUE(rig.fake.shutdownRequested);
  EXPECT_FALSE(rig.fake.trayVisible);
  EXPECT_TRUE(rig.fake.exitRequested());
  EXPECT_TRUE(rig.countdown.shownAt.empty());  // nothing is asked
}

TEST(ManualShutdown, KeepsANextStartSetByHand) {
  Ready ready("2027-01-04 12:00:00", weekdays());
  SchedulerRig& rig = ready.rig;
  rig.scheduler->overrideNextStart(tod("9:05"));

  ASSERT_TRUE(rig.guarded([&] { rig.scheduler->manualShutdown(); }).has_value());

  EXPECT_EQ(rig.setting(keys::kNextStartSection, keys::kNextStartKey), "9:05");
  // 12:00:02 to 9:05 the next morning is 21:04:58: the clock reads 2:55:02.
  EXPECT_EQ(rig.fields("clock-time-of-day", "to"), (std::vector<std::string>{"2027-01-04 02:55:02"}));
}

TEST(ManualShutdown, ReadsTheSettingsAgainFirst) {
  Ready ready("2027-01-04 12:00:00", weekdays());
  SchedulerRig& rig = ready.rig;
  rig.rewriteSettings(Settings().start(kTuesday, 0, "8:15"));

  ASSERT_TRUE(rig.guarded([&] { rig.scheduler->manualShutdown(); }).has_value());

  EXPECT_EQ(rig.setting(keys::kNextStartSection, keys::kNextStartKey), "8:15");
}

TEST(ManualShutdown, SettingsErrorEndsBeforeAnythingIsShiftedOrWritten) {
  Ready ready("2027-01-04 12:00:00", weekdays());
  SchedulerRig& rig = ready.rig;
  rig.rewriteSettings(Settings().set(keys::kDayStartSection, keys::kDayStartKey, "abc"));

  const auto ended = rig.guarded([&] { rig.scheduler->manualShutdown(); });

  ASSERT_TRUE(ended.has_value());
  EXPECT_EQ(rig.messages(), (std::vector<std::string>{settingsAreaMessage(7)}));
  EXPECT_TRUE(rig.records("clock-time-of-day").empty());
  EXPECT_EQ(rig.setting(keys::kNextStartSection, keys::kNextStartKey), "");
  EXPECT_FALSE(rig.fake.shutdownRequested);
}

TEST(ShutdownRefusals, RefusedClockChangeIsToldAndTheShutdownGoesOn) {
  Ready ready("2027-01-04 12:00:00", weekdays());
  SchedulerRig& rig = ready.rig;
  rig.fake.clockSettable = false;

  ASSERT_TRUE(rig.guarded([&] { rig.scheduler->manualShutdown(); }).has_value());

  ASSERT_EQ(rig.notices().size(), 1u);
  EXPECT_NE(rig.notices()[0].find("時計"), std::string::npos);
  EXPECT_EQ(rig.observer.details("clock-shift"), (std::vector<std::string>{"4:30:02 refused"}));
  EXPECT_EQ(rig.fake.pcNow(), rig.fake.trueNow());
  EXPECT_EQ(rig.setting(keys::kNextStartSection, keys::kNextStartKey), "7:30");
  EXPECT_TRUE(rig.fake.shutdownRequested);
}

TEST(ShutdownRefusals, RefusedShutdownPutsTheClockBackAndEnds) {
  // Through the countdown: the PC would otherwise run on with a shifted clock and no scheduler.
  Ready ready("2027-01-04 17:29:50", weekdays());
  SchedulerRig& rig = ready.rig;
  rig.fake.shutdownAllowed = false;

  const auto ended = rig.runUntil(at("2027-01-04 17:31:00"));

  ASSERT_TRUE(ended.has_value());
  EXPECT_EQ(rig.fields("clock-time-of-day", "to"),
            (std::vector<std::string>{"2027-01-04 10:00:10", "2027-01-04 17:30:10"}));
  EXPECT_EQ(rig.records("shutdown-refused").size(), 1u);
  EXPECT_FALSE(rig.fake.shutdownRequested);
  ASSERT_EQ(rig.messages().size(), 1u);
  EXPECT_NE(rig.messages()[0].find("シャットダウンできませんでした"), std::string::npos);
  EXPECT_EQ(rig.observer.details("shutdown"), (std::vector<std::string>{"refused"}));
  EXPECT_LT(std::chrono::abs(rig.fake.pcNow() - rig.fake.trueNow()), 1s);
  EXPECT_TRUE(rig.fake.exitRequested());
}

TEST(ShutdownRefusals, RefusedShutdownSpeaksOfTheClockOnlyAsItReallyIs) {
  struct Case {
    const char* name;
    bool shiftAllowed;
    bool setBackAllowed;
    const char* message;
  };
  for (const Case& c : {
           Case{"never shifted", false, false, "シャットダウンできませんでした。\nプログラムを終了します。"},
           Case{"shifted and set back", true, true,
                "シャットダウンできませんでした。時計は元に戻しました。\nプログラムを終了します。"},
           Case{"shifted, setting back refused", true, false,
                "シャットダウンできませんでした。時計を元に戻せませんでした。時刻を確認してください。\n"
                "プログラムを終了します。"},
       }) {
    SCOPED_TRACE(c.name);
    Ready ready("2027-01-04 12:00:00", weekdays());
    SchedulerRig& rig = ready.rig;
    rig.fake.shutdownAllowed = false;
    rig.fake.clockSettable = c.shiftAllowed;
    rig.fake.onRecord = [&](const FakeRecord& record) {
      if (record.event == "clock-time-of-day") rig.fake.clockSettable = c.setBackAllowed;
    };

    ASSERT_TRUE(rig.guarded([&] { rig.scheduler->manualShutdown(); }).has_value());

    EXPECT_EQ(rig.messages(), (std::vector<std::string>{c.message}));
  }
}

TEST(ShutdownRecord, NextStartIsWrittenAsHourWithoutLeadingZero) {
  for (const char* next : {"0:05", "7:05", "13:00", "23:45"}) {
    SCOPED_TRACE(next);
    Ready ready("2027-01-04 12:00:00", weekdays());
    ready.rig.scheduler->overrideNextStart(tod(next));

    ASSERT_TRUE(ready.rig.guarded([&] { ready.rig.scheduler->manualShutdown(); }).has_value());

    EXPECT_EQ(ready.rig.setting(keys::kNextStartSection, keys::kNextStartKey), next);
  }
}

}  // namespace
}  // namespace sayolt::schedtest
