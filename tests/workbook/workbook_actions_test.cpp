// 作成 and 閲覧 against a spreadsheet program that may hold the file open.
#include "workbook/workbook_actions.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_workbook_viewer.h"
#include "tests/support/test_files.h"
#include "workbook/schedule_workbook.h"

namespace sayolt::workbook {
namespace {

TimetableInput plan() {
  TimetableInput in;
  in.startTimes[0][0] = "8:00";
  return in;
}

TEST(WorkbookActions, BuildRefusesWhileTheFileIsOpenElsewhere) {
  sayolt::test::TempFolder folder;
  const auto file = folder / kWorkbookFileName;
  FakeWorkbookViewer viewer;
  EXPECT_TRUE(buildScheduleWorkbook(file, plan(), viewer).built);
  const std::string before = sayolt::test::readBytes(file);

  viewer.openElsewhere.insert(file);
  TimetableInput changed = plan();
  changed.startTimes[0][0] = "9:00";
  const BuildOutcome refused = buildScheduleWorkbook(file, changed, viewer);
  EXPECT_FALSE(refused.built);
  EXPECT_EQ(refused.message, "ファイルを閉じてから再度作成ボタンを押してください");
  EXPECT_EQ(sayolt::test::readBytes(file), before);

  viewer.openElsewhere.clear();
  EXPECT_TRUE(buildScheduleWorkbook(file, changed, viewer).built);
  EXPECT_NE(sayolt::test::readBytes(file), before);
}

TEST(WorkbookActions, BuildReportsAFileItCannotRebuild) {
  sayolt::test::TempFolder folder;
  const auto file = folder / kWorkbookFileName;
  sayolt::test::writeBytes(file, "not a workbook");
  FakeWorkbookViewer viewer;
  const BuildOutcome outcome = buildScheduleWorkbook(file, plan(), viewer);
  EXPECT_FALSE(outcome.built);
  EXPECT_NE(outcome.message.find("Sayolt予定表.xls"), std::string::npos);
  EXPECT_EQ(sayolt::test::readBytes(file), "not a workbook");
}

TEST(WorkbookActions, ViewingMissingOpenTwiceAndWithoutAProgram) {
  sayolt::test::TempFolder folder;
  const auto file = folder / kWorkbookFileName;
  FakeWorkbookViewer viewer;
  EXPECT_EQ(openScheduleWorkbook(file, viewer), "ファイルがありません");
  EXPECT_TRUE(viewer.shown.empty());

  ASSERT_TRUE(buildScheduleWorkbook(file, plan(), viewer).built);
  EXPECT_EQ(openScheduleWorkbook(file, viewer), "");
  EXPECT_EQ(viewer.shown, std::vector<std::filesystem::path>{file});
  EXPECT_EQ(openScheduleWorkbook(file, viewer), "表示中です");
  EXPECT_EQ(viewer.shown.size(), 1u);
  // While it is shown, a build is refused.
  EXPECT_EQ(buildScheduleWorkbook(file, plan(), viewer).message, kCloseFirstMessage);

  viewer.openElsewhere.clear();
  viewer.programAvailable = false;
  EXPECT_EQ(openScheduleWorkbook(file, viewer), kNoViewerMessage);
}

}  // namespace
}  // namespace sayolt::workbook
