#include "workbook/format_table.h"

#include "workbook/byte_io.h"

namespace sayolt::workbook {

namespace {

constexpr std::size_t kMaxXfs = 4050;
constexpr std::size_t kMaxFonts = 510;

// Font index 4 does not exist: indexes from 5 on address the records from the fifth on.
std::size_t fontRecord(std::uint16_t ifnt) { return ifnt < 4 ? ifnt : ifnt - 1u; }
std::uint16_t fontIndexOf(std::size_t record) { return static_cast<std::uint16_t>(record < 4 ? record : record + 1); }

int lineKey(const std::optional<Borders>& b, Line Borders::*side) { return b ? static_cast<int>((*b).*side) : -1; }

}  // namespace

FormatTable::FormatTable(WorkbookStream& workbook) : workbook_(workbook) {
  for (std::size_t i = 0; i < workbook_.globals.size(); ++i) {
    const BiffRecord& r = workbook_.globals[i];
    if (r.id == rec::kFont) {
      fontIndex_.emplace(r.body, fontIndexOf(fontAt_.size()));
      fontAt_.push_back(i);
    } else if (r.id == rec::kXf) {
      if (r.body.size() < kXfSize) throw WorkbookError(kDamaged);
      xfIndex_.emplace(r.body, static_cast<std::uint16_t>(xfAt_.size()));
      xfAt_.push_back(i);
    }
  }
  if (fontAt_.empty() || xfAt_.size() <= kDefaultCellXf) throw WorkbookError(kDamaged);
}

std::uint16_t FormatTable::derive(std::uint16_t baseXf, const FormatChange& change) {
  if (baseXf >= xfAt_.size()) baseXf = kDefaultCellXf;
  const Key key{baseXf,
                lineKey(change.borders, &Borders::left),
                lineKey(change.borders, &Borders::right),
                lineKey(change.borders, &Borders::top),
                lineKey(change.borders, &Borders::bottom),
                change.fontColour ? *change.fontColour : -1,
                change.align ? static_cast<int>(*change.align) : -1};
  if (const auto found = derived_.find(key); found != derived_.end()) return found->second;

  // A copy: adding a font below moves the records.
  const std::string base = workbook_.globals[xfAt_[baseXf]].body;
  std::string xf = base;
  if (change.borders && xfBorders(xf) != *change.borders) setXfBorders(xf, *change.borders);
  if (change.align && xfAlign(xf) != *change.align) setXfAlign(xf, *change.align);
  if (change.fontColour) {
    std::size_t record = fontRecord(xfFont(xf));
    if (record >= fontAt_.size()) record = 0;
    std::string font = workbook_.globals[fontAt_[record]].body;
    if (fontColour(font) != *change.fontColour) {
      setFontColour(font, *change.fontColour);
      setXfFont(xf, findOrAddFont(font));
    }
  }
  const std::uint16_t result = xf == base ? baseXf : findOrAddXf(xf);
  derived_.emplace(key, result);
  return result;
}

std::uint16_t FormatTable::findOrAddFont(const std::string& body) {
  if (const auto found = fontIndex_.find(body); found != fontIndex_.end()) return found->second;
  if (fontAt_.size() >= kMaxFonts) throw WorkbookError("フォントの種類が多すぎます");
  const std::size_t at = fontAt_.back() + 1;
  insertGlobal(at, {rec::kFont, body, {}});
  fontAt_.push_back(at);
  const std::uint16_t index = fontIndexOf(fontAt_.size() - 1);
  fontIndex_.emplace(body, index);
  return index;
}

std::uint16_t FormatTable::findOrAddXf(const std::string& body) {
  if (const auto found = xfIndex_.find(body); found != xfIndex_.end()) return found->second;
  if (xfAt_.size() >= kMaxXfs) throw WorkbookError("セルの書式が多すぎます");
  const std::size_t at = xfAt_.back() + 1;
  insertGlobal(at, {rec::kXf, body, {}});
  xfAt_.push_back(at);
  const auto index = static_cast<std::uint16_t>(xfAt_.size() - 1);
  xfIndex_.emplace(body, index);
  return index;
}

void FormatTable::insertGlobal(std::size_t at, BiffRecord record) {
  auto& globals = workbook_.globals;
  globals.insert(globals.begin() + static_cast<std::ptrdiff_t>(at), std::move(record));
  for (auto* positions : {&fontAt_, &xfAt_})
    for (auto& p : *positions)
      if (p >= at) ++p;
  if (workbook_.sstAt >= at) ++workbook_.sstAt;
}

}  // namespace sayolt::workbook
