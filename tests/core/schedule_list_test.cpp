// The lines of today's schedule window: which events, in which order, written how.
#include "scheduler/core/schedule_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/core/core_test_support.h"

namespace sayolt {
namespace {

using test::timeOf;
using Lines = std::vector<std::string>;

class ScheduleList : public ::testing::Test {
 protected:
  ScheduleList() {
    model.dayStartTime = timeOf(4, 0);
    model.dayCategories = {kSunday, kFriday, kSaturday};
    for (int p = 0; p < keys::kTimedPrograms; ++p) model.timedPrograms[p].name = "プログラム" + std::to_string(p);
  }
  void run(int category, int row, std::string time, std::string number) {
    model.timedRuns[category][row] = {std::move(time), std::move(number)};
  }
  ScheduleModel model;
};

TEST_F(ScheduleList, DayAfterDayStartThenSmallHours_LineLayout) {
  model.startTime[kFriday][0] = "8:00";
  model.endTime[kFriday][0] = "17:30";
  run(kFriday, 0, "2:00", "3");
  EXPECT_EQ(buildScheduleList(model, 1), (Lines{"  8:00  起動", " 17:30  終了", "  2:00   プログラム3"}));
}

TEST_F(ScheduleList, SameTime_StartsThenEndsThenProgramsBySlotAndRow) {
  run(kFriday, 0, "9:00", "1");
  run(kFriday, 1, "9:00", "0");
  model.endTime[kFriday][3] = "9:00";
  model.startTime[kFriday][5] = "9:00";
  model.startTime[kFriday][2] = "09:00";
  EXPECT_EQ(buildScheduleList(model, 1),
            (Lines{" 09:00  起動", "  9:00  起動", "  9:00  終了", "  9:00   プログラム1", "  9:00   プログラム0"}));
}

TEST_F(ScheduleList, Order_ByTimeOfDayNotByText) {
  model.startTime[kFriday][0] = "10:00";
  model.startTime[kFriday][1] = "9:00";
  model.endTime[kFriday][0] = "23:00";
  model.endTime[kFriday][1] = "9:30:15";
  model.endTime[kFriday][2] = "9:30";
  run(kFriday, 29, "4:00:01", "19");
  EXPECT_EQ(buildScheduleList(model, 1), (Lines{" 4:00:01   プログラム19", "  9:00  起動", "  9:30  終了",
                                                " 9:30:15  終了", " 10:00  起動", " 23:00  終了"}));
}

TEST_F(ScheduleList, AtOrBeforeDayStart_SecondGroupSortedAmongItself) {
  model.startTime[kFriday][0] = "4:00";
  model.startTime[kFriday][1] = "0:00";
  model.endTime[kFriday][0] = "3:15";
  model.endTime[kFriday][1] = "1:00";
  run(kFriday, 0, "0:30", "2");
  EXPECT_EQ(buildScheduleList(model, 1),
            (Lines{"  0:00  起動", "  0:30   プログラム2", "  1:00  終了", "  3:15  終了", "  4:00  起動"}));
  model.endTime[kFriday][2] = "23:59";
  EXPECT_EQ(buildScheduleList(model, 1).front(), " 23:59  終了");
}

TEST_F(ScheduleList, NextDay_ListsNextCategory) {
  model.startTime[kFriday][0] = "8:00";
  model.startTime[kSaturday][0] = "10:00";
  run(kSaturday, 4, "11:00", "5");
  EXPECT_EQ(buildScheduleList(model, 2), (Lines{" 10:00  起動", " 11:00   プログラム5"}));
  model.dayCategories[2] = kHoliday;
  model.endTime[kHoliday][7] = "12:00";
  EXPECT_EQ(buildScheduleList(model, 2), (Lines{" 12:00  終了"}));
}

TEST_F(ScheduleList, NothingToShow_EmptyList) {
  model.startTime[kSaturday][0] = "8:00";
  EXPECT_TRUE(buildScheduleList(model, 1).empty());
}

TEST_F(ScheduleList, TimesThatAreNotTimes_Skipped_UnknownProgramNumbers_ShownWithoutName) {
  model.startTime[kFriday][0] = "朝";
  model.endTime[kFriday][0] = "25:00";
  run(kFriday, 0, "", "1");
  run(kFriday, 1, "10:00", "20");
  run(kFriday, 2, "10:00", "-1");
  run(kFriday, 3, "10:00", "");
  run(kFriday, 4, "10:00", "abc");
  run(kFriday, 5, "x", "4");
  run(kFriday, 6, "10:00", "4");
  EXPECT_EQ(buildScheduleList(model, 1),
            (Lines{" 10:00   ", " 10:00   ", " 10:00   ", " 10:00   ", " 10:00   プログラム4"}));
}

TEST_F(ScheduleList, ProgramWithoutName_LineEndsAfterSpaces) {
  model.timedPrograms[7].name = "";
  run(kFriday, 0, "12:00", "7");
  EXPECT_EQ(buildScheduleList(model, 1), (Lines{" 12:00   "}));
}

}  // namespace
}  // namespace sayolt
