#include "editor/model/japanese_holidays.h"

#include <algorithm>
#include <cmath>

namespace sayolt::editor {

namespace {

using namespace std::chrono;

// The almanac's approximation: the base day drifts by 0.242194 days a year and jumps back one day
// in each leap year.
int equinoxDay(int y, double base1980, double base2100) {
  if (y < kFirstHolidayYear || y > kLastHolidayYear) return 0;
  const double base = y < 2100 ? base1980 : base2100;
  const int years = y - 1980;
  return static_cast<int>(std::floor(base + 0.242194 * years)) - years / 4;
}

year_month_day fixedDay(int y, unsigned m, unsigned d) { return year{y} / month{m} / day{d}; }

year_month_day nthMonday(int y, unsigned m, unsigned n) {
  return year_month_day{year_month_weekday{year{y} / month{m} / Monday[n]}};
}

bool isHoliday(const std::vector<NationalHoliday>& list, sys_days d) {
  return std::any_of(list.begin(), list.end(), [&](const NationalHoliday& h) { return sys_days{h.date} == d; });
}

}  // namespace

int vernalEquinoxDay(int year) { return equinoxDay(year, 20.8431, 21.8510); }
int autumnalEquinoxDay(int year) { return equinoxDay(year, 23.2488, 24.2488); }

std::vector<NationalHoliday> japaneseHolidays(int y) {
  if (y < kFirstHolidayYear || y > kLastHolidayYear) return {};
  // The days the Act names ("国民の祝日"); the two kinds of rest day below are derived from them.
  const std::vector<NationalHoliday> named = {
      {fixedDay(y, 1, 1), "元日"},
      {nthMonday(y, 1, 2), "成人の日"},
      {fixedDay(y, 2, 11), "建国記念の日"},
      {fixedDay(y, 2, 23), "天皇誕生日"},
      {fixedDay(y, 3, static_cast<unsigned>(vernalEquinoxDay(y))), "春分の日"},
      {fixedDay(y, 4, 29), "昭和の日"},
      {fixedDay(y, 5, 3), "憲法記念日"},
      {fixedDay(y, 5, 4), "みどりの日"},
      {fixedDay(y, 5, 5), "こどもの日"},
      {nthMonday(y, 7, 3), "海の日"},
      {fixedDay(y, 8, 11), "山の日"},
      {nthMonday(y, 9, 3), "敬老の日"},
      {fixedDay(y, 9, static_cast<unsigned>(autumnalEquinoxDay(y))), "秋分の日"},
      {nthMonday(y, 10, 2), "スポーツの日"},
      {fixedDay(y, 11, 3), "文化の日"},
      {fixedDay(y, 11, 23), "勤労感謝の日"},
  };
  std::vector<NationalHoliday> result = named;

  // A holiday on a Sunday moves the rest to the nearest following day that is no named holiday.
  for (const NationalHoliday& h : named) {
    const sys_days d{h.date};
    if (weekday{d} != Sunday) continue;
    sys_days next = d + days{1};
    while (isHoliday(named, next)) next += days{1};
    if (!isHoliday(result, next)) result.push_back({year_month_day{next}, "振替休日"});
  }

  // A day that is no named holiday itself but lies between two of them is a rest day as well.
  for (const NationalHoliday& h : named) {
    const sys_days between = sys_days{h.date} + days{1};
    if (!isHoliday(named, between) && isHoliday(named, between + days{1}) && !isHoliday(result, between))
      result.push_back({year_month_day{between}, "国民の休日"});
  }

  std::sort(result.begin(), result.end(),
            [](const NationalHoliday& a, const NationalHoliday& b) { return a.date < b.date; });
  return result;
}

}  // namespace sayolt::editor
