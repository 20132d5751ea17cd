// The time-specified programs page without widgets: load, number rules, edits, キャンセル, the copy
// of Monday, the page check and the change-only save.
#include "editor/model/timed_page.h"

#include <gtest/gtest.h>

#include "editor/model/page_repair.h"
#include "editor/model/startup.h"
#include "tests/editor/editor_files.h"

namespace sayolt::editor {
namespace {

using test::TempFolder;

constexpr int kMonday = 0, kTuesday = 1, kWednesday = 2, kFriday = 4, kSaturday = 5, kAbsence = 8;

const char* const kTimedFile =
    "[時刻指定プログラム]\r\n"
    "プログラム名2=バックアップ\r\n"
    "パス2=C:\\Tools\\backup.exe\r\n"
    "; kept as it is\r\n"
    "[時刻指定プログラム実行予定]\r\n"
    "開始時刻0-0=09:00\r\n"
    "番号0-0=2\r\n"
    "開始時刻5-29=23:59\r\n"
    "番号5-29=2\r\n";

struct TimedFixture : ::testing::Test {
  void SetUp() override {
    test::writeIniText(path, kTimedFile);
    page.load(IniSnapshot::load(path));
  }
  TempFolder folder;
  std::filesystem::path path = folder / "Sayolt設定.ini";
  TimedPageTables tables;
  TimedPage page{tables};
};

TEST_F(TimedFixture, LoadFillsTablesSnapshotsAndSavedCopies) {
  const TimedPageTables& t = page.tables;
  EXPECT_EQ(t.programNames[2], "バックアップ");
  EXPECT_EQ(t.programPaths[2], "C:\\Tools\\backup.exe");
  EXPECT_EQ(t.runTimes[kMonday][0], "09:00");  // as typed, never normalised
  EXPECT_EQ(t.runPrograms[kSaturday][29], "2");
  EXPECT_EQ(t.runTimesSnapshot, t.runTimes);
  EXPECT_EQ(t.savedRunPrograms, t.runPrograms);
  EXPECT_EQ(t.savedProgramNames, t.programNames);
  EXPECT_EQ(t.selectedCategory, 0);
  EXPECT_FALSE(page.hasUnsavedEdits());
  // Shown one-based: stored 2 is program 3.
  EXPECT_EQ(TimedPage::shownNumberOf(t.runPrograms[kMonday][0]), "3");
  EXPECT_EQ(page.programLabel("3"), "バックアップ");
}

TEST(TimedPageLoad, MissingFileOpensEmptyAndBadNumbersAreDamage) {
  TempFolder folder;
  TimedPageTables tables;
  TimedPage page{tables};
  page.load(IniSnapshot::load(folder / "none.ini"));
  EXPECT_EQ(page.tables.runTimes[kAbsence][29], "");
  EXPECT_FALSE(page.checkTimedPage().has_value());

  page.tables.programNames[0] = "kept";
  for (const char* bad : {"abc", "20", "-1"}) {
    SCOPED_TRACE(bad);
    const std::string file = std::string("[時刻指定プログラム実行予定]\r\n番号3-7=") + bad + "\r\n";
    EXPECT_THROW(page.load(IniSnapshot::fromBytes(*cp932::fromUtf8(file))), PageLoadError);
    EXPECT_EQ(page.tables.programNames[0], "kept");  // a failed load changes nothing
  }
  page.load(IniSnapshot::fromBytes(*cp932::fromUtf8("[時刻指定プログラム実行予定]\r\n番号3-7=19\r\n")));
  EXPECT_EQ(page.tables.runPrograms[3][7], "19");
}

TEST_F(TimedFixture, NumberFieldRules) {
  for (const char* refused : {"0", "21", "abc", "1", "2.4"}) {  // 1 and 2 name programs without a name
    SCOPED_TRACE(refused);
    EXPECT_EQ(page.programLabel(refused), "");
    EXPECT_FALSE(page.isAcceptedNumber(refused));
  }
  EXPECT_TRUE(page.isAcceptedNumber(""));
  EXPECT_TRUE(page.isAcceptedNumber("3"));
  EXPECT_TRUE(page.isAcceptedNumber("2.6"));  // rounds to 3
  EXPECT_TRUE(page.isAcceptedNumber("３"));   // as an IME in full-width mode types it
  EXPECT_EQ(TimedPage::storedIndexOf("3"), "2");
  EXPECT_EQ(TimedPage::storedIndexOf(""), "");
  EXPECT_EQ(TimedPage::storedIndexOf("x"), std::nullopt);
  // The scheduler knows programs 1..20 only: anything else is never stored.
  for (const char* outside : {"21", "0", "-0.4", "32767", "-1"}) {
    SCOPED_TRACE(outside);
    EXPECT_EQ(TimedPage::storedIndexOf(outside), std::nullopt);
  }
  EXPECT_EQ(TimedPage::storedIndexOf("20"), "19");
  EXPECT_EQ(TimedPage::storedIndexOf("２０"), "19");
}

TEST_F(TimedFixture, GridEditsGoToTheShownCategoryOnly) {
  page.tables.selectedCategory = kWednesday;
  page.tables.runPrograms[kWednesday][5] = "7";
  page.storeRunTime(4, "9:05");
  page.storeRunNumber(4, "3");
  page.storeRunNumber(5, "abc");  // cannot normally be left; keeps what the table had
  page.storeRunNumber(5, "21");
  page.storeRunTime(6, "１２：３０");  // stored as the scheduler reads it
  EXPECT_EQ(page.tables.runTimes[kWednesday][4], "9:05");
  EXPECT_EQ(page.tables.runPrograms[kWednesday][4], "2");
  EXPECT_EQ(page.tables.runPrograms[kWednesday][5], "7");
  EXPECT_EQ(page.tables.runTimes[kWednesday][6], "12:30");
  EXPECT_EQ(page.tables.runTimes[kMonday][0], "09:00");
  EXPECT_TRUE(page.hasUnsavedEdits());
}

TEST_F(TimedFixture, CancelRestoresTheShownCategoryOnly) {
  page.tables.runTimes[kTuesday][3] = "10:00";
  page.tables.runPrograms[kTuesday][3] = "2";
  page.tables.runTimes[kWednesday][3] = "11:00";
  page.tables.selectedCategory = kTuesday;
  page.cancelCategory();
  EXPECT_EQ(page.tables.runTimes[kTuesday][3], "");
  EXPECT_EQ(page.tables.runPrograms[kTuesday][3], "");
  EXPECT_EQ(page.tables.runTimes[kWednesday][3], "11:00");

  // After a leave the snapshot is the committed state, and キャンセル goes back to it.
  page.commitTimedPage(page.tables.programNames, page.tables.programPaths);
  page.tables.selectedCategory = kWednesday;
  page.tables.runTimes[kWednesday][3] = "12:00";
  page.cancelCategory();
  EXPECT_EQ(page.tables.runTimes[kWednesday][3], "11:00");
}

TEST_F(TimedFixture, CopyMondayOverwritesAllThirtySlotsOfTuesdayToFriday) {
  page.tables.runTimes[kFriday][29] = "18:00";  // Monday's slot 29 is empty: emptied too
  page.tables.runPrograms[kFriday][29] = "2";
  page.tables.runTimes[kSaturday][1] = "8:00";
  page.copyMondayRuns();
  for (int c = kTuesday; c <= kFriday; ++c) {
    EXPECT_EQ(page.tables.runTimes[c], page.tables.runTimes[kMonday]);
    EXPECT_EQ(page.tables.runPrograms[c], page.tables.runPrograms[kMonday]);
  }
  EXPECT_EQ(page.tables.runTimes[kFriday][0], "09:00");
  EXPECT_EQ(page.tables.runTimes[kFriday][29], "");
  EXPECT_EQ(page.tables.runTimes[kSaturday][1], "8:00");
  EXPECT_EQ(page.tables.runTimes[kSaturday][29], "23:59");
  EXPECT_EQ(page.tables.runTimesSnapshot[kTuesday][0], "");  // only the tables change
}

TEST_F(TimedFixture, CheckReportsTheFirstGapInCategoryOrderThenPrograms) {
  ProgramTexts names = page.tables.programNames, paths = page.tables.programPaths;
  page.tables.runTimes[kWednesday][2] = "8:00";  // time without a number
  page.tables.runPrograms[kTuesday][20] = "2";   // number without a time, earlier category
  names[2] = "";                                 // program 3 loses its name
  page.commitTimedPage(names, paths);
  EXPECT_EQ(page.checkTimedPage(), "火曜日のプログラム設定に記入漏れがあります");

  page.tables.runPrograms[kTuesday][20] = "";
  page.commitTimedPage(names, paths);
  EXPECT_EQ(page.checkTimedPage(), "水曜日のプログラム設定に記入漏れがあります");

  page.tables.runTimes[kWednesday][2] = "";
  page.commitTimedPage(names, paths);
  EXPECT_EQ(page.checkTimedPage(), "3番のプログラムに記入漏れがあります");

  // A run pointing to a program whose name and path were both emptied is not this check's concern.
  paths[2] = "";
  page.commitTimedPage(names, paths);
  EXPECT_EQ(page.checkTimedPage(), std::nullopt);

  // The check reads the snapshot: an edit not yet committed is not seen.
  page.tables.runTimes[kAbsence][0] = "7:00";
  EXPECT_EQ(page.checkTimedPage(), std::nullopt);
  page.commitTimedPage(names, paths);
  EXPECT_EQ(page.checkTimedPage(), "不在のプログラム設定に記入漏れがあります");
}

TEST_F(TimedFixture, RefusedLeaveKeepsTheSnapshotSoCancelStillHelps) {
  page.tables.selectedCategory = kWednesday;
  page.tables.runTimes[kWednesday][3] = "10:00";  // no number
  EXPECT_EQ(page.commitIfComplete(page.tables.programNames, page.tables.programPaths),
            "水曜日のプログラム設定に記入漏れがあります");
  EXPECT_EQ(page.tables.runTimesSnapshot[kWednesday][3], "");
  EXPECT_TRUE(page.timedPageChanges().empty());
  page.cancelCategory();
  EXPECT_EQ(page.tables.runTimes[kWednesday][3], "");

  page.tables.runTimes[kWednesday][3] = "10:00";
  page.tables.runPrograms[kWednesday][3] = "2";
  EXPECT_EQ(page.commitIfComplete(page.tables.programNames, page.tables.programPaths), std::nullopt);
  EXPECT_EQ(page.tables.runProgramsSnapshot[kWednesday][3], "2");
}

TEST_F(TimedFixture, SaveWritesOnlyChangedKeysAndEmptiedValuesStay) {
  ProgramTexts names = page.tables.programNames, paths = page.tables.programPaths;
  names[0] = "同期";
  paths[0] = "C:\\sync.exe";
  page.tables.runTimes[kMonday][0] = "";  // emptied: key stays with nothing after "="
  page.tables.runPrograms[kMonday][0] = "";
  page.tables.runTimes[kAbsence][29] = "0:30";
  page.tables.runPrograms[kAbsence][29] = "0";
  page.commitTimedPage(names, paths);
  ASSERT_EQ(page.checkTimedPage(), std::nullopt);
  IniFile file(path);
  page.saveTimedPage(file);

  EXPECT_EQ(test::readIniText(path),
            "[時刻指定プログラム]\r\n"
            "プログラム名2=バックアップ\r\n"
            "パス2=C:\\Tools\\backup.exe\r\n"
            "プログラム名0=同期\r\n"
            "パス0=C:\\sync.exe\r\n"
            "; kept as it is\r\n"
            "[時刻指定プログラム実行予定]\r\n"
            "開始時刻0-0=\r\n"
            "番号0-0=\r\n"
            "開始時刻5-29=23:59\r\n"
            "番号5-29=2\r\n"
            "開始時刻8-29=0:30\r\n"
            "番号8-29=0\r\n");
  EXPECT_FALSE(page.hasUnsavedEdits());
  EXPECT_TRUE(page.timedPageChanges().empty());
}

TEST_F(TimedFixture, SaveWithoutChangesDoesNotTouchTheFile) {
  const std::string before = test::readBytes(path);
  const auto stamp = test::ageFile(path);
  page.commitTimedPage(page.tables.programNames, page.tables.programPaths);
  IniFile file(path);
  page.saveTimedPage(file);
  page.saveTimedPage(file);
  EXPECT_EQ(test::readBytes(path), before);
  EXPECT_EQ(std::filesystem::last_write_time(path), stamp);

  // Typing a value and typing the old one back is no change either.
  page.tables.runTimes[kMonday][0] = "9:00";
  page.tables.runTimes[kMonday][0] = "09:00";
  page.commitTimedPage(page.tables.programNames, page.tables.programPaths);
  EXPECT_TRUE(page.timedPageChanges().empty());
}

TEST_F(TimedFixture, FailedSaveKeepsEverythingToSaveAgain) {
  page.tables.runTimes[kMonday][1] = "10:00";
  page.tables.runPrograms[kMonday][1] = "2";
  page.commitTimedPage(page.tables.programNames, page.tables.programPaths);
  IniFile unwritable(folder / "missing-folder" / "Sayolt設定.ini");
  EXPECT_THROW(page.saveTimedPage(unwritable), IniError);
  EXPECT_TRUE(page.hasUnsavedEdits());

  IniFile file(path);
  page.saveTimedPage(file);
  EXPECT_NE(test::readIniText(path).find("開始時刻0-1=10:00\r\n番号0-1=2\r\n"), std::string::npos);
}

// Start-up reads pages 2 and 3 through the pages' own loaders: damage names page 2, and the dates
// are those from the clock's today on.
TEST(StartupReaders, ReadPagesTwoAndThreeWithTheirOwnRules) {
  struct DayClock : Clock {
    LocalTime now() const override { return test::localAt("2027-05-04 12:00:00"); }
    MonotonicMs monotonicMs() const override { return 0; }
    bool setUtc(UtcTime) override { return false; }
    bool setLocalTimeOfDay(TimeOfDay) override { return false; }
    bool syncHardwareClock() override { return false; }
  } clock;
  const StartupReaders readers = startupReaders(clock);
  EditorTables tables;
  readPagesAtStartup(IniSnapshot::fromBytes(*cp932::fromUtf8(std::string(kTimedFile) +
                                                             "[不在]\r\n登録日1=2027/5/3\r\n登録日2=2027/5/4\r\n")),
                     tables, readers);
  EXPECT_EQ(tables.timed.programNames[2], "バックアップ");
  EXPECT_EQ(tables.dates.absenceDates, std::vector<std::string>{"2027/5/4"});

  try {
    readPagesAtStartup(IniSnapshot::fromBytes(*cp932::fromUtf8("[時刻指定プログラム実行予定]\r\n番号0-0=x\r\n")),
                       tables, readers);
    ADD_FAILURE() << "damage not found";
  } catch (const PageLoadError& error) {
    EXPECT_EQ(error.page(), PageId::TimedPrograms);
  }
}

}  // namespace
}  // namespace sayolt::editor
