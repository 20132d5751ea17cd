// The panel's switch between a normal day and a day of absence: which way it goes, and the bytes
// it leaves in the settings file.
#include "scheduler/core/absence_switch.h"

#include <gtest/gtest.h>

#include "scheduler/core/schedule_model.h"
#include "tests/support/test_files.h"

namespace sayolt {
namespace {

using namespace std::chrono;
using test::readBytes;
using test::writeBytes;

// Code page 932 spellings of the section and key: [不在] and 登録日.
#define ABSENCE "[\x95s\x8d\xdd]\r\n"
#define KEY "\x93o\x98^\x93\xfa"

constexpr TimeOfDay kFour{4 * 3600};
constexpr TimeOfDay kTen{10 * 3600};

TEST(AbsenceAction, WaysTheSwitchGoes_ByCategoryPriorityAndTime) {
  EXPECT_EQ(absenceAction(kMonday, "1", kTen, kFour), AbsenceAction::Add);
  EXPECT_EQ(absenceAction(kFriday, "0", kTen, kFour), AbsenceAction::Add);
  EXPECT_EQ(absenceAction(kAbsence, "1", kTen, kFour), AbsenceAction::Remove);
  for (int weekendOrHoliday : {kSaturday, kSunday, kHoliday}) {
    EXPECT_EQ(absenceAction(weekendOrHoliday, "0", kTen, kFour), AbsenceAction::Add);
    EXPECT_EQ(absenceAction(weekendOrHoliday, "1", kTen, kFour), AbsenceAction::Refuse);
    EXPECT_EQ(absenceAction(weekendOrHoliday, "", kTen, kFour), AbsenceAction::Nothing);
  }
  // At or before the day start the switch does nothing at all, not even refuse.
  EXPECT_EQ(absenceAction(kMonday, "1", kFour, kFour), AbsenceAction::Nothing);
  EXPECT_EQ(absenceAction(kAbsence, "1", TimeOfDay{3 * 3600}, kFour), AbsenceAction::Nothing);
  EXPECT_EQ(absenceAction(kSaturday, "1", TimeOfDay{3 * 3600}, kFour), AbsenceAction::Nothing);
}

class AbsenceFile : public ::testing::Test {
 protected:
  AbsenceSwitchResult apply(AbsenceAction action, int y, unsigned m, unsigned d) {
    IniFile file(path);
    return applyAbsenceAction(file, action, year_month_day{year{y}, month{m}, day{d}});
  }
  test::TempFolder folder;
  std::filesystem::path path = folder / "Sayolt設定.ini";
};

TEST_F(AbsenceFile, RemovingToday_LaterEntriesMoveDown_NoGapLeft) {
  writeBytes(path, ABSENCE KEY "1=2024/5/1\r\n" KEY "2=2024/5/2\r\n" KEY "3=2024/5/9\r\n[x]\r\ny=1\r\n");
  EXPECT_EQ(apply(AbsenceAction::Remove, 2024, 5, 1), AbsenceSwitchResult::Removed);
  EXPECT_EQ(readBytes(path), ABSENCE KEY "1=2024/5/2\r\n" KEY "2=2024/5/9\r\n[x]\r\ny=1\r\n");
  // Every later date still counts for a reader that stops at the first empty entry.
  const auto ini = IniSnapshot::load(path);
  EXPECT_EQ(ini.get("不在", "登録日1"), "2024/5/2");
  EXPECT_EQ(ini.get("不在", "登録日2"), "2024/5/9");
}

TEST_F(AbsenceFile, RemovingTheLastOrOnlyEntry_DeletesItsKey_KeepsTheHeader) {
  writeBytes(path, ABSENCE KEY "1=2024/5/1\r\n" KEY "2=2024/05/02\r\n");
  EXPECT_EQ(apply(AbsenceAction::Remove, 2024, 5, 2), AbsenceSwitchResult::Removed);
  EXPECT_EQ(readBytes(path), ABSENCE KEY "1=2024/5/1\r\n");
  EXPECT_EQ(apply(AbsenceAction::Remove, 2024, 5, 1), AbsenceSwitchResult::Removed);
  EXPECT_EQ(readBytes(path), ABSENCE);
}

TEST_F(AbsenceFile, ListWithGaps_EveryEntryCounts_RemovalLeavesItConsecutive) {
  // 登録日3 lies beyond the gap; the day is 不在 all the same, so the switch must find it.
  writeBytes(path,
             ABSENCE KEY "1=2024/5/1\r\n" KEY "3=2024/5/3\r\n" KEY "7=2024/5/3\r\n" KEY "9=2024/5/9\r\n[x]\r\ny=1\r\n");
  EXPECT_EQ(apply(AbsenceAction::Add, 2024, 5, 3), AbsenceSwitchResult::AlreadyRegistered);
  EXPECT_EQ(apply(AbsenceAction::Remove, 2024, 5, 3), AbsenceSwitchResult::Removed);
  EXPECT_EQ(readBytes(path), ABSENCE KEY "1=2024/5/1\r\n" KEY "2=2024/5/9\r\n[x]\r\ny=1\r\n");

  const std::string bytes = ABSENCE KEY "2=2024/5/2\r\n";
  writeBytes(path, bytes);
  EXPECT_EQ(apply(AbsenceAction::Remove, 2024, 5, 4), AbsenceSwitchResult::NotRegistered);
  EXPECT_EQ(readBytes(path), bytes);
  EXPECT_EQ(apply(AbsenceAction::Remove, 2024, 5, 2), AbsenceSwitchResult::Removed);
  EXPECT_EQ(readBytes(path), "");
}

TEST_F(AbsenceFile, AddingToday_GoesIntoTheFirstEntryThatIsNotADate) {
  writeBytes(path, ABSENCE KEY "1=2024/5/1\r\n[x]\r\ny=1\r\n");
  EXPECT_EQ(apply(AbsenceAction::Add, 2024, 5, 7), AbsenceSwitchResult::Added);
  EXPECT_EQ(readBytes(path), ABSENCE KEY "1=2024/5/1\r\n" KEY "2=2024/5/7\r\n[x]\r\ny=1\r\n");
  // Already there: nothing is written.
  EXPECT_EQ(apply(AbsenceAction::Add, 2024, 5, 7), AbsenceSwitchResult::AlreadyRegistered);
  EXPECT_EQ(readBytes(path), ABSENCE KEY "1=2024/5/1\r\n" KEY "2=2024/5/7\r\n[x]\r\ny=1\r\n");

  writeBytes(path, ABSENCE KEY "1=2024/5/1\r\n" KEY "2=abc\r\n" KEY "3=2024/5/3\r\n");
  EXPECT_EQ(apply(AbsenceAction::Add, 2024, 5, 8), AbsenceSwitchResult::Added);
  EXPECT_EQ(readBytes(path), ABSENCE KEY "1=2024/5/1\r\n" KEY "2=2024/5/8\r\n" KEY "3=2024/5/3\r\n");
}

TEST_F(AbsenceFile, AddingToAMissingFile_CreatesTheSection) {
  EXPECT_EQ(apply(AbsenceAction::Add, 2027, 1, 4), AbsenceSwitchResult::Added);
  EXPECT_EQ(readBytes(path), ABSENCE KEY "1=2027/1/4\r\n");
}

TEST_F(AbsenceFile, RefuseAndNothing_NeverTouchTheFile) {
  const std::string bytes = ABSENCE KEY "1=2024/5/1\r\n";
  writeBytes(path, bytes);
  EXPECT_EQ(apply(AbsenceAction::Refuse, 2024, 5, 1), AbsenceSwitchResult::Refused);
  EXPECT_EQ(apply(AbsenceAction::Nothing, 2024, 5, 1), AbsenceSwitchResult::NotNow);
  EXPECT_EQ(readBytes(path), bytes);
}

}  // namespace
}  // namespace sayolt
