// Building "Sayolt予定表.xls" and rebuilding it over a file a user has changed.
#include "workbook/schedule_workbook.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "shared/utf8_path.h"
#include "tests/support/test_files.h"
#include "tests/workbook/workbook_test_support.h"
#include "workbook/cell_format.h"
#include "workbook/timetable_sheets.h"
#include "workbook/workbook_layout.h"

namespace sayolt::workbook {
namespace {

using test::cellText;
using test::fontOf;
using test::streamOf;
using test::xfOf;

TimetableInput mondayPlan() {
  TimetableInput in;
  in.dayStart = "5:00";
  in.startTimes[0][0] = "7:00";
  in.endTimes[0][0] = "1:00";
  in.runs[0][0] = {"23:00", 2};
  in.runs[0][1] = {"0:30", 2};  // while the PC is still on: not marked
  in.programNames[2] = "夜間バックアップ";
  in.startTimes[1][0] = "8:00";
  in.startTimes[1][1] = "9:00";  // a second start: marked
  in.endTimes[1][0] = "18:00";
  in.holidayDates = {"2027/1/1", "2027/1/11"};
  in.absenceDates = {"2027/2/3"};
  return in;
}

TEST(ScheduleWorkbook, NewWorkbookHoldsTheTimetableAndTheDates) {
  const WorkbookStream wb = streamOf(buildWorkbookBytes(mondayPlan(), std::nullopt));
  const Sheet& plan = test::sheet(wb, kPlanSheet);
  EXPECT_EQ(cellText(wb, plan, 1, 0), "Sayolt 予定表");
  EXPECT_EQ(cellText(wb, plan, 2, 16), "不在");
  EXPECT_EQ(cellText(wb, plan, 3, 0), "");
  EXPECT_EQ(cellText(wb, plan, 4, 0), "7:00");
  EXPECT_EQ(cellText(wb, plan, 4, 1), "起動");
  EXPECT_EQ(cellText(wb, plan, 6, 0), "23:00");
  EXPECT_EQ(cellText(wb, plan, 6, 1), "夜間バックアップ");
  EXPECT_EQ(cellText(wb, plan, 8, 0), "0:30");
  EXPECT_EQ(cellText(wb, plan, 10, 0), "1:00");
  EXPECT_EQ(cellText(wb, plan, 10, 1), "終了");
  EXPECT_EQ(xfAlign(xfOf(wb, plan, 4, 0)), HAlign::Left);
  EXPECT_EQ(xfAlign(xfOf(wb, plan, 6, 0)), HAlign::Right);
  EXPECT_EQ(xfAlign(xfOf(wb, plan, 6, 1)), HAlign::Left);
  EXPECT_EQ(fontColour(fontOf(wb, plan, 6, 0)), kIcvAutomaticFont);
  EXPECT_EQ(fontColour(fontOf(wb, plan, 6, 2)), kIcvRed);  // 火曜日 9:00, the second start
  EXPECT_EQ(fontColour(fontOf(wb, plan, 4, 2)), kIcvAutomaticFont);

  // Block borders from row 3 to the table end (row 11): thin outline, hairlines inside.
  EXPECT_EQ(xfBorders(xfOf(wb, plan, 3, 0)), (Borders{Line::Thin, Line::Hair, Line::Thin, Line::Hair}));
  EXPECT_EQ(xfBorders(xfOf(wb, plan, 6, 1)), (Borders{Line::Hair, Line::Thin, Line::Hair, Line::Hair}));
  EXPECT_EQ(xfBorders(xfOf(wb, plan, 11, 17)), (Borders{Line::Hair, Line::Thin, Line::Hair, Line::Thin}));
  EXPECT_EQ(xfBorders(xfOf(wb, plan, 12, 0)), Borders{});

  const Sheet& dates = test::sheet(wb, kDatesSheet);
  EXPECT_EQ(cellText(wb, dates, 1, 0), "祝日設定日");
  EXPECT_EQ(dates.cells.at(cellKey(1, 0)).number, 46388);  // 2027-01-01
  EXPECT_EQ(dates.cells.at(cellKey(2, 0)).number, 46398);
  EXPECT_EQ(dates.cells.at(cellKey(1, 1)).number, 46421);
  EXPECT_EQ(xfBorders(xfOf(wb, dates, 3, 1)), kAllThin);  // under the shorter list too
  EXPECT_EQ(dates.cells.count(cellKey(3, 0)), 0u);
}

TEST(ScheduleWorkbook, BuildingTwiceGivesTheSameFile) {
  const std::string first = buildWorkbookBytes(mondayPlan(), std::nullopt);
  EXPECT_EQ(buildWorkbookBytes(mondayPlan(), first), first);
  const std::string empty = buildWorkbookBytes(TimetableInput{}, std::nullopt);
  EXPECT_EQ(buildWorkbookBytes(TimetableInput{}, empty), empty);
}

TEST(ScheduleWorkbook, RebuildReplacesTheDataAreasOnly) {
  const std::string first = buildWorkbookBytes(mondayPlan(), std::nullopt);
  TimetableInput fewer;
  fewer.startTimes[0][0] = "8:00";
  const WorkbookStream wb = streamOf(buildWorkbookBytes(fewer, first));
  const Sheet& plan = test::sheet(wb, kPlanSheet);
  EXPECT_EQ(cellText(wb, plan, 4, 0), "8:00");
  EXPECT_EQ(cellText(wb, plan, 6, 0), "");
  EXPECT_EQ(cellText(wb, plan, 6, 1), "");
  EXPECT_EQ(fontColour(fontOf(wb, plan, 6, 2)), kIcvAutomaticFont);  // the old mark is gone
  EXPECT_EQ(xfBorders(xfOf(wb, plan, 8, 0)), Borders{});             // below the new table end
  EXPECT_EQ(xfBorders(xfOf(wb, plan, 5, 0)), (Borders{Line::Thin, Line::Hair, Line::Hair, Line::Thin}));
  const Sheet& dates = test::sheet(wb, kDatesSheet);
  EXPECT_EQ(dates.cells.at(cellKey(1, 0)).kind, Cell::Kind::Blank);
  EXPECT_EQ(xfBorders(xfOf(wb, dates, 2, 0)), Borders{});
}

// What a user may have done to the file: their own title, a note beside the table, a third
// sheet, a fill on a data cell, another stream; and the dates sheet left active.
std::string editedByUser(const std::string& built) {
  CompoundFile file = readCompoundFile(built);
  WorkbookStream wb = readWorkbookStream(file.findStream(u"Workbook")->data);
  Sheet& plan = wb.sheets[0];
  plan.cells[cellKey(0, 0)].text = wb.addString(u"営業所の予定");
  plan.cells[cellKey(4, 19)] = Cell(Cell::Kind::Number, 15, 42);
  std::string filled = cellXfBody({0, kFormatTime, HAlign::General, {}, kIcvLightYellow});
  const auto lastXf =
      std::find_if(wb.globals.rbegin(), wb.globals.rend(), [](const auto& r) { return r.id == 0x00E0; });
  wb.globals.insert(lastXf.base(), BiffRecord(0x00E0, filled));
  for (auto& r : wb.globals)
    if (r.id == 0x003D) set16(r.body, 10, 1);
  Sheet memo = wb.sheets[1];
  memo.name = u"メモ";
  memo.cells[cellKey(5, 5)] = Cell(Cell::Kind::Text, 15, 0, wb.addString(u"月末は点検"));
  wb.sheets.push_back(memo);
  wb.globals.insert(wb.globals.end() - 1, BiffRecord(0x0085, boundSheetBody(u"メモ")));
  auto summary = named(u"\x05SummaryInformation", false);
  summary.data = std::string(200, 'S');
  file.root.children.push_back(summary);
  file.findStream(u"Workbook")->data = writeWorkbookStream(wb);
  return writeCompoundFile(file);
}

TEST(ScheduleWorkbook, RebuildKeepsWhatTheUserChangedOutsideTheDataAreas) {
  const std::string edited = editedByUser(buildWorkbookBytes(mondayPlan(), std::nullopt));
  // The user's fill on A12 (row 12, inside the data area) must survive too.
  CompoundFile file = readCompoundFile(edited);
  WorkbookStream before = readWorkbookStream(file.findStream(u"Workbook")->data);
  const auto filledXf = static_cast<std::uint16_t>(test::records(before, 0x00E0).size() - 1);
  before.sheets[0].cells[cellKey(11, 0)].xf = filledXf;
  file.findStream(u"Workbook")->data = writeWorkbookStream(before);

  TimetableInput next = mondayPlan();
  next.startTimes[0][0] = "6:00";
  const std::string rebuilt = buildWorkbookBytes(next, writeCompoundFile(file));
  const CompoundFile out = readCompoundFile(rebuilt);
  ASSERT_NE(out.findStream(u"\x05SummaryInformation"), nullptr);
  EXPECT_EQ(out.findStream(u"\x05SummaryInformation")->data, std::string(200, 'S'));

  const WorkbookStream wb = readWorkbookStream(out.findStream(u"Workbook")->data);
  const Sheet& plan = test::sheet(wb, kPlanSheet);
  EXPECT_EQ(cellText(wb, plan, 1, 0), "営業所の予定");
  EXPECT_EQ(plan.cells.at(cellKey(4, 19)).number, 42);
  EXPECT_EQ(cellText(wb, plan, 4, 0), "6:00");
  const std::string& a12 = xfOf(wb, plan, 12, 0);
  EXPECT_EQ(get16(a12, 18) & 0x7F, kIcvLightYellow);
  const Sheet& memo = test::sheet(wb, u"メモ");
  EXPECT_EQ(cellText(wb, memo, 6, 5), "月末は点検");

  // The plan sheet is active again, with A3 selected.
  for (const auto* window1 : test::records(wb, 0x003D)) EXPECT_EQ(get16(window1->body, 10), 0);
  for (const auto& r : plan.tail) {
    if (r.id == rec::kSelection) {
      EXPECT_EQ(get16(r.body, 1), 2);
    }
  }
  for (const auto* s : {&test::sheet(wb, kDatesSheet), &memo}) {
    for (const auto& r : s->tail) {
      if (r.id == rec::kWindow2) {
        EXPECT_EQ(get16(r.body, 0) & 0x0600, 0);
      }
    }
  }
}

TEST(ScheduleWorkbook, MissingSheetOrForeignStreamIsRefused) {
  CompoundFile file = readCompoundFile(buildWorkbookBytes(mondayPlan(), std::nullopt));
  WorkbookStream wb = readWorkbookStream(file.findStream(u"Workbook")->data);
  for (auto& r : wb.globals)
    if (r.id == 0x0085 && readShortUnicodeString(r.body, 6) == kPlanSheet) r.body = boundSheetBody(u"予定");
  file.findStream(u"Workbook")->data = writeWorkbookStream(wb);
  try {
    buildWorkbookBytes(mondayPlan(), writeCompoundFile(file));
    FAIL() << "a workbook without its plan sheet was rebuilt";
  } catch (const WorkbookError& error) {
    EXPECT_NE(std::string(error.what()).find("予定表"), std::string::npos);
  }
  file.findStream(u"Workbook")->name = u"Book";  // an older format's stream
  EXPECT_THROW(buildWorkbookBytes(mondayPlan(), writeCompoundFile(file)), WorkbookError);
}

TEST(ScheduleWorkbook, DamagedFileIsLeftByteForByteWithAMessage) {
  sayolt::test::TempFolder folder;
  const auto file = folder / kWorkbookFileName;
  const std::string good = buildWorkbookBytes(mondayPlan(), std::nullopt);
  std::string noise(3000, '\0');
  for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>(i * 131 + 7);
  std::string badStream = good;
  badStream[512 + 2] = '\x7F';  // the globals' BOF gets a length that runs past its end
  for (const std::string& damaged :
       {good.substr(0, good.size() - 700), noise, std::string("予定表,月曜日\r\n8:00,起動\r\n"), badStream}) {
    sayolt::test::writeBytes(file, damaged);
    try {
      writeScheduleWorkbook(file, mondayPlan());
      ADD_FAILURE() << "a damaged file was overwritten";
    } catch (const WorkbookError& error) {
      EXPECT_NE(std::string(error.what()).find("そのまま残してあります"), std::string::npos);
    }
    EXPECT_EQ(sayolt::test::readBytes(file), damaged);
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST(ScheduleWorkbook, WritesANewFileAndReplacesIt) {
  sayolt::test::TempFolder folder;
  const auto file = folder / kWorkbookFileName;
  writeScheduleWorkbook(file, mondayPlan());
  const std::string first = sayolt::test::readBytes(file);
  EXPECT_EQ(first, buildWorkbookBytes(mondayPlan(), std::nullopt));
  writeScheduleWorkbook(file, TimetableInput{});
  EXPECT_EQ(sayolt::test::readBytes(file), buildWorkbookBytes(TimetableInput{}, first));
}

TEST(ScheduleWorkbook, DateSerials) {
  EXPECT_EQ(dateSerial("2025/1/1"), 45658);
  EXPECT_EQ(dateSerial("2025/01/01"), 45658);
  EXPECT_EQ(dateSerial("2025/1/1 12:00"), 45658.5);
  EXPECT_EQ(dateSerial("8:00"), std::nullopt);
  EXPECT_EQ(dateSerial("2025/2/30"), std::nullopt);
}

// The built workbook's stream, changed, in a file again.
template <typename Change>
std::string changedWorkbook(Change change) {
  CompoundFile file = readCompoundFile(buildWorkbookBytes(mondayPlan(), std::nullopt));
  WorkbookStream wb = readWorkbookStream(file.findStream(u"Workbook")->data);
  change(wb);
  file.findStream(u"Workbook")->data = writeWorkbookStream(wb);
  return writeCompoundFile(file);
}

TEST(ScheduleWorkbook, MacroSheetTextKeepsItsStringsThroughTheRebuild) {
  const std::string withMacros = changedWorkbook([](WorkbookStream& wb) {
    Sheet macros{u"マクロ1", false};
    macros.head.push_back({rec::kBof, bofBody(0x0040)});
    for (std::uint16_t row = 0; row < 3; ++row) {
      const std::uint32_t text = wb.addString(u"マクロ文字列" + std::u16string(1, static_cast<char16_t>(u'0' + row)));
      macros.head.push_back({rec::kLabelSst, labelSstBody(row, 0, 15, text)});
    }
    macros.head.push_back({rec::kEof, ""});
    wb.sheets.push_back(macros);
    std::string boundSheet = boundSheetBody(u"マクロ1");
    boundSheet[5] = 1;  // an Excel 4.0 macro sheet
    wb.globals.insert(wb.globals.end() - 1, BiffRecord(rec::kBoundSheet, boundSheet));
  });
  // Rebuilt twice with other data, so that the worksheets' strings change number.
  TimetableInput other;
  other.startTimes[2][0] = "6:00";
  other.runs[2][0] = {"7:00", 4};
  other.programNames[4] = "起動前の点検";
  const std::string once = buildWorkbookBytes(other, withMacros);
  for (const std::string& bytes : {once, buildWorkbookBytes(mondayPlan(), once)}) {
    const WorkbookStream wb = streamOf(bytes);
    ASSERT_EQ(wb.sheets.size(), 3u);
    std::vector<std::u16string> texts;
    for (const BiffRecord& r : wb.sheets[2].head)
      if (r.id == rec::kLabelSst) texts.push_back(wb.strings.at(get32(r.body, 6)).text);
    EXPECT_EQ(texts, (std::vector<std::u16string>{u"マクロ文字列0", u"マクロ文字列1", u"マクロ文字列2"}));
  }
}

// A shared formula anchored at row 10 of the plan sheet, in columns first..last (from 0).
void sharedFormula(WorkbookStream& wb, std::uint16_t first, std::uint16_t last) {
  Sheet& plan = wb.sheets[0];
  constexpr std::uint16_t row = 9;
  for (std::uint16_t col = first; col <= last; ++col) {
    std::string formula = blankBody(row, col, 15);
    putDouble(formula, 0);
    put16(formula, 0x0008);  // part of a shared formula
    put32(formula, 0);
    put16(formula, 5);
    put8(formula, 0x01);  // PtgExp: the anchor's shared formula
    put16(formula, row);
    put16(formula, first);
    Cell cell{Cell::Kind::Raw, 15};
    cell.raw.push_back({rec::kFormula, formula});
    if (col == first) {
      std::string shared;
      put16(shared, row);
      put16(shared, row);
      put8(shared, static_cast<std::uint8_t>(first));
      put8(shared, static_cast<std::uint8_t>(last));
      put8(shared, 0);
      put8(shared, static_cast<std::uint8_t>(last - first + 1));
      put16(shared, 3);
      put8(shared, 0x1E);  // the number 7
      put16(shared, 7);
      cell.raw.push_back({rec::kShrFmla, shared});
    }
    plan.cells[cellKey(row, col)] = std::move(cell);
  }
}

TEST(ScheduleWorkbook, SharedFormulaReachingOutOfTheDataAreaIsRefusedUntouched) {
  sayolt::test::TempFolder folder;
  const auto file = folder / kWorkbookFileName;
  // Q10:T10 shares Q10's formula; S10:T10 lie outside the data area A:R.
  const std::string reaching = changedWorkbook([](WorkbookStream& wb) { sharedFormula(wb, 16, 19); });
  sayolt::test::writeBytes(file, reaching);
  try {
    writeScheduleWorkbook(file, mondayPlan());
    ADD_FAILURE() << "the formula outside the data area lost its definition";
  } catch (const WorkbookError& error) {
    EXPECT_NE(std::string(error.what()).find("数式"), std::string::npos);
  }
  EXPECT_EQ(sayolt::test::readBytes(file), reaching);

  // Wholly inside the area it goes with the area's old contents.
  const std::string inside = changedWorkbook([](WorkbookStream& wb) { sharedFormula(wb, 2, 5); });
  const WorkbookStream wb = streamOf(buildWorkbookBytes(mondayPlan(), inside));
  EXPECT_EQ(test::sheet(wb, kPlanSheet).cells.at(cellKey(9, 4)).kind, Cell::Kind::Blank);
}

TEST(ScheduleWorkbook, ReadOnlyFileIsRefusedNamingIt) {
  sayolt::test::TempFolder folder;
  const auto file = folder / "予定.xls";
  writeScheduleWorkbook(file, TimetableInput{});
  const std::string before = sayolt::test::readBytes(file);
  std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                         std::filesystem::perms::others_read);
  try {
    writeScheduleWorkbook(file, mondayPlan());
    ADD_FAILURE() << "a read-only workbook was replaced";
  } catch (const WorkbookError& error) {
    EXPECT_EQ(std::string(error.what()),
              "予定.xls は読み取り専用です。読み取り専用を解除してから再度作成ボタンを押してください");
  }
  EXPECT_EQ(sayolt::test::readBytes(file), before);
  std::filesystem::permissions(file, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
}

TEST(ScheduleWorkbook, MessagesNameTheGivenFileInJapaneseOnly) {
  sayolt::test::TempFolder folder;
  // A folder that does not exist: the system's English reason stays out of the message.
  try {
    writeScheduleWorkbook(folder / "無い" / pathFromUtf8("週の予定.xls"), mondayPlan());
    ADD_FAILURE() << "written into a missing folder";
  } catch (const WorkbookError& error) {
    const std::string message = error.what();
    EXPECT_EQ(message.rfind("週の予定.xls を保存できません", 0), 0u) << message;
    const std::string rest = message.substr(std::string("週の予定.xls").size());
    EXPECT_TRUE(std::none_of(rest.begin(), rest.end(), [](char c) {
      return std::isalpha(static_cast<unsigned char>(c));
    })) << message;
  }
  // A file protected by a password: each phrase once.
  const auto file = folder / "保護.xls";
  sayolt::test::writeBytes(file, changedWorkbook([](WorkbookStream& wb) {
                             wb.globals.insert(wb.globals.begin() + 1,
                                               BiffRecord(rec::kFilePass, std::string(54, '\1')));
                           }));
  try {
    writeScheduleWorkbook(file, mondayPlan());
    ADD_FAILURE() << "an encrypted file was rebuilt";
  } catch (const WorkbookError& error) {
    const std::string message = error.what();
    EXPECT_EQ(message.rfind("保護.xls を書き換えられません（パスワード", 0), 0u) << message;
    EXPECT_EQ(message.find("書き換えられません"), message.rfind("書き換えられません")) << message;
  }
}

TEST(ScheduleWorkbook, FrozenPanesGetA3SelectedInThePaneThatShowsIt) {
  struct Case {
    std::uint16_t columnSplit, rowSplit;
    std::uint8_t pane;
  };
  // Rows 1-2 frozen (and column A): A3 lies below the split, left of any column split.
  for (const Case c : {Case{1, 2, 2}, Case{0, 2, 2}, Case{1, 0, 3}, Case{2, 5, 3}}) {
    SCOPED_TRACE(std::to_string(c.columnSplit) + "," + std::to_string(c.rowSplit));
    const std::string frozen = changedWorkbook([&](WorkbookStream& wb) {
      auto& tail = wb.sheets[0].tail;
      const auto window = std::find_if(tail.begin(), tail.end(), [](const auto& r) { return r.id == rec::kWindow2; });
      set16(window->body, 0, get16(window->body, 0) | 0x0008);
      std::string pane;
      put16(pane, c.columnSplit);
      put16(pane, c.rowSplit);
      put16(pane, c.rowSplit);
      put16(pane, c.columnSplit);
      put8(pane, 0);  // the bottom-right pane active
      put8(pane, 0);
      tail.insert(window + 1, BiffRecord(rec::kPane, pane));
    });
    const WorkbookStream wb = streamOf(buildWorkbookBytes(mondayPlan(), frozen));
    const Sheet& plan = test::sheet(wb, kPlanSheet);
    int selections = 0;
    for (const auto& r : plan.tail) {
      if (r.id == rec::kPane) {
        EXPECT_EQ(get8(r.body, 8), c.pane);
      }
      if (r.id == rec::kSelection && get8(r.body, 0) == c.pane) {
        ++selections;
        EXPECT_EQ(get16(r.body, 1), 2);  // row 3
        EXPECT_EQ(get16(r.body, 3), 0);  // column A
      }
    }
    EXPECT_EQ(selections, 1);
  }
}

}  // namespace
}  // namespace sayolt::workbook
