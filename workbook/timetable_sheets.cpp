#include "workbook/timetable_sheets.h"

#include <algorithm>
#include <chrono>
#include <set>

#include "shared/text_rules.h"
#include "workbook/byte_io.h"
#include "workbook/format_table.h"
#include "workbook/workbook_layout.h"

namespace sayolt::workbook {

namespace {

// Rows are counted from 1 here, as the sheet shows them and as Timetable gives them.
constexpr std::uint16_t kPlanColumns = 18;
constexpr int kPlanFirstRow = 3;
constexpr int kDatesFirstRow = 2;
constexpr int kLastRow = 65536;

std::uint32_t keyAt(int row, std::uint16_t col) { return cellKey(static_cast<std::uint16_t>(row - 1), col); }

// Fields of the window records.
namespace window1 {
constexpr std::size_t kActiveSheet = 10, kFirstTab = 12, kSelectedTabs = 14, kSize = 16;
}
namespace window2 {
constexpr std::size_t kFlags = 0, kTopRow = 2, kLeftCol = 4, kSize = 6;
constexpr std::uint16_t kFrozen = 0x0008, kSelected = 0x0200, kShown = 0x0400;
}  // namespace window2
namespace pane {
constexpr std::size_t kColumnSplit = 0, kRowSplit = 2, kActive = 8, kSize = 9;
constexpr std::uint8_t kBottomRight = 0, kTopRight = 1, kBottomLeft = 2, kTopLeft = 3;
}  // namespace pane

Sheet& sheetNamed(WorkbookStream& wb, const char16_t* name) {
  const int index = wb.findWorksheet(name);
  if (index < 0) throw WorkbookError("シート「" + utf8FromUtf16(name) + "」がありません");
  return wb.sheets[static_cast<std::size_t>(index)];
}

// The format a new cell takes: its row's, else its column's, else the default.
std::uint16_t inheritedXf(const Sheet& sheet, std::uint32_t key) {
  const std::uint16_t row = keyRow(key), col = keyCol(key);
  if (const auto r = sheet.rows.find(row); r != sheet.rows.end() && r->second.body.size() >= 16) {
    if (get16(r->second.body, 12) & 0x0080) return get16(r->second.body, 14) & 0x0FFF;
  }
  for (const auto& record : sheet.head) {
    if (record.id != rec::kColInfo || record.nested || record.body.size() < 8) continue;
    if (get16(record.body, 0) <= col && col <= get16(record.body, 2)) return get16(record.body, 6);
  }
  return kDefaultCellXf;
}

// One cell of the area as it should end up.
struct Target {
  Cell::Kind kind = Cell::Kind::Blank;
  double number = 0;
  std::u16string text;
  FormatChange change;
};

// A formula that shares its definition with cells, or fills an array or table, that lie outside
// the area would leave those cells pointing at nothing once the area is cleared.
void refuseFormulasReachingOut(const Sheet& sheet, const Cell& cell, int firstRow, std::uint16_t columns) {
  for (const BiffRecord& r : cell.raw) {
    if (r.id != rec::kShrFmla && r.id != rec::kArray && r.id != rec::kTable) continue;
    const int top = get16(r.body, 0) + 1;
    const std::uint8_t lastCol = get8(r.body, 5);
    if (top < firstRow || lastCol >= columns)
      throw WorkbookError("シート「" + utf8FromUtf16(sheet.name) +
                          "」の書き換える範囲にある数式が範囲の外のセルと共有されています");
  }
}

// Clears the contents of the area's other cells and applies the change to their formats. The
// targets take their whole change from their own formats instead, so that no format in
// between is added to the file.
void clearArea(Sheet& sheet, FormatTable& formats, int firstRow, std::uint16_t columns, const FormatChange& change,
               const std::map<std::uint32_t, Target>& targets) {
  const auto area = [&](auto&& each) {
    for (auto it = sheet.cells.lower_bound(keyAt(firstRow, 0)); it != sheet.cells.end(); ++it)
      if (keyCol(it->first) < columns) each(it->first, it->second);
  };
  // Checked before anything changes, so that a refused file keeps every cell.
  area([&](std::uint32_t, const Cell& cell) { refuseFormulasReachingOut(sheet, cell, firstRow, columns); });
  area([&](std::uint32_t key, Cell& cell) {
    if (targets.count(key)) return;
    cell.xf = formats.derive(cell.xf, change);
    if (cell.kind != Cell::Kind::Blank) {
      cell.kind = Cell::Kind::Blank;
      cell.raw.clear();
    }
  });
}

void apply(WorkbookStream& wb, Sheet& sheet, FormatTable& formats, std::map<std::uint32_t, Target>& targets) {
  for (auto& [key, target] : targets) {
    const auto existing = sheet.cells.find(key);
    const std::uint16_t base = existing != sheet.cells.end() ? existing->second.xf : inheritedXf(sheet, key);
    Cell cell{target.kind, formats.derive(base, target.change), target.number};
    if (target.kind == Cell::Kind::Text) cell.text = wb.addString(std::move(target.text));
    sheet.cells[key] = std::move(cell);
  }
}

Borders blockBorders(int row, std::uint16_t col, int top, int bottom) {
  const bool timeColumn = col % 2 == 0;
  const bool inner = bottom > top;  // hairlines between rows only where the block has several
  Borders b;
  b.left = timeColumn ? Line::Thin : Line::Hair;
  b.right = timeColumn ? Line::Hair : Line::Thin;
  b.top = row == top ? Line::Thin : inner ? Line::Hair : Line::None;
  b.bottom = row == bottom ? Line::Thin : inner ? Line::Hair : Line::None;
  return b;
}

void writePlan(WorkbookStream& wb, FormatTable& formats, const Timetable& table,
               const std::vector<Conflict>& conflicts) {
  Sheet& sheet = sheetNamed(wb, kPlanSheet);
  std::map<std::uint32_t, Target> targets;

  // The block runs to the table end, the row below the longest column's last entry.
  const int bottom = table.tableEnd();
  for (int row = kPlanFirstRow; row <= bottom; ++row)
    for (std::uint16_t col = 0; col < kPlanColumns; ++col)
      targets[keyAt(row, col)].change = {blockBorders(row, col, kPlanFirstRow, bottom), kIcvAutomaticFont,
                                         std::nullopt};

  std::set<std::pair<int, std::size_t>> marked;
  for (const Conflict& c : conflicts) marked.insert({c.category, c.entry});
  for (int category = 0; category < kCategories; ++category) {
    const auto& column = table.columns[category];
    for (std::size_t i = 0; i < column.size(); ++i) {
      const int row = Timetable::entryRow(i);
      const auto col = static_cast<std::uint16_t>(2 * category);
      Target& time = targets[keyAt(row, col)];
      time.kind = Cell::Kind::Number;
      time.number = static_cast<double>(column[i].time.count()) / 86400.0;
      time.change.align = column[i].kind == EntryKind::Run ? HAlign::Right : HAlign::Left;
      if (marked.count({category, i})) time.change.fontColour = kIcvRed;
      if (!column[i].label.empty()) {
        Target& label = targets[keyAt(row, col + 1)];
        label.kind = Cell::Kind::Text;
        label.text = utf16FromUtf8(column[i].label);
      }
    }
  }
  clearArea(sheet, formats, kPlanFirstRow, kPlanColumns, {Borders{}, kIcvAutomaticFont, std::nullopt}, targets);
  apply(wb, sheet, formats, targets);
}

void writeDates(WorkbookStream& wb, FormatTable& formats, const std::vector<std::string>& holidays,
                const std::vector<std::string>& absences) {
  Sheet& sheet = sheetNamed(wb, kDatesSheet);
  std::map<std::uint32_t, Target> targets;
  const std::size_t count = std::max(holidays.size(), absences.size());
  const std::size_t fit = std::min<std::size_t>(count, kLastRow - kDatesFirstRow + 1);
  for (std::size_t i = 0; i < fit; ++i) {
    const int row = kDatesFirstRow + static_cast<int>(i);
    for (std::uint16_t col = 0; col < 2; ++col) {
      Target& t = targets[keyAt(row, col)];
      t.change.borders = kAllThin;
      const auto& list = col == 0 ? holidays : absences;
      if (i >= list.size()) continue;
      if (const auto serial = dateSerial(list[i])) {
        t.kind = Cell::Kind::Number;
        t.number = *serial;
      } else if (!list[i].empty()) {
        t.kind = Cell::Kind::Text;
        t.text = utf16FromUtf8(list[i]);
      }
    }
  }
  clearArea(sheet, formats, kDatesFirstRow, 2, {Borders{}, std::nullopt, std::nullopt}, targets);
  apply(wb, sheet, formats, targets);
}

std::vector<BiffRecord*> topLevel(Sheet& sheet, std::uint16_t id) {
  std::vector<BiffRecord*> found;
  for (auto* list : {&sheet.head, &sheet.tail})
    for (auto& r : *list)
      if (r.id == id && !r.nested) found.push_back(&r);
  return found;
}

// The pane of a frozen window that holds the cell; the top-left one without panes.
std::uint8_t paneHolding(const BiffRecord* paneRecord, bool frozen, int row, std::uint16_t col) {
  if (!paneRecord || paneRecord->body.size() < pane::kSize) return pane::kTopLeft;
  // A split that is not frozen is measured in twips; its active pane is kept.
  if (!frozen) return get8(paneRecord->body, pane::kActive);
  const std::uint16_t columnSplit = get16(paneRecord->body, pane::kColumnSplit);
  const std::uint16_t rowSplit = get16(paneRecord->body, pane::kRowSplit);
  const bool right = columnSplit > 0 && col >= columnSplit;
  const bool bottom = rowSplit > 0 && row - 1 >= rowSplit;
  if (bottom) return right ? pane::kBottomRight : pane::kBottomLeft;
  return right ? pane::kTopRight : pane::kTopLeft;
}

}  // namespace

void showPlanSheet(WorkbookStream& wb, int row) {
  const int plan = wb.findWorksheet(kPlanSheet);
  if (plan < 0) throw WorkbookError("シート「" + utf8FromUtf16(kPlanSheet) + "」がありません");
  for (auto& r : wb.globals) {
    if (r.id != rec::kWindow1 || r.body.size() < window1::kSize) continue;
    set16(r.body, window1::kActiveSheet, static_cast<std::uint16_t>(plan));
    if (get16(r.body, window1::kFirstTab) > plan) set16(r.body, window1::kFirstTab, static_cast<std::uint16_t>(plan));
    set16(r.body, window1::kSelectedTabs, 1);
    break;
  }
  bool frozen = false;
  for (std::size_t i = 0; i < wb.sheets.size(); ++i) {
    const bool active = static_cast<int>(i) == plan;
    for (BiffRecord* window : topLevel(wb.sheets[i], rec::kWindow2)) {
      if (window->body.size() < window2::kSize) continue;
      const std::uint16_t flags = get16(window->body, window2::kFlags);
      const std::uint16_t shown = window2::kSelected | window2::kShown;
      set16(window->body, window2::kFlags, active ? flags | shown : flags & ~shown);
      if (!active) continue;
      frozen = (flags & window2::kFrozen) != 0;
      set16(window->body, window2::kTopRow, 0);
      set16(window->body, window2::kLeftCol, 0);
    }
  }

  Sheet& sheet = wb.sheets[static_cast<std::size_t>(plan)];
  const auto panes = topLevel(sheet, rec::kPane);
  BiffRecord* paneRecord = panes.empty() ? nullptr : panes.front();
  const std::uint8_t holder = paneHolding(paneRecord, frozen, row, 0);
  if (paneRecord && paneRecord->body.size() >= pane::kSize) paneRecord->body[pane::kActive] = static_cast<char>(holder);
  const auto cellRow = static_cast<std::uint16_t>(row - 1);
  for (BiffRecord* s : topLevel(sheet, rec::kSelection)) {
    if (get8(s->body, 0) != holder) continue;
    s->body = selectionBody(holder, cellRow, 0);
    return;
  }
  // No selection for that pane yet: one goes after the window's other view records.
  for (auto* records : {&sheet.head, &sheet.tail}) {
    auto it = std::find_if(records->begin(), records->end(),
                           [](const BiffRecord& r) { return r.id == rec::kWindow2 && !r.nested; });
    if (it == records->end()) continue;
    while (std::next(it) != records->end() && !std::next(it)->nested &&
           (std::next(it)->id == rec::kScl || std::next(it)->id == rec::kPlv || std::next(it)->id == rec::kPane ||
            std::next(it)->id == rec::kSelection))
      ++it;
    records->insert(std::next(it), {rec::kSelection, selectionBody(holder, cellRow, 0), {}});
    return;
  }
}

std::optional<double> dateSerial(const std::string& text) {
  const auto date = parseDate(text);
  if (!date) return std::nullopt;
  using namespace std::chrono;
  const auto days = (sys_days{*date} - sys_days{year{1899} / December / 30}).count();
  const TimeOfDay time = parseTimeOfDay(text).value_or(TimeOfDay{0});
  return static_cast<double>(days) + static_cast<double>(time.count()) / 86400.0;
}

void writeTimetableSheets(WorkbookStream& workbook, const Timetable& table, const std::vector<Conflict>& conflicts,
                          const std::vector<std::string>& holidayDates, const std::vector<std::string>& absenceDates) {
  FormatTable formats(workbook);
  writePlan(workbook, formats, table, conflicts);
  writeDates(workbook, formats, holidayDates, absenceDates);
  showPlanSheet(workbook, kPlanFirstRow);
}

}  // namespace sayolt::workbook
