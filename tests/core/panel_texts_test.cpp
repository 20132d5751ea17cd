// The operations panel's label texts and how it reads a typed time.
#include "scheduler/core/panel_texts.h"

#include <gtest/gtest.h>

namespace sayolt {
namespace {

TimeOfDay hm(int h, int m) { return TimeOfDay{h * 3600 + m * 60}; }

TEST(PanelTexts, EndAndNextStart_At22_CarryTheirTwoKindsOfTomorrow) {
  EXPECT_EQ(endTimeLabelText(hm(17, 30), hm(22, 0)), "明日  17:30");
  EXPECT_EQ(nextStartLabelText(hm(8, 0), hm(22, 0)),
            "明日\xE3\x80\x80"
            "8:00");
  // Not yet passed, or exactly now: today's.
  EXPECT_EQ(endTimeLabelText(hm(17, 30), hm(10, 0)), "17:30");
  EXPECT_EQ(endTimeLabelText(hm(17, 30), hm(17, 30)), "17:30");
  EXPECT_EQ(nextStartLabelText(hm(8, 0), hm(2, 0)), "8:00");
}

TEST(PanelTexts, Category_InTheSmallHours_ShowsBothDays) {
  ScheduleModel model;
  model.dayStartTime = hm(4, 0);
  model.dayCategories = {kThursday, kFriday, kSaturday};
  EXPECT_EQ(categoryLabelText(model, hm(2, 0)), "金曜日 (翌日　土曜日)");
  EXPECT_EQ(categoryLabelText(model, hm(4, 0)), "金曜日 (翌日　土曜日)");
  EXPECT_EQ(categoryLabelText(model, hm(4, 1)), "金曜日");
  model.dayCategories = {kMonday, kAbsence, kHoliday};
  EXPECT_EQ(categoryLabelText(model, hm(22, 0)), "不在");
}

TEST(PanelTexts, NextDaySuffixes_AllNine) {
  const char* expected[] = {" (翌日　月曜日)", " (翌日　火曜日)", " (翌日　水曜日)",
                            " (翌日　木曜日)", " (翌日　金曜日)", " (翌日　土曜日)",
                            " (翌日　日曜日)", " (翌日　祝日)",   " (翌日　不在)"};
  for (int c = 0; c < 9; ++c) EXPECT_EQ(nextDaySuffix(c), expected[c]) << c;
}

TEST(PanelTime, TimesOfDay_AsTypedOrByAnInputMethod) {
  EXPECT_EQ(parsePanelTime("18:45"), hm(18, 45));
  EXPECT_EQ(parsePanelTime("07:05"), hm(7, 5));
  EXPECT_EQ(parsePanelTime(" 7:05 "), hm(7, 5));
  EXPECT_EQ(parsePanelTime("0:00:30"), TimeOfDay{30});
  EXPECT_EQ(parsePanelTime("１８：４５"), hm(18, 45));
  EXPECT_EQ(parsePanelTime("\xE3\x80\x80"
                           "9:00"),
            hm(9, 0));
}

TEST(PanelTime, AnythingElse_Refused) {
  for (const char* text :
       {"", "abc", "18", "24:00", "18:60", "18:45:", "2024/5/1", "2024/5/1 10:00", "18時45分", "18：4５x", "-1:00"})
    EXPECT_FALSE(parsePanelTime(text).has_value()) << text;
}

TEST(PanelTime, RefusalMessage_NamesTheField) {
  const std::string message = panelTimeRefusedMessage(kEndFieldName);
  EXPECT_NE(message.find("「終了時刻の変更」"), std::string::npos);
  EXPECT_NE(panelTimeRefusedMessage(kNextStartFieldName).find("「次回起動時刻の変更」"), std::string::npos);
}

}  // namespace
}  // namespace sayolt
