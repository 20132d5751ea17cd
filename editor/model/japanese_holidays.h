#pragma once
// The national holidays of Japan for one year, computed by the rules of the Act on National
// Holidays as they stand today. One-off special laws (such as the moves of 2020 and 2021) are not
// known here, so years before today's rules give today's rules, not history.
#include <chrono>
#include <string>
#include <vector>

namespace sayolt::editor {

struct NationalHoliday {
  std::chrono::year_month_day date;
  std::string name;  // "元日", …, "振替休日", "国民の休日"
};

// The years the equinox formula covers.
inline constexpr int kFirstHolidayYear = 1980;
inline constexpr int kLastHolidayYear = 2150;

// Every holiday of the year in date order: the fixed days, the Monday holidays, the two equinox
// days, the substitute holidays and the citizens' holidays between two holidays. Empty for a year
// outside kFirstHolidayYear..kLastHolidayYear.
std::vector<NationalHoliday> japaneseHolidays(int year);

// The day of March (spring) or September (autumn) of the equinox holiday, by the astronomical
// approximation the almanac uses; 0 outside the covered years.
int vernalEquinoxDay(int year);
int autumnalEquinoxDay(int year);

}  // namespace sayolt::editor
