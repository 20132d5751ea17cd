#pragma once
// Reading back a built workbook in the tests: its stream model and the cells of a sheet.
#include <gtest/gtest.h>

#include <string>

#include "workbook/byte_io.h"
#include "workbook/compound_file.h"
#include "workbook/workbook_stream.h"

namespace sayolt::workbook::test {

inline WorkbookStream streamOf(const std::string& fileBytes) {
  const CompoundFile file = readCompoundFile(fileBytes);
  const CompoundEntry* stream = file.findStream(u"Workbook");
  if (!stream) throw WorkbookError("no Workbook stream");
  return readWorkbookStream(stream->data);
}

inline const Sheet& sheet(const WorkbookStream& wb, const char16_t* name) {
  const int index = wb.findWorksheet(name);
  if (index < 0) throw WorkbookError("no sheet");
  return wb.sheets[static_cast<std::size_t>(index)];
}

// The text of a cell, or its number as text; "" for a blank or missing cell. Rows from 1.
inline std::string cellText(const WorkbookStream& wb, const Sheet& s, int row, int col) {
  const auto found = s.cells.find(cellKey(static_cast<std::uint16_t>(row - 1), static_cast<std::uint16_t>(col)));
  if (found == s.cells.end()) return "";
  const Cell& c = found->second;
  if (c.kind == Cell::Kind::Text) return utf8FromUtf16(wb.strings.at(c.text).text);
  if (c.kind == Cell::Kind::Number) {
    const long long minutes = static_cast<long long>(c.number * 1440 + 0.5);
    return std::to_string(minutes / 60) + ":" + (minutes % 60 < 10 ? "0" : "") + std::to_string(minutes % 60);
  }
  return "";
}

inline std::vector<const BiffRecord*> records(const WorkbookStream& wb, std::uint16_t id) {
  std::vector<const BiffRecord*> out;
  for (const auto& r : wb.globals)
    if (r.id == id) out.push_back(&r);
  return out;
}

inline const std::string& xfOf(const WorkbookStream& wb, const Sheet& s, int row, int col) {
  const auto xfs = records(wb, 0x00E0);
  const Cell& c = s.cells.at(cellKey(static_cast<std::uint16_t>(row - 1), static_cast<std::uint16_t>(col)));
  return xfs.at(c.xf)->body;
}

// The font record a cell's format uses.
inline const std::string& fontOf(const WorkbookStream& wb, const Sheet& s, int row, int col) {
  const std::uint16_t index = get16(xfOf(wb, s, row, col), 0);
  return records(wb, 0x0031).at(index < 4 ? index : index - 1u)->body;
}

}  // namespace sayolt::workbook::test
