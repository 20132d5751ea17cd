#include "workbook/workbook_stream.h"

#include <algorithm>
#include <tuple>

#include "workbook/byte_io.h"

namespace sayolt::workbook {

namespace {

constexpr std::size_t kRowsPerBlock = 32;

[[noreturn]] void damaged() { throw WorkbookError(kDamaged); }

bool isCellTableRecord(std::uint16_t id) {
  switch (id) {
    case rec::kRow:
    case rec::kBlank:
    case rec::kMulBlank:
    case rec::kNumber:
    case rec::kRk:
    case rec::kMulRk:
    case rec::kLabelSst:
    case rec::kLabel:
    case rec::kRString:
    case rec::kBoolErr:
    case rec::kFormula:
    case rec::kString:
    case rec::kShrFmla:
    case rec::kArray:
    case rec::kTable:
    case rec::kDbCell:
      return true;
    default:
      return false;
  }
}

class SheetReader {
 public:
  SheetReader(Sheet& sheet, std::size_t stringCount) : sheet_(sheet), stringCount_(stringCount) {}

  void read(std::vector<BiffRecord> records) {
    for (auto& r : records) {
      if (r.nested || !sheet_.worksheet) {
        // Macro and dialog sheets refer to the shared strings too; they are renumbered on write.
        if (r.id == rec::kLabelSst) checkStringReference(r);
        place(std::move(r));
      } else if (r.id == rec::kIndex || r.id == rec::kDbCell) {
        // Their offsets would be wrong after any change; readers do without them.
      } else if (isCellTableRecord(r.id)) {
        tableSeen_ = true;
        readCellRecord(std::move(r));
      } else {
        place(std::move(r));
      }
    }
    if (!tableSeen_) splitAtTablePlace();
  }

 private:
  void place(BiffRecord r) { (tableSeen_ ? sheet_.tail : sheet_.head).push_back(std::move(r)); }

  static void requireSize(const BiffRecord& r, std::size_t size) {
    if (r.body.size() < size) damaged();
  }

  void checkStringReference(const BiffRecord& r) const {
    requireSize(r, 10);
    if (get32(r.body, 6) >= stringCount_) damaged();
  }

  Cell& put(std::uint16_t row, std::uint16_t col, Cell cell) {
    Cell& slot = sheet_.cells[cellKey(row, col)];
    slot = std::move(cell);
    return slot;
  }

  void readCellRecord(BiffRecord r) {
    requireSize(r, 6);
    const std::uint16_t row = get16(r.body, 0), col = get16(r.body, 2), xf = get16(r.body, 4);
    switch (r.id) {
      case rec::kRow:
        sheet_.rows[row] = std::move(r);
        return;
      case rec::kBlank:
        put(row, col, {Cell::Kind::Blank, xf});
        return;
      case rec::kNumber:
        requireSize(r, 14);
        put(row, col, {Cell::Kind::Number, xf, getDouble(r.body, 6)});
        return;
      case rec::kLabelSst: {
        requireSize(r, 10);
        const std::uint32_t index = get32(r.body, 6);
        if (index >= stringCount_) damaged();
        put(row, col, {Cell::Kind::Text, xf, 0, index});
        return;
      }
      case rec::kMulBlank: {
        const std::size_t count = (r.body.size() - 6) / 2;
        if (count == 0 || r.body.size() != 6 + 2 * count) damaged();
        for (std::size_t i = 0; i < count; ++i)
          put(row, static_cast<std::uint16_t>(col + i), {Cell::Kind::Blank, get16(r.body, 4 + 2 * i)});
        return;
      }
      case rec::kMulRk: {
        const std::size_t count = (r.body.size() - 6) / 6;
        if (count == 0 || r.body.size() != 6 + 6 * count) damaged();
        for (std::size_t i = 0; i < count; ++i) {
          const auto c = static_cast<std::uint16_t>(col + i);
          std::string rk = blankBody(row, c, get16(r.body, 4 + 6 * i));
          rk.append(r.body, 6 + 6 * i, 4);
          Cell cell{Cell::Kind::Raw, get16(r.body, 4 + 6 * i)};
          cell.raw.push_back({rec::kRk, std::move(rk), {}});
          put(row, c, std::move(cell));
        }
        return;
      }
      case rec::kString:
      case rec::kShrFmla:
      case rec::kArray:
      case rec::kTable: {
        // They belong to the formula just before them.
        auto found = sheet_.cells.find(lastFormula_);
        if (found == sheet_.cells.end() || found->second.kind != Cell::Kind::Raw) damaged();
        found->second.raw.push_back(std::move(r));
        return;
      }
      default: {
        if (r.id == rec::kFormula) lastFormula_ = cellKey(row, col);
        Cell cell{Cell::Kind::Raw, xf};
        cell.raw.push_back(std::move(r));
        put(row, col, std::move(cell));
      }
    }
  }

  // A sheet without cells gets its table after DIMENSIONS, else before its window settings.
  void splitAtTablePlace() {
    auto& head = sheet_.head;
    std::size_t at = head.size() > 0 ? head.size() - 1 : 0;
    const auto dimensions =
        std::find_if(head.begin(), head.end(), [](const auto& r) { return r.id == rec::kDimensions; });
    const auto window = std::find_if(head.begin(), head.end(), [](const auto& r) { return r.id == rec::kWindow2; });
    if (dimensions != head.end()) {
      at = static_cast<std::size_t>(dimensions - head.begin()) + 1;
    } else if (window != head.end()) {
      at = static_cast<std::size_t>(window - head.begin());
    }
    sheet_.tail.assign(std::make_move_iterator(head.begin() + static_cast<std::ptrdiff_t>(at)),
                       std::make_move_iterator(head.end()));
    head.resize(at);
  }

  Sheet& sheet_;
  std::size_t stringCount_;
  bool tableSeen_ = false;
  std::uint32_t lastFormula_ = UINT32_MAX;
};

struct StringLess {
  bool operator()(const SstString* a, const SstString* b) const {
    return std::tie(a->text, a->runCount, a->runs, a->phonetic) < std::tie(b->text, b->runCount, b->runs, b->phonetic);
  }
};

void writeDimensions(std::string& out, const Sheet& sheet) {
  std::uint32_t firstRow = 0, rowEnd = 0;
  std::uint16_t firstCol = 0, colEnd = 0;
  if (!sheet.cells.empty()) {
    firstRow = keyRow(sheet.cells.begin()->first);
    rowEnd = keyRow(sheet.cells.rbegin()->first) + 1u;
    firstCol = 0xFFFF;
    for (const auto& [key, cell] : sheet.cells) {
      firstCol = std::min(firstCol, keyCol(key));
      colEnd = std::max<std::uint16_t>(colEnd, static_cast<std::uint16_t>(keyCol(key) + 1));
    }
  }
  appendRecord(out, rec::kDimensions, dimensionsBody(firstRow, rowEnd, firstCol, colEnd));
}

void writeRow(std::string& out, const Sheet& sheet, BiffRecord row) {
  const std::uint16_t number = get16(row.body, 0);
  const auto first = sheet.cells.lower_bound(cellKey(number, 0));
  const auto end = sheet.cells.lower_bound(cellKey(number, 0xFFFF));
  if (first != end && row.body.size() >= 6) {
    set16(row.body, 2, keyCol(first->first));
    set16(row.body, 4, static_cast<std::uint16_t>(keyCol(std::prev(end)->first) + 1));
  }
  appendRecord(out, row);
}

void writeCells(std::string& out, const Sheet& sheet, const std::vector<std::uint32_t>& newIndex) {
  auto cell = sheet.cells.begin();
  auto row = sheet.rows.begin();
  while (cell != sheet.cells.end() || row != sheet.rows.end()) {
    std::size_t next = 0x10000;
    if (cell != sheet.cells.end()) next = keyRow(cell->first);
    if (row != sheet.rows.end()) next = std::min<std::size_t>(next, row->first);
    const std::size_t blockEnd = next / kRowsPerBlock * kRowsPerBlock + kRowsPerBlock;
    for (; row != sheet.rows.end() && row->first < blockEnd; ++row) writeRow(out, sheet, row->second);
    while (cell != sheet.cells.end() && keyRow(cell->first) < blockEnd) {
      const std::uint16_t r = keyRow(cell->first), c = keyCol(cell->first);
      const Cell& value = cell->second;
      switch (value.kind) {
        case Cell::Kind::Blank: {
          std::vector<std::uint16_t> xfs{value.xf};
          auto run = std::next(cell);
          while (run != sheet.cells.end() && run->second.kind == Cell::Kind::Blank && keyRow(run->first) == r &&
                 keyCol(run->first) == c + xfs.size() && xfs.size() < 256) {
            xfs.push_back(run->second.xf);
            ++run;
          }
          if (xfs.size() == 1) {
            appendRecord(out, rec::kBlank, blankBody(r, c, value.xf));
          } else {
            appendRecord(out, rec::kMulBlank, mulBlankBody(r, c, xfs));
          }
          cell = run;
          continue;
        }
        case Cell::Kind::Number:
          appendRecord(out, rec::kNumber, numberBody(r, c, value.xf, value.number));
          break;
        case Cell::Kind::Text:
          appendRecord(out, rec::kLabelSst, labelSstBody(r, c, value.xf, newIndex.at(value.text)));
          break;
        case Cell::Kind::Raw:
          for (const auto& record : value.raw) appendRecord(out, record);
          break;
      }
      ++cell;
    }
  }
}

// A record kept as read, with its reference to a shared string renumbered.
void appendKept(std::string& out, const BiffRecord& r, const std::vector<std::uint32_t>& newIndex) {
  if (r.id != rec::kLabelSst) return appendRecord(out, r);
  BiffRecord renumbered = r;
  set32(renumbered.body, 6, newIndex.at(get32(r.body, 6)));
  appendRecord(out, renumbered);
}

void writeSheet(std::string& out, const Sheet& sheet, const std::vector<std::uint32_t>& newIndex) {
  for (const auto& r : sheet.head) {
    if (r.id == rec::kDimensions && !r.nested && sheet.worksheet) {
      writeDimensions(out, sheet);
    } else {
      appendKept(out, r, newIndex);
    }
  }
  writeCells(out, sheet, newIndex);
  for (const auto& r : sheet.tail) appendKept(out, r, newIndex);
}

}  // namespace

int WorkbookStream::findWorksheet(std::u16string_view name) const {
  for (std::size_t i = 0; i < sheets.size(); ++i)
    if (sheets[i].worksheet && sheets[i].name == name) return static_cast<int>(i);
  return -1;
}

std::uint32_t WorkbookStream::addString(std::u16string text) {
  SstString s;
  s.text = std::move(text);
  strings.push_back(std::move(s));
  return static_cast<std::uint32_t>(strings.size() - 1);
}

WorkbookStream readWorkbookStream(std::string_view stream) {
  std::size_t globalsEnd = 0;
  std::vector<BiffRecord> globals = readSubstream(stream, 0, &globalsEnd);
  const BiffRecord& bof = globals.front();
  if (bof.body.size() < 4 || get16(bof.body, 0) != 0x0600 || get16(bof.body, 2) != kBofGlobals) damaged();

  WorkbookStream wb;
  std::vector<std::uint32_t> offsets;
  std::vector<std::uint8_t> types;
  bool sstSeen = false;
  for (auto& r : globals) {
    if (r.id == rec::kFilePass) throw WorkbookError("パスワードで保護されています");
    if (r.id == rec::kSst && !sstSeen) {
      sstSeen = true;
      wb.strings = readSst(r);
      wb.sstAt = wb.globals.size();
      continue;
    }
    if (r.id == rec::kExtSst) continue;
    if (r.id == rec::kBoundSheet) {
      if (r.body.size() < 8) damaged();
      offsets.push_back(get32(r.body, 0));
      types.push_back(get8(r.body, 5));
      Sheet sheet;
      sheet.name = readShortUnicodeString(r.body, 6);
      wb.sheets.push_back(std::move(sheet));
    }
    wb.globals.push_back(std::move(r));
  }
  if (!sstSeen) wb.sstAt = wb.globals.size() - 1;

  // Every sheet has bytes of its own after the globals: sheets that share or overlap would be
  // read again and again, and could not be written back apart.
  std::map<std::size_t, std::size_t> taken{{0, globalsEnd}};
  for (std::size_t i = 0; i < wb.sheets.size(); ++i) {
    std::size_t end = 0;
    const auto after = taken.upper_bound(offsets[i]);
    if (std::prev(after)->second > offsets[i]) damaged();
    std::vector<BiffRecord> records = readSubstream(stream, offsets[i], &end);
    if (after != taken.end() && after->first < end) damaged();
    taken.emplace(offsets[i], end);
    const BiffRecord& sheetBof = records.front();
    if (sheetBof.body.size() < 4) damaged();
    wb.sheets[i].worksheet = types[i] == 0 && get16(sheetBof.body, 2) == kBofWorksheet;
    SheetReader(wb.sheets[i], wb.strings.size()).read(std::move(records));
  }
  return wb;
}

std::string writeWorkbookStream(const WorkbookStream& wb) {
  std::vector<std::uint32_t> newIndex(wb.strings.size(), UINT32_MAX);
  std::map<const SstString*, std::uint32_t, StringLess> seen;
  std::vector<const SstString*> unique;
  std::uint32_t references = 0;
  const auto refer = [&](std::uint32_t text) {
    ++references;
    if (newIndex.at(text) != UINT32_MAX) return;
    const SstString* s = &wb.strings[text];
    const auto [found, added] = seen.emplace(s, static_cast<std::uint32_t>(unique.size()));
    if (added) unique.push_back(s);
    newIndex[text] = found->second;
  };
  // Every record that refers to the table, in every kind of sheet, keeps its string.
  for (const Sheet& sheet : wb.sheets) {
    for (const auto& [key, cell] : sheet.cells)
      if (cell.kind == Cell::Kind::Text) refer(cell.text);
    for (const auto* records : {&sheet.head, &sheet.tail})
      for (const BiffRecord& r : *records)
        if (r.id == rec::kLabelSst) refer(get32(r.body, 6));
  }

  std::string out;
  std::vector<std::size_t> boundSheetAt;
  for (std::size_t i = 0; i < wb.globals.size(); ++i) {
    if (i == wb.sstAt) appendSst(out, unique, references, out.size());
    if (wb.globals[i].id == rec::kBoundSheet) boundSheetAt.push_back(out.size() + 4);
    appendRecord(out, wb.globals[i]);
  }
  if (boundSheetAt.size() != wb.sheets.size()) damaged();
  for (std::size_t i = 0; i < wb.sheets.size(); ++i) {
    set32(out, boundSheetAt[i], static_cast<std::uint32_t>(out.size()));
    writeSheet(out, wb.sheets[i], newIndex);
  }
  return out;
}

}  // namespace sayolt::workbook
