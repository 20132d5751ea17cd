#pragma once
// The holiday and absence lists ("祝日", "不在") as the scheduler, the editor and the workbook all
// read them: every entry of the section in file order, whatever its key, however long the list.
// So the printed plan lists exactly the dates that the scheduler honours.
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shared/ini_file.h"

namespace sayolt {

struct ListedDate {
  std::string text;                                 // the value as stored, never empty
  std::optional<std::chrono::year_month_day> date;  // nullopt: the text is no date
};

// Every non-empty value of the section in file order: the text after an entry's first "=", or
// the whole entry when it has none.
std::vector<ListedDate> readDateList(const IniSnapshot& ini, std::string_view section);

// The texts of the list whose dates are today or later, unchanged, in list order; texts that
// are no date are left out.
std::vector<std::string> currentDates(const IniSnapshot& ini, std::string_view section,
                                      std::chrono::year_month_day today);

}  // namespace sayolt
