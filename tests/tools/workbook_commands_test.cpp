// sayolt-plan workbook and check --conflicts: exit codes, messages and the exact JSON.
#include <gtest/gtest.h>

#include <string>

#include "tests/core/core_test_support.h"
#include "tests/tools/plan_runner.h"
#include "tools/plan/commands.h"

namespace sayolt {
namespace {

using Outcome = test::PlanOutcome;
Outcome plan(const plan::Args& args) { return test::runPlanCommand(args); }

std::string utf8(const std::filesystem::path& path) {
  const auto text = path.u8string();
  return std::string(text.begin(), text.end());
}

// Monday on from 8:00 to 17:00 with a run after the shutdown; Tuesday starts twice.
test::SettingsBuilder twoProblems() {
  test::SettingsBuilder settings;
  for (int d = 0; d < 7; ++d) settings.startTime(d, 0, "8:00").endTime(d, 0, "17:00");
  settings.startTime(1, 1, "12:00").timedProgram(0, "日報\"集計\"", "C:\\a.exe").timedRun(0, 0, "18:30", "0");
  return settings;
}

TEST(ConflictsCommand, JsonListsEachMarkedEntryAndRule) {
  test::TempFolder folder;
  const auto file = folder / "Sayolt設定.ini";
  twoProblems().writeTo(file);
  const Outcome o = plan({"check", utf8(file), "--conflicts", "--json"});
  EXPECT_EQ(o.code, 0);
  EXPECT_EQ(o.out,
            "{\"conflicts\":["
            "{\"category\":0,\"time\":\"18:30\",\"label\":\"日報\\\"集計\\\"\",\"rule\":\"run-while-off\"},"
            "{\"category\":1,\"time\":\"12:00\",\"label\":\"起動\",\"rule\":\"double-start\"}]}\n");
}

TEST(ConflictsCommand, TextLinesNameTheCategoryInJapanese) {
  test::TempFolder folder;
  const auto file = folder / "Sayolt設定.ini";
  twoProblems().writeTo(file);
  const Outcome o = plan({"check", "--conflicts", utf8(file)});
  EXPECT_EQ(o.code, 0);
  EXPECT_EQ(o.out,
            "月曜日 18:30 日報\"集計\": 停止中のプログラム実行 (run-while-off)\n"
            "火曜日 12:00 起動: 起動中にさらに起動 (double-start)\n");

  test::SettingsBuilder week;
  for (int d = 0; d < 7; ++d) week.startTime(d, 0, "8:00").endTime(d, 0, "17:00");
  week.writeTo(file);
  EXPECT_EQ(plan({"check", utf8(file), "--conflicts"}).out, "矛盾はありません\n");
  EXPECT_EQ(plan({"check", utf8(file), "--conflicts", "--json"}).out, "{\"conflicts\":[]}\n");
}

TEST(ConflictsCommand, UnreadableSettingsAndBadArguments) {
  test::TempFolder folder;
  EXPECT_EQ(plan({"check", utf8(folder / "missing.ini"), "--conflicts"}).code, 1);
  const auto file = folder / "Sayolt設定.ini";
  test::SettingsBuilder().dayStart("朝").writeTo(file);
  const Outcome bad = plan({"check", utf8(file), "--conflicts", "--json"});
  EXPECT_EQ(bad.code, 1);
  EXPECT_EQ(bad.out, "");
  EXPECT_NE(bad.err.find("一日の区切り"), std::string::npos);
  EXPECT_EQ(plan({"check", "--conflicts"}).code, 2);
  EXPECT_EQ(plan({"check", "a.ini", "b.ini", "--conflicts"}).code, 2);
}

TEST(WorkbookCommand, BuildsFromASettingsFile) {
  test::TempFolder folder;
  const auto file = folder / "Sayolt設定.ini";
  const auto book = folder / "Sayolt予定表.xls";
  twoProblems().startTime(2, 0, "朝").writeTo(file);
  const Outcome o = plan({"workbook", utf8(file), utf8(book)});
  EXPECT_EQ(o.code, 0);
  EXPECT_EQ(o.err, "時刻として読めないため除きました: 水曜日 朝\n");
  EXPECT_EQ(test::readBytes(book).substr(0, 4), "\xD0\xCF\x11\xE0");
}

TEST(WorkbookCommand, FailuresLeaveTheOutputAlone) {
  test::TempFolder folder;
  const auto file = folder / "Sayolt設定.ini";
  const auto book = folder / "Sayolt予定表.xls";
  EXPECT_EQ(plan({"workbook", utf8(file), utf8(book)}).code, 1);  // no settings file
  EXPECT_FALSE(std::filesystem::exists(book));

  twoProblems().writeTo(file);
  test::writeBytes(book, "a text file named .xls");
  const Outcome damaged = plan({"workbook", utf8(file), utf8(book)});
  EXPECT_EQ(damaged.code, 1);
  EXPECT_NE(damaged.err.find("そのまま残してあります"), std::string::npos);
  EXPECT_EQ(test::readBytes(book), "a text file named .xls");
  EXPECT_EQ(plan({"workbook", utf8(file)}).code, 2);
}

}  // namespace
}  // namespace sayolt
