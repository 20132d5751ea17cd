#pragma once
// The empty "Sayolt予定表.xls": both sheets with their titles, headings, fills, borders,
// formats and column widths, but no data.
#include "workbook/workbook_stream.h"

namespace sayolt::workbook {

inline constexpr const char16_t* kPlanSheet = u"予定表";
inline constexpr const char16_t* kDatesSheet = u"祝日不在設定日";

WorkbookStream emptyScheduleWorkbook();

}  // namespace sayolt::workbook
