#pragma once
#include <stdexcept>

namespace sayolt::workbook {

// Why an existing workbook cannot be rebuilt, or the new one cannot be written; the text is
// shown to the user as it stands.
class WorkbookError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr const char* kDamaged = "ファイルが壊れているか、Excel 97-2003 形式（.xls）ではありません";

}  // namespace sayolt::workbook
