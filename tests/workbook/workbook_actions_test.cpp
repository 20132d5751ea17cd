// 作成 and 閲覧 against a spreadsheet program that may hold the file open.
#include "workbook/workbook_actions.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_workbook_viewer.h"
#include "tests/support/test_files.h"
#include "tests/workbook/workbook_test_support.h"
#include "workbook/schedule_workbook.h"
#include "workbook/workbook_layout.h"

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

TEST(WorkbookActions, ViewingOpensOnThePlanSheetAtA2_CellsUntouched) {
  sayolt::test::TempFolder folder;
  const auto file = folder / kWorkbookFileName;
  FakeWorkbookViewer viewer;
  ASSERT_TRUE(buildScheduleWorkbook(file, plan(), viewer).built);
  // Saved by the user with the dates sheet active.
  CompoundFile saved = readCompoundFile(sayolt::test::readBytes(file));
  WorkbookStream wb = readWorkbookStream(saved.findStream(u"Workbook")->data);
  for (auto& r : wb.globals)
    if (r.id == rec::kWindow1) set16(r.body, 10, 1);
  saved.findStream(u"Workbook")->data = writeWorkbookStream(wb);
  sayolt::test::writeBytes(file, writeCompoundFile(saved));

  EXPECT_EQ(openScheduleWorkbook(file, viewer), "");
  ASSERT_EQ(viewer.shown, std::vector<std::filesystem::path>{file});
  const WorkbookStream shown = test::streamOf(sayolt::test::readBytes(file));
  for (const auto* window1 : test::records(shown, rec::kWindow1)) EXPECT_EQ(get16(window1->body, 10), 0);
  const Sheet& planSheet = test::sheet(shown, kPlanSheet);
  int selections = 0;
  for (const auto& r : planSheet.tail) {
    if (r.id != rec::kSelection) continue;
    ++selections;
    EXPECT_EQ(get16(r.body, 1), 1);  // row 2
    EXPECT_EQ(get16(r.body, 3), 0);
  }
  EXPECT_EQ(selections, 1);
  for (std::size_t i = 0; i < wb.sheets.size(); ++i) {
    ASSERT_EQ(shown.sheets[i].cells.size(), wb.sheets[i].cells.size());
    for (const auto& [key, cell] : wb.sheets[i].cells) {
      EXPECT_EQ(test::cellText(shown, shown.sheets[i], keyRow(key) + 1, keyCol(key)),
                test::cellText(wb, wb.sheets[i], keyRow(key) + 1, keyCol(key)));
    }
  }
}

TEST(WorkbookActions, ViewingAReadOnlyOrForeignFileShowsItAsItIs) {
  sayolt::test::TempFolder folder;
  const auto file = folder / kWorkbookFileName;
  FakeWorkbookViewer viewer;
  for (const bool readOnly : {true, false}) {
    if (readOnly) {
      ASSERT_TRUE(buildScheduleWorkbook(file, plan(), viewer).built);
      std::filesystem::permissions(file, std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
      std::filesystem::permissions(file, std::filesystem::perms::group_write | std::filesystem::perms::others_write,
                                   std::filesystem::perm_options::remove);
    } else {
      std::filesystem::permissions(file, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
      sayolt::test::writeBytes(file, "not a workbook");
    }
    const std::string before = sayolt::test::readBytes(file);
    viewer.shown.clear();
    viewer.openElsewhere.clear();
    EXPECT_EQ(openScheduleWorkbook(file, viewer), "");
    EXPECT_EQ(viewer.shown.size(), 1u);
    EXPECT_EQ(sayolt::test::readBytes(file), before);
  }
}

}  // namespace
}  // namespace sayolt::workbook
