// The main page without widgets: its loaders over literal files, its check with the exact
// messages, change-only saving compared as file bytes, and the run-plan and copy rules.
#include "editor/model/main_page.h"

#include <gtest/gtest.h>

#include "editor/model/page_repair.h"
#include "testdata/full_settings.h"
#include "tests/editor/editor_files.h"

namespace sayolt::editor {
namespace {

using test::TempFolder;

struct MainPageFixture : ::testing::Test {
  MainPageValues load(std::string_view text) {
    test::writeIniText(path, text);
    return readMainPage(IniSnapshot::load(path), tables);
  }
  SaveResult save(const MainPageValues& values) {
    IniFile file(path);
    return saveMainPage(file, values, tables);
  }
  TempFolder folder;
  std::filesystem::path path = folder / "Sayolt設定.ini";
  MainPageTables tables;
};

// A page that passes the check: one time a day, both servers, tolerance 30, a priority.
MainPageValues passingPage() {
  MainPageValues v;
  for (int c = 0; c < keys::kCategories; ++c) v.times[gridIndex(0, c, 0)] = "8:00";
  v.ntpServers = {"ntp.nict.jp", "time.google.com"};
  v.tolerance = "30";
  v.priority = Priority::Absence;
  v.dayStart = "5:00";
  return v;
}

TEST_F(MainPageFixture, MissingFileLoadsDefaults) {
  const MainPageValues v = readMainPage(IniSnapshot::load(path), tables);
  for (const auto& t : v.times) EXPECT_EQ(t, "");
  EXPECT_EQ(v.dayStart, "0:00");
  EXPECT_EQ(v.priority, Priority::None);
  EXPECT_FALSE(v.trayIcon);
  EXPECT_EQ(v.tolerance, "");
  EXPECT_EQ(tables.runPlan[11][8][7], "");
}

TEST_F(MainPageFixture, LoadFillsValuesAndSavedCopiesAlike) {
  const MainPageValues v = load(test::fullSettingsText());
  EXPECT_EQ(v.times[gridIndex(0, 3, 1)], "8:30");  // "0-3-1": Thursday start, slot 1
  EXPECT_EQ(v.times[gridIndex(1, 8, 7)], "21:05");
  EXPECT_EQ(v.autoPrograms[11].path, "C:\\Program Files\\業務ツール\\自動12.exe");
  EXPECT_EQ(v.manualPrograms[4].delay, "9");
  EXPECT_EQ(v.ntpServers[1], "time.google.com");
  EXPECT_TRUE(v.trayIcon);
  EXPECT_EQ(v.priority, Priority::WeekendHoliday);
  EXPECT_EQ(v.tolerance, "30");
  EXPECT_EQ(v.dayStart, "5:00");
  EXPECT_EQ(tables.savedTimes, v.times);
  EXPECT_EQ(tables.savedAutoPrograms, v.autoPrograms);
  EXPECT_EQ(tables.savedManualPrograms, v.manualPrograms);
  EXPECT_EQ(tables.runPlan[1][1][1], "1");
  EXPECT_EQ(tables.runPlan[1][1][0], "0");
  EXPECT_EQ(tables.savedRunPlan, tables.runPlan);
  // Right after loading nothing counts as changed: the batch holds only the always-written keys.
  EXPECT_EQ(mainPageBatch(v, tables).ops().size(), 6u);
}

TEST_F(MainPageFixture, DayStartMinutesAsText) {
  EXPECT_EQ(load("[一日の区切り]\r\n時刻=0\r\n").dayStart, "0:00");
  EXPECT_EQ(load("[一日の区切り]\r\n時刻=\r\n").dayStart, "0:00");
  EXPECT_EQ(load("[一日の区切り]\r\n時刻=5\r\n").dayStart, "0:05");
  EXPECT_EQ(load("[一日の区切り]\r\n時刻=1439\r\n").dayStart, "23:59");
  EXPECT_EQ(load("[一日の区切り]\r\n時刻=299.5\r\n").dayStart, "5:00");  // halves to even
}

TEST_F(MainPageFixture, DayStartThatIsNoWholeNumberFailsPageOne) {
  for (const char* bad : {"abc", "32768", "-32769", "5:00"}) {
    try {
      load(std::string("[一日の区切り]\r\n時刻=") + bad + "\r\n");
      ADD_FAILURE() << bad << " was read";
    } catch (const PageLoadError& error) {
      EXPECT_EQ(error.page(), PageId::Main) << bad;
    }
  }
}

TEST_F(MainPageFixture, PriorityOtherThanZeroOrOneSelectsNeither) {
  EXPECT_EQ(load("[休日不在]\r\n優先=2\r\n").priority, Priority::None);
  EXPECT_EQ(load("[休日不在]\r\n優先=1\r\n").priority, Priority::WeekendHoliday);
  EXPECT_EQ(load("[休日不在]\r\n優先=0\r\n").priority, Priority::Absence);
}

TEST_F(MainPageFixture, ValuesLongerThan254BytesArriveCut) {
  const std::string path300(300, 'a');
  const MainPageValues v = load("[自動実行時プログラム]\r\nパス0=" + path300 + "\r\n");
  EXPECT_EQ(v.autoPrograms[0].path, std::string(254, 'a'));
  EXPECT_EQ(tables.savedAutoPrograms[0].path, std::string(254, 'a'));
}

TEST(MainPageCheck, PassingPageHasNoMessagesAndKeepsCaptions) {
  EXPECT_TRUE(checkMainPage(passingPage()).empty());
  EXPECT_EQ(captionsAfterCheck(0).next, "次へ");
  EXPECT_EQ(captionsAfterCheck(0).end, "設定終了");
  EXPECT_EQ(captionsAfterCheck(2).next, "もう一度チェックする");
  EXPECT_EQ(captionsAfterCheck(2).end, "あきらめる\n(保存せず終了)");
}

TEST(MainPageCheck, BlankDaySkipsTheFormatCheck) {
  MainPageValues v = passingPage();
  v.times[gridIndex(0, 7, 0)] = "";  // 祝日 now has no time at all
  v.times[gridIndex(1, 2, 2)] = "25:00";
  EXPECT_EQ(checkMainPage(v), std::vector<std::string>{"1日1回は起動または終了してください。"});
  // An end time alone is enough for a day.
  v.times[gridIndex(1, 7, 5)] = "22:00";
  EXPECT_EQ(checkMainPage(v),
            std::vector<std::string>{"開始時刻終了時刻設定欄に時刻と認識できない形式が含まれています。  水曜 3番目"});
}

TEST(MainPageCheck, OnlyTheFirstBadCellIsReported) {
  MainPageValues v = passingPage();
  v.times[gridIndex(1, 4, 0)] = "abc";  // Friday end, slot 0
  v.times[gridIndex(0, 4, 1)] = "9:61";
  v.times[gridIndex(0, 8, 7)] = "x";
  EXPECT_EQ(checkMainPage(v),
            std::vector<std::string>{"開始時刻終了時刻設定欄に時刻と認識できない形式が含まれています。  金曜 1番目"});
  v.times[gridIndex(1, 4, 0)] = "2027/1/4";  // a date passes
  v.times[gridIndex(0, 4, 1)] = "9:05:30";
  EXPECT_EQ(checkMainPage(v),
            std::vector<std::string>{"開始時刻終了時刻設定欄に時刻と認識できない形式が含まれています。  不在 8番目"});
}

TEST(MainPageCheck, EveryProblemInOrder) {
  MainPageValues v = passingPage();
  v.ntpServers[1] = "";
  v.autoPrograms[0] = {"メール", "", ""};
  v.autoPrograms[5] = {"", "C:\\a.exe", "5"};
  v.autoPrograms[7] = {"全部", "C:\\b.exe", "3"};
  EXPECT_EQ(checkMainPage(v),
            (std::vector<std::string>{"サーバー2を記入してください", "自動起動時のプログラム記入欄に記入漏れがあります",
                                      "自動起動時のプログラム記入欄に記入漏れがあります"}));

  MainPageValues all;  // everything missing
  all.times[gridIndex(0, 0, 0)] = "8:00";
  all.times[gridIndex(0, 1, 0)] = "8:00";
  all.manualPrograms[4] = {"", "", "10"};
  EXPECT_EQ(checkMainPage(all),
            (std::vector<std::string>{"1日1回は起動または終了してください。", "サーバー1を記入してください",
                                      "サーバー2を記入してください", "手動起動時のプログラム記入欄に記入漏れがあります",
                                      "起動時調整時間を記入してください", "休日と不在の優先順位を設定してください"}));
}

TEST(MainPageCheck, Tolerance) {
  const std::string wholeNumber = "起動時調整時間には1以上の整数値を記入してください";
  const auto messageFor = [](const std::string& tolerance) {
    MainPageValues v = passingPage();
    v.tolerance = tolerance;
    const auto messages = checkMainPage(v);
    return messages.empty() ? std::string() : messages.front();
  };
  EXPECT_EQ(messageFor(""), "起動時調整時間を記入してください");
  for (const char* bad : {"0", "-5", "abc", "0.4", "1e3", "1,000", "-40000", "+"})
    EXPECT_EQ(messageFor(bad), wholeNumber) << bad;
  EXPECT_EQ(messageFor("40000"), "起動時調整時間には32767以下の整数値を記入してください");
  for (const char* good : {"1", "30", "05", "+5", " 7 ", "1.5", "32767", "３０", "　３０　"})
    EXPECT_EQ(messageFor(good), "") << good;
}

TEST_F(MainPageFixture, SavingIntoNewFileWritesOnlyAlwaysWrittenKeys) {
  MainPageValues v = readMainPage(IniSnapshot::load(path), tables);
  v.tolerance = "05";
  save(v);
  EXPECT_EQ(test::readIniText(path),
            "[休日不在]\r\n優先=\r\n[NTPサーバー]\r\nサーバー0=\r\nサーバー1=\r\n[タスクトレイ]\r\nアイコン表示=0\r\n"
            "[起動時調整時間]\r\n時間=5\r\n[一日の区切り]\r\n時刻=0\r\n");
}

TEST_F(MainPageFixture, SavingTwiceWithoutEditsWritesOnlyAlwaysWrittenKeys) {
  MainPageValues v = load("[起動終了時刻]\r\n0-0-0=8:00\r\n[自動実行時プログラム実行予定]\r\n0-0-0=1\r\n");
  v.times[gridIndex(0, 0, 0)] = "9:05";
  v.times[gridIndex(1, 8, 7)] = "";  // was missing, still empty: not written
  v.autoPrograms[2] = {"メール", "C:\\mail.exe", "10"};
  tables.runPlan[0][0][0] = "0";
  tables.runPlan[1][0][0] = "1";
  v.priority = Priority::WeekendHoliday;
  v.trayIcon = true;
  v.tolerance = "30";
  v.dayStart = "9:05:30";
  save(v);
  const std::string first =
      "[起動終了時刻]\r\n0-0-0=9:05\r\n[自動実行時プログラム実行予定]\r\n0-0-0=0\r\n1-0-0=1\r\n"
      "[自動実行時プログラム]\r\nプログラム名2=メール\r\nパス2=C:\\mail.exe\r\n遅延2=10\r\n"
      "[休日不在]\r\n優先=1\r\n[NTPサーバー]\r\nサーバー0=\r\nサーバー1=\r\n[タスクトレイ]\r\nアイコン表示=1\r\n"
      "[起動時調整時間]\r\n時間=30\r\n[一日の区切り]\r\n時刻=545\r\n";
  EXPECT_EQ(test::readIniText(path), first);

  const IniBatch second = mainPageBatch(v, tables);
  std::vector<std::string> written;
  for (const auto& op : second.ops()) written.push_back(op.section + "/" + op.key);
  EXPECT_EQ(written,
            (std::vector<std::string>{"休日不在/優先", "NTPサーバー/サーバー0", "NTPサーバー/サーバー1",
                                      "タスクトレイ/アイコン表示", "起動時調整時間/時間", "一日の区切り/時刻"}));
  save(v);
  EXPECT_EQ(test::readIniText(path), first);
}

TEST_F(MainPageFixture, ToleranceTheSchedulerWouldRefuseKeepsTheStoredValue) {
  MainPageValues v = load("[起動時調整時間]\r\n時間=20\r\n");
  for (const char* bad : {"", "abc", "0", "40000", "-3"}) {
    v.tolerance = bad;
    EXPECT_TRUE(save(v).toleranceKept) << bad;
    EXPECT_EQ(IniSnapshot::load(path).get("起動時調整時間", "時間"), "20") << bad;
  }
  v.tolerance = "２５";
  EXPECT_FALSE(save(v).toleranceKept);
  EXPECT_EQ(IniSnapshot::load(path).get("起動時調整時間", "時間"), "25");
}

TEST(MainPageSave, DayStartAsMinutes) {
  EXPECT_EQ(dayStartToStore("5:00"), "300");
  EXPECT_EQ(dayStartToStore("0:05"), "5");
  EXPECT_EQ(dayStartToStore("23:59:59"), "1439");
  EXPECT_EQ(dayStartToStore("2027/1/4"), "0");
  EXPECT_EQ(dayStartToStore("abc"), "0");
  EXPECT_EQ(dayStartToStore(""), "0");
}

TEST_F(MainPageFixture, FailedWriteChangesNeitherFileNorSavedCopies) {
  MainPageValues v = load("[起動終了時刻]\r\n0-0-0=8:00\r\n");
  const std::string before = test::readBytes(path);
  v.times[gridIndex(0, 0, 0)] = "9:00";
  v.autoPrograms[0] = {"\xF0\x9F\x98\x80", "C:\\a.exe", "1"};  // an emoji has no code page 932 form
  EXPECT_THROW(save(v), IniError);
  EXPECT_EQ(test::readBytes(path), before);
  EXPECT_EQ(tables.savedTimes[gridIndex(0, 0, 0)], "8:00");
  EXPECT_EQ(tables.savedAutoPrograms[0].name, "");
}

TEST(RunPlanRules, CommitSetsEveryEntryOfTheSelectedProgramOnly) {
  RunPlan plan;
  plan[2][4][4] = "1";
  plan[3][5][5] = "1";
  std::array<bool, kStartCells> on{};
  on[gridIndex(0, 0, 0)] = true;
  commitRunPlan(plan, 3, on);
  for (int c = 0; c < keys::kCategories; ++c)
    for (int s = 0; s < keys::kSlots; ++s) EXPECT_EQ(plan[3][c][s], c == 0 && s == 0 ? "1" : "0");
  EXPECT_EQ(plan[2][4][4], "1");
  EXPECT_EQ(plan[4][0][0], "");
  EXPECT_EQ(startHighlightsFor(plan, 3), on);
}

TEST(RunPlanRules, CopyMondayCopiesSixteenTimesToTuesdayThroughFriday) {
  GridTexts times;
  times[gridIndex(0, 0, 0)] = "8:00";
  times[gridIndex(1, 0, 7)] = "23:00";
  for (int c = 1; c < keys::kCategories; ++c) times[gridIndex(0, c, 3)] = "12:00";
  copyMonday(times);
  for (int c = 1; c <= 4; ++c) {
    EXPECT_EQ(times[gridIndex(0, c, 0)], "8:00");
    EXPECT_EQ(times[gridIndex(1, c, 7)], "23:00");
    EXPECT_EQ(times[gridIndex(0, c, 3)], "");  // Monday's empty cell empties it
  }
  for (int c = 5; c < keys::kCategories; ++c) {
    EXPECT_EQ(times[gridIndex(0, c, 3)], "12:00");
    EXPECT_EQ(times[gridIndex(0, c, 0)], "");
  }
}

TEST_F(MainPageFixture, ErasingAPageRemovesItsSectionsOnly) {
  test::writeIniText(path, test::fullSettingsText());
  IniFile file(path);
  erasePage(file, PageId::Main);
  const IniSnapshot after = IniSnapshot::load(path);
  for (const auto& section : pageSections(PageId::Main)) EXPECT_TRUE(after.getSection(section).empty()) << section;
  EXPECT_EQ(after.get("次回起動", "時刻"), "8:00");
  EXPECT_EQ(after.get("時刻指定プログラム", "プログラム名0"), "定時処理1");
  EXPECT_EQ(after.get("祝日", "登録日1"), "2027/2/2");
  EXPECT_EQ(repairQuestion(PageId::TimedPrograms),
            "第2面のデータに不備があるようです。\n  Yes = 第2面のデータを消去します。再入力してください。\n"
            "  No = プログラムを終了します。");
}

}  // namespace
}  // namespace sayolt::editor
