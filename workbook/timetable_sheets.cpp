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

constexpr std::uint16_t kPlanColumns = 18;
constexpr std::uint16_t kPlanFirstRow = 2;   // row 3
constexpr std::uint16_t kDatesFirstRow = 1;  // row 2
constexpr std::uint16_t kPane = 0x0041;
constexpr std::uint16_t kScl = 0x00A0;
constexpr std::uint16_t kPlv = 0x088B;

Sheet& sheetNamed(WorkbookStream& wb, const char16_t* name) {
  const int index = wb.findWorksheet(name);
  if (index < 0) throw WorkbookError("シート「" + utf8FromUtf16(name) + "」がありません");
  return wb.sheets[static_cast<std::size_t>(index)];
}

// The format a new cell takes: its row's, else its column's, else the default.
std::uint16_t inheritedXf(const Sheet& sheet, std::uint16_t row, std::uint16_t col) {
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

// Clears the contents of the area's other cells and applies the change to their formats. The
// targets take their whole change from their own formats instead, so that no format in
// between is added to the file.
void clearArea(Sheet& sheet, FormatTable& formats, std::uint16_t firstRow, std::uint16_t columns,
               const FormatChange& change, const std::map<std::uint32_t, Target>& targets) {
  for (auto it = sheet.cells.lower_bound(cellKey(firstRow, 0)); it != sheet.cells.end(); ++it) {
    if (keyCol(it->first) >= columns || targets.count(it->first)) continue;
    Cell& cell = it->second;
    cell.xf = formats.derive(cell.xf, change);
    if (cell.kind != Cell::Kind::Blank) {
      cell.kind = Cell::Kind::Blank;
      cell.raw.clear();
    }
  }
}

void apply(WorkbookStream& wb, Sheet& sheet, FormatTable& formats, std::map<std::uint32_t, Target>& targets) {
  for (auto& [key, target] : targets) {
    const auto existing = sheet.cells.find(key);
    const std::uint16_t base =
        existing != sheet.cells.end() ? existing->second.xf : inheritedXf(sheet, keyRow(key), keyCol(key));
    Cell cell{target.kind, formats.derive(base, target.change), target.number};
    if (target.kind == Cell::Kind::Text) cell.text = wb.addString(std::move(target.text));
    sheet.cells[key] = std::move(cell);
  }
}

Borders blockBorders(std::uint16_t row, std::uint16_t col, std::uint16_t top, std::uint16_t bottom) {
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

  const auto bottom = static_cast<std::uint16_t>(table.tableEnd() - 1);
  for (std::uint16_t row = kPlanFirstRow; row <= bottom; ++row)
    for (std::uint16_t col = 0; col < kPlanColumns; ++col)
      targets[cellKey(row, col)].change = {blockBorders(row, col, kPlanFirstRow, bottom), kIcvAutomaticFont,
                                           std::nullopt};

  std::set<std::pair<int, std::size_t>> marked;
  for (const Conflict& c : conflicts) marked.insert({c.category, c.entry});
  for (int category = 0; category < kCategories; ++category) {
    const auto& column = table.columns[category];
    for (std::size_t i = 0; i < column.size(); ++i) {
      const auto row = static_cast<std::uint16_t>(Timetable::entryRow(i) - 1);
      const auto col = static_cast<std::uint16_t>(2 * category);
      Target& time = targets[cellKey(row, col)];
      time.kind = Cell::Kind::Number;
      time.number = static_cast<double>(column[i].time.count()) / 86400.0;
      time.change.align = column[i].kind == EntryKind::Run ? HAlign::Right : HAlign::Left;
      if (marked.count({category, i})) time.change.fontColour = kIcvRed;
      if (!column[i].label.empty()) {
        Target& label = targets[cellKey(row, col + 1)];
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
  for (std::size_t i = 0; i < count && i + kDatesFirstRow <= 0xFFFF; ++i) {
    const auto row = static_cast<std::uint16_t>(kDatesFirstRow + i);
    for (std::uint16_t col = 0; col < 2; ++col) {
      Target& t = targets[cellKey(row, col)];
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

// The plan sheet opens as the active sheet with A3 selected; the others are not selected.
void showPlanSheet(WorkbookStream& wb) {
  const int plan = wb.findWorksheet(kPlanSheet);
  for (auto& r : wb.globals) {
    if (r.id != rec::kWindow1 || r.body.size() < 16) continue;
    set16(r.body, 10, static_cast<std::uint16_t>(plan));
    if (get16(r.body, 12) > plan) set16(r.body, 12, static_cast<std::uint16_t>(plan));
    set16(r.body, 14, 1);
    break;
  }
  for (std::size_t i = 0; i < wb.sheets.size(); ++i) {
    Sheet& sheet = wb.sheets[i];
    const bool active = static_cast<int>(i) == plan;
    for (BiffRecord* window : topLevel(sheet, rec::kWindow2)) {
      if (window->body.size() < 6) continue;
      const std::uint16_t flags = get16(window->body, 0);
      set16(window->body, 0, active ? flags | 0x0600 : flags & ~0x0600);
      if (active) {
        set16(window->body, 2, 0);
        set16(window->body, 4, 0);
      }
    }
  }
  Sheet& sheet = wb.sheets[static_cast<std::size_t>(plan)];
  const auto selections = topLevel(sheet, rec::kSelection);
  for (BiffRecord* s : selections) s->body = selectionBody(get8(s->body, 0), kPlanFirstRow, 0);
  if (!selections.empty()) return;
  for (auto* records : {&sheet.head, &sheet.tail}) {
    auto it = std::find_if(records->begin(), records->end(),
                           [](const BiffRecord& r) { return r.id == rec::kWindow2 && !r.nested; });
    if (it == records->end()) continue;
    while (std::next(it) != records->end() &&
           (std::next(it)->id == kScl || std::next(it)->id == kPlv || std::next(it)->id == kPane))
      ++it;
    records->insert(std::next(it), {rec::kSelection, selectionBody(3, kPlanFirstRow, 0), {}});
    return;
  }
}

}  // namespace

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
  showPlanSheet(workbook);
}

}  // namespace sayolt::workbook
