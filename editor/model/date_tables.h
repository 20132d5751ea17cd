#pragma once
// The tables of the holiday and absence dates page.
#include <string>
#include <vector>

namespace sayolt::editor {

// The kinds in the order of the page's option buttons: Option1(0) 祝日, Option1(1) 不在.
enum class DateKind { Holiday = 0, Absence = 1 };

// Registered dates in list order, each a text that reads as a date not before today, kept as loaded
// or as the page formatted it ("yyyy/m/d"). The same date may stand twice.
struct SpecialDateTables {
  std::vector<std::string> holidayDates;
  std::vector<std::string> absenceDates;
  std::vector<std::string> savedHolidayDates;  // as last read from or written to the file
  std::vector<std::string> savedAbsenceDates;
};

}  // namespace sayolt::editor
