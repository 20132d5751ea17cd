// The one reader of the holiday and absence lists: every entry, in file order, however long.
#include "shared/date_list.h"

#include <gtest/gtest.h>

#include "tests/shared/ini_test_support.h"

namespace sayolt {
namespace {

using namespace std::chrono;
using test::cat;
using test::kHoliday;

constexpr year_month_day kToday{year{2027}, month{3}, day{1}};

// 200 entries over 2026/11/1 .. , one a day: 120 before kToday, 80 from it on. Among them a gap
// in the numbering, an empty value, a text that is no date and an entry without "=".
std::string longList() {
  std::string body = cat({"[", kHoliday, "]\r\n"});
  sys_days day = sys_days{year{2026} / 11 / 1};
  for (int n = 1; n <= 200; ++n, day += days{1}) {
    const year_month_day d{day};
    const std::string text = std::to_string(static_cast<int>(d.year())) + "/" +
                             std::to_string(static_cast<unsigned>(d.month())) + "/" +
                             std::to_string(static_cast<unsigned>(d.day()));
    // Key 50 is missing: entry 50 has a key of its own.
    body += (n == 50 ? std::string("other") : "k" + std::to_string(n)) + "=" + text + "\r\n";
    if (n == 100) body += "k100b=\r\nk100c=soon\r\n2028/1/1\r\n";
  }
  return body;
}

TEST(DateList, EveryEntryInFileOrder_PastGapsAndTheSectionBufferSize) {
  const auto ini = IniSnapshot::fromBytes(longList());
  const auto list = readDateList(ini, "祝日");
  ASSERT_EQ(list.size(), 202u);  // 200 dates, "soon" and the entry without "="
  EXPECT_EQ(list.front().text, "2026/11/1");
  EXPECT_EQ(list.front().date, (year_month_day{year{2026}, month{11}, day{1}}));
  EXPECT_EQ(list[49].text, "2026/12/20");
  EXPECT_EQ(list[100].text, "soon");
  EXPECT_FALSE(list[100].date);
  EXPECT_EQ(list[101].text, "2028/1/1");
  EXPECT_EQ(list.back().text, "2027/5/19");
  EXPECT_EQ(list.back().date, (year_month_day{year{2027}, month{5}, day{19}}));
}

TEST(DateList, CurrentDates_TodayOnUnchangedInListOrder) {
  const auto dates = currentDates(IniSnapshot::fromBytes(longList()), "祝日", kToday);
  // 2027/3/1 .. 2027/5/19 (80 dates) and 2028/1/1 between them, where it was listed.
  ASSERT_EQ(dates.size(), 81u);
  EXPECT_EQ(dates.front(), "2028/1/1");
  EXPECT_EQ(dates[1], "2027/3/1");
  EXPECT_EQ(dates.back(), "2027/5/19");
  // Texts stay as stored.
  const auto padded = IniSnapshot::fromBytes(cat({"[", kHoliday, "]\r\nk1=2027/03/01\r\nk2=2027/2/28\r\n"}));
  EXPECT_EQ(currentDates(padded, "祝日", kToday), std::vector<std::string>{"2027/03/01"});
}

TEST(DateList, MissingSectionOrOtherSection_NoDates) {
  const auto ini = IniSnapshot::fromBytes(cat({"[", kHoliday, "]\r\nk1=2027/5/1\r\n"}));
  EXPECT_TRUE(readDateList(ini, "不在").empty());
  EXPECT_TRUE(readDateList(IniSnapshot::fromBytes(""), "祝日").empty());
}

}  // namespace
}  // namespace sayolt
