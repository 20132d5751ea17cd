#pragma once
// The workbook's fonts and cell formats, and new ones derived from them: one attribute changed,
// the rest kept. An equal format already in the file is reused, so rebuilding with the same
// data adds nothing.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "workbook/cell_format.h"
#include "workbook/workbook_stream.h"

namespace sayolt::workbook {

struct FormatChange {
  std::optional<Borders> borders;
  std::optional<std::uint16_t> fontColour;
  std::optional<HAlign> align;
};

class FormatTable {
 public:
  explicit FormatTable(WorkbookStream& workbook);

  // The format with the change applied to the base format; base itself when nothing changes.
  std::uint16_t derive(std::uint16_t baseXf, const FormatChange& change);

 private:
  std::uint16_t findOrAddFont(const std::string& body);
  std::uint16_t findOrAddXf(const std::string& body);
  void insertGlobal(std::size_t at, BiffRecord record);

  WorkbookStream& workbook_;
  std::vector<std::size_t> fontAt_;  // positions in the globals
  std::vector<std::size_t> xfAt_;
  std::map<std::string, std::uint16_t> fontIndex_;
  std::map<std::string, std::uint16_t> xfIndex_;
  using Key = std::tuple<std::uint16_t, int, int, int, int, int, int>;
  std::map<Key, std::uint16_t> derived_;
};

}  // namespace sayolt::workbook
