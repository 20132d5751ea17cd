// 作成 and 閲覧 on the real main page, offscreen: the check and save first, Label15, the
// messages when the workbook is open elsewhere or missing.
#include "editor/ui/workbook_buttons.h"

#include <gtest/gtest.h>

#include <QTest>

#include "editor/ui/page_widgets.h"
#include "platform/fake/fake_workbook_viewer.h"
#include "tests/editor/editor_fakes.h"
#include "tests/editor/editor_files.h"
#include "tests/support/qt_test_app.h"
#include "workbook/byte_io.h"
#include "workbook/compound_file.h"
#include "workbook/workbook_actions.h"
#include "workbook/workbook_layout.h"
#include "workbook/workbook_stream.h"

namespace sayolt::editor::ui {
namespace {

const char* const kSettings =
    "[起動終了時刻]\r\n0-0-0=8:00\r\n1-0-0=17:00\r\n0-1-0=8:00\r\n0-1-1=9:00\r\n1-1-0=17:00\r\n0-2-0=8:00\r\n"
    "0-3-0=8:00\r\n0-4-0=8:00\r\n0-5-0=8:00\r\n0-6-0=8:00\r\n0-7-0=8:00\r\n0-8-0=8:00\r\n"
    "[時刻指定プログラム]\r\nプログラム名0=集計\r\nパス0=C:\\集計.exe\r\n"
    "[時刻指定プログラム実行予定]\r\n開始時刻0-0=12:00\r\n番号0-0=0\r\n"
    "[NTPサーバー]\r\nサーバー0=ntp.nict.jp\r\nサーバー1=time.google.com\r\n"
    "[起動時調整時間]\r\n時間=30\r\n[休日不在]\r\n優先=0\r\n[一日の区切り]\r\n時刻=0\r\n"
    "[祝日]\r\n登録日1=2030/1/1\r\n";

struct WorkbookButtonsTest : ::testing::Test {
  WorkbookButtonsTest() {
    sayolt::test::writeIniText(folder / "Sayolt設定.ini", kSettings);
    page.load();
    connectWorkbookButtons(page, context, viewer);
  }

  std::string bookBytes() const { return sayolt::test::readBytes(book); }
  // Entry texts of a column of the built plan sheet, rows 4, 6, ...
  std::vector<std::string> labels(int col) const {
    const auto file = workbook::readCompoundFile(bookBytes());
    const auto wb = workbook::readWorkbookStream(file.findStream(u"Workbook")->data);
    const auto& plan = wb.sheets[static_cast<std::size_t>(wb.findWorksheet(workbook::kPlanSheet))];
    std::vector<std::string> out;
    for (std::uint16_t row = 3;; row += 2) {
      const auto cell = plan.cells.find(workbook::cellKey(row, static_cast<std::uint16_t>(col)));
      if (cell == plan.cells.end() || cell->second.kind != workbook::Cell::Kind::Text) return out;
      out.push_back(workbook::utf8FromUtf16(wb.strings[cell->second.text].text));
    }
  }

  bool appReady = (sayolt::test::qtTestApp(), true);  // before the first widget
  sayolt::test::TempFolder folder;
  std::filesystem::path book = folder / "Sayolt予定表.xls";
  sayolt::test::FakeEditorServices fakes;
  EditorContext context{folder.path(), fakes.services()};
  FakeWorkbookViewer viewer;
  MainPageWindow page{context};
};

TEST_F(WorkbookButtonsTest, BuildSavesThenWritesTheWorkbook) {
  EXPECT_TRUE(control<QPushButton>(page, "Command7")->isEnabled());
  control<QLineEdit>(page, "Text1", 0)->setText("7:30");  // Monday's first start, not saved yet
  control<QPushButton>(page, "Command7")->click();
  EXPECT_EQ(control<QLabel>(page, "Label15")->text(), QString::fromUtf8("作成終了"));
  EXPECT_TRUE(control<QPushButton>(page, "Command8")->isEnabled());
  EXPECT_TRUE(fakes.dialogs.messages.empty());
  EXPECT_NE(sayolt::test::readIniText(folder / "Sayolt設定.ini").find("0-0-0=7:30"), std::string::npos);
  EXPECT_EQ(labels(1), (std::vector<std::string>{"起動", "集計", "終了"}));
}

TEST_F(WorkbookButtonsTest, BuildStopsAtTheChecksMessage) {
  control<QLineEdit>(page, "Text1", 0)->setText("25:99");
  control<QPushButton>(page, "Command7")->click();
  EXPECT_FALSE(std::filesystem::exists(book));
  EXPECT_EQ(control<QLabel>(page, "Label15")->text(), QString());
  EXPECT_FALSE(fakes.dialogs.messages.empty());
}

TEST_F(WorkbookButtonsTest, BuildWhileTheWorkbookIsOpenLeavesItAlone) {
  control<QPushButton>(page, "Command7")->click();
  const std::string before = bookBytes();
  page.setStatusText({});
  viewer.openElsewhere.insert(book);
  control<QLineEdit>(page, "Text1", 0)->setText("6:00");
  control<QPushButton>(page, "Command7")->click();
  EXPECT_EQ(fakes.dialogs.messages, std::vector<std::string>{"ファイルを閉じてから再度作成ボタンを押してください"});
  EXPECT_EQ(fakes.dialogs.titles.back(), "Sayolt設定");
  EXPECT_EQ(bookBytes(), before);
  EXPECT_EQ(control<QLabel>(page, "Label15")->text(), QString());
}

TEST_F(WorkbookButtonsTest, ViewShowsTheWorkbookOnceAndClearsTheStatus) {
  control<QPushButton>(page, "Command8")->click();
  EXPECT_EQ(fakes.dialogs.messages, std::vector<std::string>{"ファイルがありません"});
  control<QPushButton>(page, "Command7")->click();
  control<QPushButton>(page, "Command8")->click();
  EXPECT_EQ(viewer.shown, std::vector<std::filesystem::path>{book});
  EXPECT_EQ(control<QLabel>(page, "Label15")->text(), QString());
  control<QPushButton>(page, "Command8")->click();
  EXPECT_EQ(fakes.dialogs.messages.back(), "表示中です");
  EXPECT_EQ(viewer.shown.size(), 1u);

  viewer.openElsewhere.clear();
  viewer.programAvailable = false;
  control<QPushButton>(page, "Command8")->click();
  EXPECT_EQ(fakes.dialogs.messages.back(), workbook::kNoViewerMessage);
}

}  // namespace
}  // namespace sayolt::editor::ui
