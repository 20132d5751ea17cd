// The time-specified programs through the tick: executables and their "sed" stop entries,
// workbooks, documents that hold the scheduler until they close, and programs that fail.
#include <gtest/gtest.h>

#include "tests/core/scheduler_test_support.h"

namespace sayolt::schedtest {
namespace {

// Monday 7:30 to 20:00; the test adds the programs and their runs.
Settings longMonday() {
  Settings s = baseSettings();
  s.day({kMonday, kTuesday}, "7:30", "20:00");
  return s;
}

// Starts at 8:59 on Monday and lets the day run to `until`.
struct Day {
  explicit Day(const Settings& s) : rig(at("2027-01-04 08:59:00"), s) {}
  void runTo(const char* until) {
    ASSERT_FALSE(rig.start().has_value());
    ASSERT_FALSE(rig.runUntil(at(until)).has_value());
  }
  SchedulerRig rig;
};

TEST(LauncherStop, SedEntryStopsTheProgramStartedAtNine) {
  Settings s = longMonday();
  s.timedProgram(3, "バックアップ", "C:\\Tools\\backup.exe").timedProgram(4, "バックアップ", "sed");
  s.timedRun(kMonday, 0, "9:00", "3").timedRun(kMonday, 1, "17:00", "4");
  Day day(s);
  day.runTo("2027-01-04 19:00:00");

  const auto started = day.rig.records("process-started");
  const auto stopped = day.rig.records("process-terminated");
  ASSERT_EQ(started.size(), 1u);
  ASSERT_EQ(stopped.size(), 1u);
  EXPECT_EQ(fmt(started[0].trueTime), "2027-01-04 09:00:00");
  EXPECT_EQ(fmt(stopped[0].trueTime), "2027-01-04 17:00:00");
  EXPECT_EQ(stopped[0].field("path"), "C:\\Tools\\backup.exe");
  EXPECT_EQ(day.rig.fake.runningProcesses, 0);
  EXPECT_EQ(day.rig.observer.details("stop"), (std::vector<std::string>{"バックアップ"}));
}

TEST(LauncherStop, SameNameStartedTwiceStopsTheEarlierFirstThenNothing) {
  Settings s = longMonday();
  s.timedProgram(0, "監視", "C:\\first.exe").timedProgram(1, "監視", "C:\\second.exe").timedProgram(2, "監視", "SED");
  s.timedRun(kMonday, 0, "9:00", "0").timedRun(kMonday, 1, "10:00", "1");
  s.timedRun(kMonday, 2, "11:00", "2").timedRun(kMonday, 3, "12:00", "2").timedRun(kMonday, 4, "13:00", "2");
  Day day(s);
  day.runTo("2027-01-04 14:00:00");

  const auto stopped = day.rig.records("process-terminated");
  ASSERT_EQ(stopped.size(), 2u);
  EXPECT_EQ(stopped[0].field("path"), "C:\\first.exe");
  EXPECT_EQ(fmt(stopped[0].trueTime), "2027-01-04 11:00:00");
  EXPECT_EQ(stopped[1].field("path"), "C:\\second.exe");
  EXPECT_EQ(fmt(stopped[1].trueTime), "2027-01-04 12:00:00");
  EXPECT_EQ(day.rig.observer.details("stop").size(), 2u);  // the third "sed" finds nothing left
  EXPECT_TRUE(day.rig.notices().empty());
}

TEST(LauncherStop, SedComparesTheNameExactly) {
  Settings s = longMonday();
  s.timedProgram(0, "Backup", "C:\\backup.exe").timedProgram(1, "backup", "sed").timedProgram(2, "未起動", "sed");
  s.timedRun(kMonday, 0, "9:00", "0").timedRun(kMonday, 1, "10:00", "1").timedRun(kMonday, 2, "10:00", "2");
  Day day(s);
  day.runTo("2027-01-04 11:00:00");

  EXPECT_EQ(day.rig.records("process-started").size(), 1u);
  EXPECT_TRUE(day.rig.records("process-terminated").empty());
  EXPECT_EQ(day.rig.fake.runningProcesses, 1);
}

TEST(LauncherStop, ProgramThatFailedToStartIsReportedAndNotStoppedLater) {
  Settings s = longMonday();
  s.timedProgram(0, "集計", "C:\\sum.exe").timedProgram(1, "集計", "sed");
  s.timedRun(kMonday, 0, "9:00", "0").timedRun(kMonday, 1, "10:00", "1");
  Day day(s);
  day.rig.fake.failingPaths.insert("C:\\sum.exe");
  day.runTo("2027-01-04 11:00:00");

  ASSERT_EQ(day.rig.notices().size(), 1u);  // once: the row counts as done
  EXPECT_NE(day.rig.notices()[0].find("集計"), std::string::npos);
  EXPECT_TRUE(day.rig.messages().empty());
  EXPECT_TRUE(day.rig.observer.details("stop").empty());
}

TEST(LauncherPaths, PathIsUsedAsStoredAndExecutablesStopByName) {
  // Only the ending is read in lower case; a case-sensitive file system needs the path as it is.
  Settings s = longMonday();
  s.timedProgram(0, "大文字", "/opt/Tools/Backup.EXE").timedProgram(1, "同期", "/opt/tools/Sync");
  s.timedProgram(2, "同期", "sed");
  s.timedRun(kMonday, 0, "9:00", "0").timedRun(kMonday, 1, "9:00", "1").timedRun(kMonday, 2, "9:30", "2");
  Day day(s);
  day.rig.fake.executableFiles.insert("/opt/tools/Sync");
  day.runTo("2027-01-04 10:00:00");

  EXPECT_EQ(day.rig.fields("process-started", "path"),
            (std::vector<std::string>{"/opt/Tools/Backup.EXE", "/opt/tools/Sync"}));
  EXPECT_EQ(day.rig.fields("process-terminated", "path"), (std::vector<std::string>{"/opt/tools/Sync"}));
}

TEST(LauncherPaths, EmptyPathLaunchesNothing) {
  Settings s = longMonday();
  s.timedProgram(0, "空", "").timedRun(kMonday, 0, "9:00", "0");
  Day day(s);
  day.runTo("2027-01-04 10:00:00");

  EXPECT_TRUE(day.rig.observer.details("launch").empty());
  EXPECT_TRUE(day.rig.records("document-opened").empty());
  EXPECT_TRUE(day.rig.notices().empty());
}

TEST(LauncherWorkbook, TimedWorkbookOpensInAVisibleApplication) {
  Settings s = longMonday();
  s.timedProgram(0, "売上", "C:\\売上.XLS").timedRun(kMonday, 0, "9:00", "0");
  Day day(s);
  day.runTo("2027-01-04 10:00:00");

  const auto opened = day.rig.records("workbook-opened");
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].field("path"), "C:\\売上.XLS");
  EXPECT_EQ(opened[0].field("visible"), "1");
  EXPECT_EQ(fmt(opened[0].trueTime), "2027-01-04 09:00:00");
  EXPECT_TRUE(day.rig.records("process-started").empty());
}

TEST(LauncherDocument, DocumentDoesNotHoldTheDay) {
  // Open from 9:00 to 9:30: the runs at 9:10 and 9:29:57 start at their times.
  Settings s = longMonday();
  s.timedProgram(0, "手順書", "C:\\手順書.pdf")
      .timedProgram(1, "十分", "C:\\ten.exe")
      .timedProgram(2, "後", "C:\\after.exe");
  s.timedRun(kMonday, 0, "9:00", "0").timedRun(kMonday, 1, "9:10", "1").timedRun(kMonday, 2, "9:29:57", "2");
  Day day(s);
  day.rig.fake.documentRunTimes["C:\\手順書.pdf"] = 30min;
  day.runTo("2027-01-04 10:00:00");

  const auto opened = day.rig.records("document-opened");
  const auto closed = day.rig.records("document-closed");
  ASSERT_EQ(opened.size(), 1u);
  ASSERT_EQ(closed.size(), 1u);
  EXPECT_EQ(fmt(opened[0].trueTime), "2027-01-04 09:00:00");
  EXPECT_EQ(fmt(closed[0].trueTime), "2027-01-04 09:30:00");
  const auto started = day.rig.records("process-started");
  ASSERT_EQ(started.size(), 2u);
  EXPECT_EQ(started[0].field("path"), "C:\\ten.exe");
  EXPECT_EQ(fmt(started[0].trueTime), "2027-01-04 09:10:00");
  EXPECT_EQ(started[1].field("path"), "C:\\after.exe");
  EXPECT_EQ(fmt(started[1].trueTime), "2027-01-04 09:29:57");
}

TEST(LauncherDocument, TimedDocumentOpenAcrossTheEndDoesNotStopTheCountdown) {
  Settings s = baseSettings();
  s.day({kMonday}, "7:30", "17:30").start(kTuesday, 0, "7:30");
  s.timedProgram(0, "日報", "C:\\日報.pdf").timedRun(kMonday, 0, "17:00", "0");
  SchedulerRig rig(at("2027-01-04 16:59:00"), s);
  rig.fake.documentRunTimes["C:\\日報.pdf"] = 45min;
  ASSERT_FALSE(rig.start().has_value());

  ASSERT_TRUE(rig.runUntil(at("2027-01-04 18:00:00")).has_value());

  ASSERT_EQ(rig.countdown.shownAt.size(), 1u);
  EXPECT_EQ(fmt(rig.countdown.shownAt[0]), "2027-01-04 17:30:00");
  EXPECT_TRUE(rig.fake.shutdownRequested);
  EXPECT_EQ(rig.setting(keys::kNextStartSection, keys::kNextStartKey), "7:30");
}

TEST(LauncherStop, SedPassesOverAProgramThatEndedByItself) {
  Settings s = longMonday();
  s.timedProgram(0, "表示", "C:\\viewer.exe").timedProgram(1, "表示", "sed");
  s.timedRun(kMonday, 0, "9:00", "0").timedRun(kMonday, 1, "9:30", "0").timedRun(kMonday, 2, "10:00", "1");
  Day day(s);
  // The first instance closes at 9:10; the second, started at 9:30, runs on.
  day.rig.fake.programRunTimes["C:\\viewer.exe"] = 10min;
  day.rig.fake.scheduleAt(6 * 60 * 1000, [&] { day.rig.fake.programRunTimes.clear(); });
  day.runTo("2027-01-04 11:00:00");

  EXPECT_EQ(day.rig.records("process-ended").size(), 1u);
  const auto stopped = day.rig.records("process-terminated");
  ASSERT_EQ(stopped.size(), 1u);
  EXPECT_EQ(fmt(stopped[0].trueTime), "2027-01-04 10:00:00");
  EXPECT_EQ(day.rig.fake.runningProcesses, 0);
}

TEST(LauncherShell, FolderAndAddressGoToTheDesktopsOpener) {
  Settings s = longMonday();
  s.timedProgram(0, "共有", "\\\\server\\共有").timedProgram(1, "社内", "https://intra.example/今日");
  s.timedRun(kMonday, 0, "9:00", "0").timedRun(kMonday, 1, "9:01", "1");
  Day day(s);
  day.rig.fake.folders.insert("\\\\server\\共有");
  day.runTo("2027-01-04 10:00:00");

  EXPECT_EQ(day.rig.fields("desktop-opened", "path"),
            (std::vector<std::string>{"\\\\server\\共有", "https://intra.example/今日"}));
  EXPECT_TRUE(day.rig.records("document-opened").empty());
  EXPECT_TRUE(day.rig.notices().empty());
}

TEST(LauncherDocument, DocumentThatCannotBeOpenedIsReported) {
  Settings s = longMonday();
  s.timedProgram(0, "手順書", "C:\\無い.pdf").timedRun(kMonday, 0, "9:00", "0");
  Day day(s);
  day.rig.fake.failingPaths.insert("C:\\無い.pdf");
  day.runTo("2027-01-04 10:00:00");

  ASSERT_EQ(day.rig.notices().size(), 1u);
  EXPECT_NE(day.rig.notices()[0].find("手順書"), std::string::npos);
  EXPECT_EQ(day.rig.scheduler->timerIntervalMs(), 1000);
}

}  // namespace
}  // namespace sayolt::schedtest
