// The national holidays against the lists the Cabinet Office published for 2022 to 2027.
#include "editor/model/japanese_holidays.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shared/text_rules.h"

namespace sayolt::editor {
namespace {

std::vector<std::string> datesOf(int year) {
  std::vector<std::string> dates;
  for (const NationalHoliday& h : japaneseHolidays(year)) dates.push_back(formatDate(h.date));
  return dates;
}

std::string nameOn(int year, const std::string& date) {
  for (const NationalHoliday& h : japaneseHolidays(year))
    if (formatDate(h.date) == date) return h.name;
  return {};
}

TEST(JapaneseHolidays, MatchesThePublishedLists) {
  EXPECT_EQ(datesOf(2022),
            (std::vector<std::string>{"2022/1/1", "2022/1/10", "2022/2/11", "2022/2/23", "2022/3/21", "2022/4/29",
                                      "2022/5/3", "2022/5/4", "2022/5/5", "2022/7/18", "2022/8/11", "2022/9/19",
                                      "2022/9/23", "2022/10/10", "2022/11/3", "2022/11/23"}));
  EXPECT_EQ(datesOf(2023),
            (std::vector<std::string>{"2023/1/1", "2023/1/2", "2023/1/9", "2023/2/11", "2023/2/23", "2023/3/21",
                                      "2023/4/29", "2023/5/3", "2023/5/4", "2023/5/5", "2023/7/17", "2023/8/11",
                                      "2023/9/18", "2023/9/23", "2023/10/9", "2023/11/3", "2023/11/23"}));
  EXPECT_EQ(datesOf(2024),
            (std::vector<std::string>{"2024/1/1",  "2024/1/8",  "2024/2/11", "2024/2/12", "2024/2/23", "2024/3/20",
                                      "2024/4/29", "2024/5/3",  "2024/5/4",  "2024/5/5",  "2024/5/6",  "2024/7/15",
                                      "2024/8/11", "2024/8/12", "2024/9/16", "2024/9/22", "2024/9/23", "2024/10/14",
                                      "2024/11/3", "2024/11/4", "2024/11/23"}));
  EXPECT_EQ(datesOf(2025), (std::vector<std::string>{"2025/1/1", "2025/1/13", "2025/2/11", "2025/2/23", "2025/2/24",
                                                     "2025/3/20", "2025/4/29", "2025/5/3", "2025/5/4", "2025/5/5",
                                                     "2025/5/6", "2025/7/21", "2025/8/11", "2025/9/15", "2025/9/23",
                                                     "2025/10/13", "2025/11/3", "2025/11/23", "2025/11/24"}));
  EXPECT_EQ(datesOf(2026),
            (std::vector<std::string>{"2026/1/1", "2026/1/12", "2026/2/11", "2026/2/23", "2026/3/20", "2026/4/29",
                                      "2026/5/3", "2026/5/4", "2026/5/5", "2026/5/6", "2026/7/20", "2026/8/11",
                                      "2026/9/21", "2026/9/22", "2026/9/23", "2026/10/12", "2026/11/3", "2026/11/23"}));
  EXPECT_EQ(datesOf(2027),
            (std::vector<std::string>{"2027/1/1", "2027/1/11", "2027/2/11", "2027/2/23", "2027/3/21", "2027/3/22",
                                      "2027/4/29", "2027/5/3", "2027/5/4", "2027/5/5", "2027/7/19", "2027/8/11",
                                      "2027/9/20", "2027/9/23", "2027/10/11", "2027/11/3", "2027/11/23"}));
}

TEST(JapaneseHolidays, DerivedRestDaysAreNamed) {
  // 5/3 on a Sunday: the substitute skips 5/4 and 5/5, which are holidays themselves.
  EXPECT_EQ(nameOn(2026, "2026/5/6"), "振替休日");
  EXPECT_EQ(nameOn(2027, "2027/3/22"), "振替休日");
  // Between 敬老の日 on the 21st and 秋分の日 on the 23rd.
  EXPECT_EQ(nameOn(2026, "2026/9/22"), "国民の休日");
  EXPECT_EQ(nameOn(2026, "2026/9/23"), "秋分の日");
  // 2032: 敬老の日 on 9/20 and 秋分の日 on 9/22, so 9/21 rests too.
  EXPECT_EQ(nameOn(2032, "2032/9/21"), "国民の休日");
}

TEST(JapaneseHolidays, EquinoxDaysOfLaterYears) {
  // Published years, and the spring equinox that falls on the 19th late in the century.
  EXPECT_EQ(vernalEquinoxDay(2024), 20);
  EXPECT_EQ(vernalEquinoxDay(2023), 21);
  EXPECT_EQ(autumnalEquinoxDay(2024), 22);
  EXPECT_EQ(autumnalEquinoxDay(2025), 23);
  EXPECT_EQ(vernalEquinoxDay(2092), 19);
}

TEST(JapaneseHolidays, YearsOutsideTheFormulaGiveNothing) {
  EXPECT_TRUE(japaneseHolidays(1979).empty());
  EXPECT_TRUE(japaneseHolidays(2151).empty());
  EXPECT_EQ(vernalEquinoxDay(2151), 0);
  EXPECT_FALSE(japaneseHolidays(2150).empty());
}

}  // namespace
}  // namespace sayolt::editor
