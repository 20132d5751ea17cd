// Start-up of the scheduler on virtual time: the start tolerance, the pause, the time check, the
// start slot and the startup programs of each start kind.
#include <gtest/gtest.h>

#include "platform/fake/fake_network.h"
#include "scheduler/timecheck/check_clock.h"
#include "tests/core/scheduler_test_support.h"

namespace sayolt::schedtest {
namespace {

// Monday 2027-01-04 with two sessions, 7:30 and 12:00.
Settings mondayTwoSessions() {
  Settings s = baseSettings();
  s.start(kMonday, 0, "7:30").end(kMonday, 0, "11:00").start(kMonday, 1, "12:00").end(kMonday, 1, "17:30");
  s.start(kTuesday, 0, "7:30").end(kTuesday, 0, "17:30");
  s.autoProgram(0, "朝の表", "C:\\Tools\\morning.exe", "0").plan(0, kMonday, 0);
  s.autoProgram(1, "昼の表", "C:\\Tools\\noon.exe", "0").plan(1, kMonday, 1);
  s.manualProgram(0, "メモ帳", "C:\\Windows\\notepad.exe", "0");
  return s;
}

TEST(SchedulerStartTolerance, UnusableValue_EndsBeforeTheSequenceWithMessageNamingTheSetting) {
  struct Case {
    const char* label;
    std::optional<std::string> value;  // nullopt: key missing
  };
  for (const Case& c : {Case{"missing", std::nullopt}, Case{"empty", ""}, Case{"zero", "0"}, Case{"text", "abc"},
                        Case{"negative", "-5"}}) {
    SCOPED_TRACE(c.label);
    Settings s = mondayTwoSessions();
    if (c.value)
      s.startTolerance(*c.value);
    else
      s.remove(keys::kStartToleranceSection, keys::kStartToleranceKey);
    SchedulerRig rig(at("2027-01-04 07:30:00"), s);

    const auto ended = rig.start();

    ASSERT_TRUE(ended.has_value());
    ASSERT_EQ(rig.messages().size(), 1u);
    EXPECT_NE(rig.messages()[0].find("起動時調整時間"), std::string::npos) << rig.messages()[0];
    EXPECT_EQ(rig.clockCheck.calls, 0);
    EXPECT_TRUE(rig.records("process-started").empty());
    EXPECT_EQ(rig.scheduler->timerIntervalMs(), 0);
    EXPECT_FALSE(rig.scheduler->settingsLoaded());
    EXPECT_TRUE(rig.fake.exitRequested());
  }
}

TEST(SchedulerStartupPause, LastsTheStartToleranceBeforeTheTimeCheck) {
  Settings s = mondayTwoSessions();
  s.startTolerance("120");
  SchedulerRig rig(at("2027-01-04 07:28:00"), s);

  ASSERT_FALSE(rig.start().has_value());

  ASSERT_EQ(rig.clockCheck.calls, 1);
  EXPECT_EQ(rig.clockCheck.toleranceSeen, 120s);
  // Later than t0 + 120 s on a clock of whole seconds.
  EXPECT_GT(*rig.clockCheck.calledAt, at("2027-01-04 07:30:00"));
  EXPECT_LE(*rig.clockCheck.calledAt, at("2027-01-04 07:30:01"));
}

TEST(SchedulerStartupPause, NoTickBeforeTheTimeCheck) {
  Settings s = mondayTwoSessions();
  s.startTolerance("30");
  SchedulerRig rig(at("2027-01-04 07:29:50"), s);
  bool timerRanEarly = false;
  rig.fake.scheduleAfter(20s, [&] { timerRanEarly = rig.scheduler->timerIntervalMs() != 0; });

  ASSERT_FALSE(rig.start().has_value());

  EXPECT_FALSE(timerRanEarly);
  EXPECT_EQ(rig.scheduler->timerIntervalMs(), 1000);
}

TEST(SchedulerStartSlot, AutomaticStartPicksTheSlotItCameOnAt) {
  struct Case {
    const char* powerOn;  // the check runs two seconds later
    int slot;
    const char* program;
  };
  for (const Case& c : {Case{"2027-01-04 07:30:38", 0, "朝の表"}, Case{"2027-01-04 12:00:10", 1, "昼の表"}}) {
    SCOPED_TRACE(c.powerOn);
    SchedulerRig rig(at(c.powerOn), mondayTwoSessions());

    ASSERT_FALSE(rig.start().has_value());

    EXPECT_EQ(rig.scheduler->startKind(), 1);
    EXPECT_EQ(rig.scheduler->currentSlot(), c.slot);
    EXPECT_EQ(rig.observer.details("launch"), (std::vector<std::string>{std::string("auto:") + c.program + ":exe"}));
    EXPECT_EQ(rig.observer.details("start-kind"), (std::vector<std::string>{"1/" + std::to_string(c.slot)}));
  }
}

TEST(SchedulerStartSlot, LongToleranceStillMatchesTheSlot) {
  // The check only runs after the pause, so the match allows the tolerance on top of 60 s.
  Settings s = mondayTwoSessions();
  s.startTolerance("120");
  SchedulerRig rig(at("2027-01-04 12:00:00"), s);

  ASSERT_FALSE(rig.start().has_value());

  EXPECT_EQ(rig.scheduler->currentSlot(), 1);
  EXPECT_EQ(rig.observer.details("launch"), (std::vector<std::string>{"auto:昼の表:exe"}));
}

TEST(SchedulerStartSlot, NoMatchKeepsSlotZeroAndStillRunsItsPrograms) {
  // Slot 1 at 7:30 is 62 s gone when the check runs; slot 0's programs run since the slot stays 0.
  Settings s = baseSettings();
  s.start(kMonday, 0, "12:00").end(kMonday, 0, "17:30").start(kMonday, 1, "7:30").end(kMonday, 1, "11:00");
  s.start(kTuesday, 0, "7:30");
  s.autoProgram(0, "昼の表", "C:\\Tools\\noon.exe", "0").plan(0, kMonday, 0);
  s.autoProgram(1, "朝の表", "C:\\Tools\\morning.exe", "0").plan(1, kMonday, 1);
  SchedulerRig rig(at("2027-01-04 07:31:00"), s);

  ASSERT_FALSE(rig.start().has_value());

  EXPECT_EQ(rig.scheduler->startKind(), 1);
  EXPECT_EQ(rig.scheduler->currentSlot(), 0);
  EXPECT_EQ(rig.observer.details("launch"), (std::vector<std::string>{"auto:昼の表:exe"}));
}

TEST(SchedulerStartKind, ManualStartRunsFilledManualEntriesInOrder) {
  Settings s = mondayTwoSessions();
  s.manualProgram(0, "一", "C:\\a.exe", "0").manualProgram(1, "", "", "").manualProgram(2, "三", "C:\\c.exe", "0");
  SchedulerRig rig(at("2027-01-04 12:00:10"), s);
  rig.clockCheck.answer = 0;

  ASSERT_FALSE(rig.start().has_value());

  EXPECT_EQ(rig.scheduler->startKind(), 0);
  EXPECT_EQ(rig.scheduler->currentSlot(), 0);  // not looked for on a manual start
  EXPECT_EQ(rig.fields("process-started", "path"), (std::vector<std::string>{"C:\\a.exe", "C:\\c.exe"}));
  EXPECT_EQ(rig.observer.details("start-kind"), (std::vector<std::string>{"0/0"}));
}

TEST(SchedulerStartKind, UndecidedCheckLeavesTheManualStart) {
  SchedulerRig rig(at("2027-01-04 07:30:20"), mondayTwoSessions());
  rig.clockCheck.answer = std::nullopt;

  ASSERT_FALSE(rig.start().has_value());

  EXPECT_EQ(rig.scheduler->startKind(), 0);
  EXPECT_EQ(rig.observer.details("launch"), (std::vector<std::string>{"manual:メモ帳:exe"}));
}

TEST(SchedulerStartupPrograms, ThreeKindsWithDelays_TheTickRunsWhileTheListWaitsOnADocument) {
  Settings s = mondayTwoSessions();
  s.manualProgram(0, "ブラウザ", "C:\\web.exe", "5")
      .manualProgram(1, "日報", "C:\\日報.xls", "3")
      .manualProgram(2, "手順書", "C:\\手順書.pdf", "2");
  // Due while the document is open; a fourth program follows the document's delay.
  s.manualProgram(3, "後", "C:\\after.exe", "");
  s.timedProgram(0, "時計", "C:\\clock.exe").timedRun(kMonday, 0, "10:00:20", "0");
  SchedulerRig rig(at("2027-01-04 09:59:58"), s);
  rig.clockCheck.answer = 0;
  rig.fake.documentRunTimes["C:\\手順書.pdf"] = 20s;

  ASSERT_FALSE(rig.start().has_value());
  ASSERT_FALSE(rig.runUntil(at("2027-01-04 10:01:00")).has_value());

  const auto exe = rig.records("process-started");
  const auto book = rig.records("workbook-opened");
  const auto opened = rig.records("document-opened");
  const auto closed = rig.records("document-closed");
  ASSERT_EQ(exe.size(), 3u);
  ASSERT_EQ(book.size(), 1u);
  ASSERT_EQ(opened.size(), 1u);
  ASSERT_EQ(closed.size(), 1u);
  EXPECT_EQ(fmt(exe[0].trueTime), "2027-01-04 10:00:00");
  EXPECT_EQ(fmt(book[0].trueTime), "2027-01-04 10:00:05");
  EXPECT_EQ(book[0].field("visible"), "0");  // a startup workbook leaves the application as it is
  EXPECT_EQ(fmt(opened[0].trueTime), "2027-01-04 10:00:08");
  EXPECT_EQ(fmt(closed[0].trueTime), "2027-01-04 10:00:28");
  // The day goes on while the document is open; the list goes on after its program closed at
  // :28 and its delay of two seconds.
  EXPECT_EQ(exe[1].field("path"), "C:\\clock.exe");
  EXPECT_EQ(fmt(exe[1].trueTime), "2027-01-04 10:00:20");
  EXPECT_EQ(exe[2].field("path"), "C:\\after.exe");
  EXPECT_GE(exe[2].trueTime, at("2027-01-04 10:00:29"));
  EXPECT_LE(exe[2].trueTime, at("2027-01-04 10:00:30"));
  EXPECT_FALSE(rig.scheduler->startupListWaiting());
}

TEST(SchedulerStartupPrograms, PlannedEntryWithoutAPathStillWaitsItsDelay) {
  Settings s = baseSettings();
  s.day({kMonday, kTuesday}, "7:30", "17:30");
  s.autoProgram(0, "空き", "", "20").autoProgram(1, "次", "C:\\next.exe", "0");
  s.plan(0, kMonday, 0).plan(1, kMonday, 0);
  SchedulerRig rig(at("2027-01-04 07:30:05"), s);

  ASSERT_FALSE(rig.start().has_value());

  const auto started = rig.records("process-started");
  ASSERT_EQ(started.size(), 1u);
  // The check was over at 7:30:07; the empty entry's twenty seconds came first.
  EXPECT_EQ(fmt(started[0].trueTime), "2027-01-04 07:30:27");
  EXPECT_TRUE(rig.notices().empty());
}

TEST(SchedulerStartupPrograms, DocumentLeftOpenPastTheEnd_DayEndsAndTheRestOfTheListIsAbandoned) {
  Settings s = baseSettings();
  s.day({kMonday, kTuesday}, "7:30", "17:30");
  s.autoProgram(0, "手順書", "C:\\手順書.pdf", "0").autoProgram(1, "次", "C:\\next.exe", "0");
  s.plan(0, kMonday, 0).plan(1, kMonday, 0);
  s.timedProgram(0, "昼", "C:\\noon.exe").timedRun(kMonday, 0, "12:00", "0");
  SchedulerRig rig(at("2027-01-04 07:30:05"), s);
  rig.fake.documentRunTimes["C:\\手順書.pdf"] = std::chrono::hours(13);

  ASSERT_FALSE(rig.start().has_value());
  EXPECT_TRUE(rig.scheduler->startupListWaiting());
  ASSERT_TRUE(rig.runUntil(at("2027-01-04 18:00:00")).has_value());

  EXPECT_EQ(rig.fields("process-started", "path"), (std::vector<std::string>{"C:\\noon.exe"}));
  ASSERT_EQ(rig.countdown.shownAt.size(), 1u);
  EXPECT_EQ(fmt(rig.countdown.shownAt[0]), "2027-01-04 17:30:00");
  EXPECT_TRUE(rig.fake.shutdownRequested);
  EXPECT_FALSE(rig.scheduler->startupListWaiting());
  // The next automatic start is recorded, not lost.
  EXPECT_EQ(rig.setting(keys::kNextStartSection, keys::kNextStartKey), "7:30");
}

TEST(SchedulerStartupPrograms, FailingProgramIsReportedWithoutHoldingTheListUp) {
  Settings s = mondayTwoSessions();
  s.manualProgram(0, "壊れた", "C:\\broken.exe", "5").manualProgram(1, "次", "C:\\next.exe", "0");
  SchedulerRig rig(at("2027-01-04 09:59:58"), s);
  rig.clockCheck.answer = 0;
  rig.fake.failingPaths.insert("C:\\broken.exe");

  ASSERT_FALSE(rig.start().has_value());

  ASSERT_EQ(rig.notices().size(), 1u);
  EXPECT_NE(rig.notices()[0].find("壊れた"), std::string::npos);
  EXPECT_TRUE(rig.messages().empty());  // nothing waits for an answer
  EXPECT_EQ(rig.fields("process-started", "path"), (std::vector<std::string>{"C:\\next.exe"}));
  EXPECT_EQ(rig.scheduler->timerIntervalMs(), 1000);
}

TEST(SchedulerStartupPrograms, DelayThatIsNotANumberIsReportedAndNotWaited) {
  Settings s = mondayTwoSessions();
  s.manualProgram(0, "一", "C:\\a.exe", "すぐ")
      .manualProgram(1, "二", "C:\\b.exe", "")
      .manualProgram(2, "三", "C:\\c.exe", "0");
  SchedulerRig rig(at("2027-01-04 09:59:58"), s);
  rig.clockCheck.answer = 0;

  ASSERT_FALSE(rig.start().has_value());

  ASSERT_EQ(rig.notices().size(), 1u);
  EXPECT_NE(rig.notices()[0].find("すぐ"), std::string::npos);
  const auto started = rig.records("process-started");
  ASSERT_EQ(started.size(), 3u);
  EXPECT_EQ(started[0].trueTime, started[2].trueTime);  // neither "すぐ" nor "" waits
}

TEST(SchedulerStartupPrograms, HowAPathStartsGoesByItsEnding) {
  Settings s = mondayTwoSessions();
  s.manualProgram(0, "大文字", "C:\\TOOLS\\APP.EXE", "0")
      .manualProgram(1, "実行ファイル", "/opt/tools/report", "0")
      .manualProgram(2, "表", "/home/user/表.XLS", "0")
      .manualProgram(3, "文書", "/home/user/メモ.txt", "0");
  SchedulerRig rig(at("2027-01-04 09:59:58"), s);
  rig.clockCheck.answer = 0;
  rig.fake.executableFiles.insert("/opt/tools/report");

  ASSERT_FALSE(rig.start().has_value());

  EXPECT_EQ(rig.observer.details("launch"), (std::vector<std::string>{"manual:大文字:exe", "manual:実行ファイル:exe",
                                                                      "manual:表:workbook", "manual:文書:shell"}));
  EXPECT_EQ(rig.fields("process-started", "path"),
            (std::vector<std::string>{"C:\\TOOLS\\APP.EXE", "/opt/tools/report"}));
}

TEST(SchedulerStartupErrors, SettingsErrorEndsBeforeAnyProgram) {
  Settings s = mondayTwoSessions();
  s.absences({"2027/13/1"});
  SchedulerRig rig(at("2027-01-04 07:30:38"), s);

  const auto ended = rig.start();

  ASSERT_TRUE(ended.has_value());
  EXPECT_EQ(rig.messages(), (std::vector<std::string>{settingsAreaMessage(8)}));
  EXPECT_TRUE(rig.records("process-started").empty());
  EXPECT_EQ(rig.scheduler->timerIntervalMs(), 0);
}

TEST(SchedulerStartupErrors, NoEndTimeIsReportedAndStartUpCarriesOn) {
  Settings s = baseSettings();
  s.start(kMonday, 0, "7:30").start(kTuesday, 0, "7:30");
  s.autoProgram(0, "朝の表", "C:\\Tools\\morning.exe", "0").plan(0, kMonday, 0);
  SchedulerRig rig(at("2027-01-04 07:30:38"), s);

  ASSERT_FALSE(rig.start().has_value());

  // Told without holding start-up up: nobody may be at the PC on an automatic start.
  EXPECT_EQ(rig.notices(), (std::vector<std::string>{"終了時刻を設定し直してください。"}));
  EXPECT_TRUE(rig.messages().empty());
  EXPECT_EQ(rig.scheduler->endTimeToday(), tod("23:59:59"));
  EXPECT_FALSE(rig.fake.trayVisible);
  EXPECT_EQ(rig.observer.details("launch"), (std::vector<std::string>{"auto:朝の表:exe"}));
  EXPECT_EQ(rig.scheduler->timerIntervalMs(), 1000);
}

TEST(SchedulerStartupWithTimeCheck, PowerOnAtTheShiftedMidnightIsAnAutomaticStart) {
  // The PC's clock reads 0:00 at the true 7:30; the servers put it right and the start counts
  // as the scheduled one.
  Settings s = mondayTwoSessions();
  s.startTolerance("60").nextStart("7:30").servers("ntp1.example", "ntp2.example");
  SchedulerRig rig(at("2027-01-04 07:30:00"), s);
  rig.fake.setPcClock(at("2027-01-04 00:00:00"));
  auto network = std::make_unique<FakeNetwork>(rig.fake);
  rig.fake.installNetwork(std::move(network));
  RecordingTimeServerErrorView errorView;
  TimeCheck check(rig.fake.platform(), rig.settingsPath, errorView);
  Scheduler scheduler(rig.fake.platform(), check, rig.countdown, rig.settingsPath, &rig.observer);

  ASSERT_FALSE(rig.guarded([&] { scheduler.start(); }).has_value());

  const auto set = rig.records("clock-set");
  ASSERT_EQ(set.size(), 1u);
  EXPECT_EQ(set[0].field("to"), "2027-01-04 07:31:02");
  EXPECT_EQ(scheduler.startKind(), 1);
  EXPECT_EQ(scheduler.currentSlot(), 0);
  EXPECT_EQ(rig.observer.details("launch"), (std::vector<std::string>{"auto:朝の表:exe"}));
  EXPECT_EQ(scheduler.endTimeToday(), tod("11:00"));
  EXPECT_EQ(scheduler.nextStartTime(), tod("12:00"));
  EXPECT_TRUE(errorView.shown.empty());
}

}  // namespace
}  // namespace sayolt::schedtest
