#pragma once
// The "Workbook" stream as a model: the globals' records, the shared strings, and per sheet its
// records around a cell table that can be edited. Records it does not interpret are kept as
// they were read.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "workbook/biff_records.h"
#include "workbook/shared_strings.h"

namespace sayolt::workbook {

struct Cell {
  enum class Kind : std::uint8_t { Blank, Number, Text, Raw };
  Cell() = default;
  Cell(Kind kind_, std::uint16_t xf_, double number_ = 0, std::uint32_t text_ = 0)
      : kind(kind_), xf(xf_), number(number_), text(text_) {}
  Kind kind = Kind::Blank;
  std::uint16_t xf = 15;
  double number = 0;
  std::uint32_t text = 0;       // index into WorkbookStream::strings
  std::vector<BiffRecord> raw;  // Raw: the cell's record and the records that belong to it
};

inline std::uint32_t cellKey(std::uint16_t row, std::uint16_t col) { return (std::uint32_t{row} << 16) | col; }
inline std::uint16_t keyRow(std::uint32_t key) { return static_cast<std::uint16_t>(key >> 16); }
inline std::uint16_t keyCol(std::uint32_t key) { return static_cast<std::uint16_t>(key & 0xFFFF); }

struct Sheet {
  Sheet() = default;
  Sheet(std::u16string name_, bool worksheet_) : name(std::move(name_)), worksheet(worksheet_) {}
  std::u16string name;
  bool worksheet = false;
  std::vector<BiffRecord> head;         // from BOF to where the cell table stands
  std::map<std::uint32_t, Cell> cells;  // by cellKey, in row-major order
  std::map<std::uint16_t, BiffRecord> rows;
  std::vector<BiffRecord> tail;  // after the cell table, to EOF
};

struct WorkbookStream {
  std::vector<BiffRecord> globals;  // SST and EXTSST taken out; BOUNDSHEETs in sheet order
  std::size_t sstAt = 0;            // where SST and EXTSST go back into globals
  std::vector<SstString> strings;
  std::vector<Sheet> sheets;

  // Index of the worksheet with the name, -1 when there is none.
  int findWorksheet(std::u16string_view name) const;
  std::uint32_t addString(std::u16string text);
};

// Throws WorkbookError (in words a user can act on) when the stream cannot be taken apart.
WorkbookStream readWorkbookStream(std::string_view stream);
// Lays the stream out again: shared strings rebuilt from the cells, offsets recomputed.
std::string writeWorkbookStream(const WorkbookStream& workbook);

}  // namespace sayolt::workbook
