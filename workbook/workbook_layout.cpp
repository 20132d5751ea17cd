#include "workbook/workbook_layout.h"

#include "shared/settings_keys.h"
#include "workbook/byte_io.h"
#include "workbook/cell_format.h"

namespace sayolt::workbook {

namespace {

// Column widths in 1/256 of the Normal font's digit, padding included: 8.5, 12 and 20 as the
// spreadsheet's own width box shows them.
constexpr std::uint16_t kTimeColumnWidth = 2336;
constexpr std::uint16_t kLabelColumnWidth = 3232;
constexpr std::uint16_t kDateColumnWidth = 5280;
constexpr std::uint16_t kFormattedRows = 1000;  // rows 3..1000 carry the time format

enum LayoutXf : std::uint16_t {
  kTitleXf = 16,
  kWeekdayHeadXf,
  kWeekendHeadXf,
  kAbsenceHeadXf,
  kTimeXf,
  kLabelXf,
  kDateColumnXf,
  kHolidayDateHeadXf,
  kAbsenceDateHeadXf,
};

BiffRecord record(std::uint16_t id, std::string body) { return {id, std::move(body), {}}; }

std::string u16body(std::uint16_t value) {
  std::string b;
  put16(b, value);
  return b;
}

std::string window1Body() {
  std::string b;
  put16(b, 0);
  put16(b, 0);
  put16(b, 16000);  // width and height in twips
  put16(b, 9000);
  put16(b, 0x0038);  // scroll bars and sheet tabs shown
  put16(b, 0);       // active sheet
  put16(b, 0);       // first tab shown
  put16(b, 1);       // selected tabs
  put16(b, 600);     // tab bar ratio
  return b;
}

std::string formatBody(std::uint16_t index, std::u16string_view code) {
  std::string b;
  put16(b, index);
  b += unicodeString(code);
  return b;
}

std::string normalStyleBody() {
  std::string b;
  put16(b, 0x8000);  // built-in style, XF 0
  put8(b, 0);        // Normal
  put8(b, 0xFF);
  return b;
}

std::vector<BiffRecord> globals() {
  std::vector<BiffRecord> g;
  g.push_back(record(rec::kBof, bofBody(kBofGlobals)));
  g.push_back(record(rec::kCodePage, u16body(1200)));
  g.push_back(record(rec::kWindow1, window1Body()));
  g.push_back(record(rec::kDate1904, u16body(0)));
  for (int i = 0; i < 4; ++i) g.push_back(record(rec::kFont, defaultFontBody()));
  g.push_back(record(rec::kFormat, formatBody(kFormatTime, u"h:mm")));
  // The locale prefix keeps the Japanese weekday under any locale of the reader.
  g.push_back(record(rec::kFormat, formatBody(kFormatWeekday, u"[$-411]yyyy/m/d(aaa)")));
  for (int i = 0; i < 15; ++i) g.push_back(record(rec::kXf, styleXfBody()));
  const CellXf layout[] = {
      {},                                                              // 15: default cell format
      {0, 0, HAlign::Centre, kAllThin, kIcvLightGreen},                // title
      {0, 0, HAlign::Centre, kAllThin, kIcvLightTurquoise},            // Monday..Friday
      {0, 0, HAlign::Centre, kAllThin, kIcvRose},                      // Saturday, Sunday, holiday
      {0, 0, HAlign::Centre, kAllThin, kIcvLightYellow},               // absence
      {0, kFormatTime, HAlign::General, {}, 0},                        // time columns
      {0, kFormatTime, HAlign::Left, {}, 0},                           // label columns
      {0, kFormatWeekday, HAlign::Centre, {}, 0},                      // date columns
      {0, kFormatWeekday, HAlign::Centre, kAllThin, kIcvRose},         // 祝日設定日
      {0, kFormatWeekday, HAlign::Centre, kAllThin, kIcvLightYellow},  // 不在設定日
  };
  for (const CellXf& xf : layout) g.push_back(record(rec::kXf, cellXfBody(xf)));
  g.push_back(record(rec::kStyle, normalStyleBody()));
  g.push_back(record(rec::kBoundSheet, boundSheetBody(kPlanSheet)));
  g.push_back(record(rec::kBoundSheet, boundSheetBody(kDatesSheet)));
  g.push_back(record(rec::kEof, {}));
  return g;
}

// A4 landscape, a week's columns fitted to the page width, for printing.
std::string setupBody() {
  std::string b;
  put16(b, 9);    // A4
  put16(b, 100);  // scale
  put16(b, 1);    // first page number
  put16(b, 1);    // one page wide
  put16(b, 0);    // as many pages high as needed
  put16(b, 0);    // landscape; the settings above apply
  put16(b, 600);  // resolution
  put16(b, 600);
  putDouble(b, 0.3);  // header and footer margins in inches
  putDouble(b, 0.3);
  put16(b, 1);  // copies
  return b;
}

void sheetStart(Sheet& sheet, bool fitToPage) {
  sheet.head.push_back(record(rec::kBof, bofBody(kBofWorksheet)));
  sheet.head.push_back(record(rec::kWsBool, u16body(fitToPage ? 0x05C1 : 0x04C1)));
  if (fitToPage) sheet.head.push_back(record(rec::kSetup, setupBody()));
  sheet.head.push_back(record(rec::kDefColWidth, u16body(8)));
}

Sheet planSheet(WorkbookStream& wb) {
  Sheet sheet{kPlanSheet, true};
  sheetStart(sheet, true);
  for (std::uint16_t c = 0; c < 18; c += 2) {
    sheet.head.push_back(record(rec::kColInfo, colInfoBody(c, c, kTimeColumnWidth, kDefaultCellXf)));
    sheet.head.push_back(record(rec::kColInfo, colInfoBody(c + 1, c + 1, kLabelColumnWidth, kDefaultCellXf)));
  }
  sheet.head.push_back(record(rec::kDimensions, dimensionsBody(0, 0, 0, 0)));

  sheet.cells[cellKey(0, 0)] = {Cell::Kind::Text, kTitleXf, 0, wb.addString(u"Sayolt 予定表")};
  for (std::uint16_t c = 1; c < 18; ++c) sheet.cells[cellKey(0, c)] = {Cell::Kind::Blank, kTitleXf};
  for (std::uint16_t category = 0; category < 9; ++category) {
    const std::uint16_t xf = category < 5 ? kWeekdayHeadXf : category < 8 ? kWeekendHeadXf : kAbsenceHeadXf;
    const auto c = static_cast<std::uint16_t>(2 * category);
    sheet.cells[cellKey(1, c)] = {Cell::Kind::Text, xf, 0, wb.addString(utf16FromUtf8(keys::kCategoryNames[category]))};
    sheet.cells[cellKey(1, c + 1)] = {Cell::Kind::Blank, xf};
  }
  for (std::uint16_t row = 2; row < kFormattedRows; ++row)
    for (std::uint16_t c = 0; c < 18; ++c)
      sheet.cells[cellKey(row, c)] = {Cell::Kind::Blank, c % 2 == 0 ? std::uint16_t{kTimeXf} : std::uint16_t{kLabelXf}};

  sheet.tail.push_back(record(rec::kWindow2, window2Body(true)));
  sheet.tail.push_back(record(rec::kSelection, selectionBody(3, 2, 0)));
  std::vector<CellRange> merged{{0, 0, 0, 17}};
  for (std::uint16_t c = 0; c < 18; c += 2) merged.push_back({1, 1, c, static_cast<std::uint16_t>(c + 1)});
  for (auto& body : mergedCellsBodies(merged)) sheet.tail.push_back(record(rec::kMergedCells, std::move(body)));
  sheet.tail.push_back(record(rec::kEof, {}));
  return sheet;
}

Sheet datesSheet(WorkbookStream& wb) {
  Sheet sheet{kDatesSheet, true};
  sheetStart(sheet, false);
  sheet.head.push_back(record(rec::kColInfo, colInfoBody(0, 1, kDateColumnWidth, kDateColumnXf)));
  sheet.head.push_back(record(rec::kDimensions, dimensionsBody(0, 0, 0, 0)));
  sheet.cells[cellKey(0, 0)] = {Cell::Kind::Text, kHolidayDateHeadXf, 0, wb.addString(u"祝日設定日")};
  sheet.cells[cellKey(0, 1)] = {Cell::Kind::Text, kAbsenceDateHeadXf, 0, wb.addString(u"不在設定日")};
  sheet.tail.push_back(record(rec::kWindow2, window2Body(false)));
  sheet.tail.push_back(record(rec::kEof, {}));
  return sheet;
}

}  // namespace

WorkbookStream emptyScheduleWorkbook() {
  WorkbookStream wb;
  wb.globals = globals();
  wb.sstAt = wb.globals.size() - 1;
  wb.sheets.push_back(planSheet(wb));
  wb.sheets.push_back(datesSheet(wb));
  return wb;
}

}  // namespace sayolt::workbook
