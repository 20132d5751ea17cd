// The operations panel, its real widgets pressed with QTest, over a scheduler on virtual time.
#include <gtest/gtest.h>

#include <QListWidget>
#include <QRadioButton>

#include "scheduler/core/panel_texts.h"
#include "tests/ui/scheduler_ui_rig.h"

namespace sayolt::schedtest {
namespace {

const std::string kIdeographicSpace = "\xE3\x80\x80";

TEST(OperationsPanel, Load_ShowsTheDayAndEveryCaptionAtItsPlace) {
  UiRig ui(at("2027-01-04 10:00:00"), officeWeek());
  const int before = ui.reloads();
  ui::OperationsPanel& panel = ui.openPanel();

  EXPECT_EQ(panel.windowTitle(), QStringLiteral("起動終了操作"));
  EXPECT_EQ(ui.reloads(), before + 1);
  EXPECT_EQ(ui.label(3), "17:30");
  EXPECT_EQ(ui.label(4), "明日" + kIdeographicSpace + "8:00");
  EXPECT_EQ(ui.label(7), "月曜日");
  EXPECT_EQ(panel.command(8)->text(), QStringLiteral("通常　⇔　不在"));
  EXPECT_EQ(panel.command(9)->text(), QStringLiteral("設　　定"));
  EXPECT_TRUE(panel.command(8)->isEnabled());
  // Twips to pixels: Command8 at 2160, 2160, 1935 x 375.
  EXPECT_EQ(panel.command(8)->geometry(), QRect(144, 144, 129, 25));
  EXPECT_EQ(panel.text1()->geometry(), QRect(144, 88, 57, 18));
  EXPECT_EQ(panel.size(), QSize(283, 273));

  // Every control can be found by what it is.
  for (QWidget* child : panel.findChildren<QWidget*>()) {
    if (child->objectName().startsWith(QLatin1String("qt_"))) continue;
    EXPECT_FALSE(child->accessibleName().isEmpty()) << child->objectName().toStdString();
  }
  EXPECT_EQ(panel.text1()->accessibleName(), QStringLiteral("終了時刻の変更"));
}

TEST(OperationsPanel, ValueLabels_AreHeardWithTheirValue_AfterEveryChange) {
  UiRig ui(at("2027-01-04 10:00:00"), officeWeek());
  ui::OperationsPanel& panel = ui.openPanel();
  const auto names = [&] {
    return QStringList{panel.label(3)->accessibleName(), panel.label(4)->accessibleName(),
                       panel.label(7)->accessibleName()};
  };
  EXPECT_EQ(names(), (QStringList{"終了時刻 17:30", "次回起動時刻 明日　8:00", "本日区分 月曜日"}));

  ui.click(11);
  EXPECT_EQ(names(), (QStringList{"終了時刻 停止中", "次回起動時刻 停止中", "本日区分 月曜日"}));

  ui.type(panel.text1(), QStringLiteral("18:45"));
  ui.click(4);
  ui.type(panel.text2(), QStringLiteral("07:05"));
  ui.click(6);
  EXPECT_EQ(names(), (QStringList{"終了時刻 18:45", "次回起動時刻 07:05", "本日区分 月曜日"}));

  ui.click(8);  // today becomes a day of absence
  EXPECT_EQ(panel.label(7)->accessibleName(), QStringLiteral("本日区分 不在"));
  // The captions beside them keep their plain names.
  EXPECT_EQ(panel.label(1)->accessibleName(), QStringLiteral("終了時刻"));
}

TEST(OperationsPanel, FullWidthTimes_ShownHalfWidthInTheField_AndUsedAsSuch) {
  UiRig ui(at("2027-01-04 10:00:00"), officeWeek());
  ui::OperationsPanel& panel = ui.openPanel();

  // Committed by an input method, and set by a screen reader without typing.
  ui.type(panel.text1(), QStringLiteral("１８：４５"));
  panel.text2()->setText(QStringLiteral("０７：０５"));
  EXPECT_EQ(panel.text1()->text(), QStringLiteral("18:45"));
  EXPECT_EQ(panel.text2()->text(), QStringLiteral("07:05"));
  // The whole text fits the 57-pixel field.
  for (QLineEdit* field : {panel.text1(), panel.text2()})
    EXPECT_LE(field->fontMetrics().horizontalAdvance(field->text()), field->width() - 4);

  ui.click(4);
  ui.click(6);
  EXPECT_EQ(ui.label(3), "18:45");
  EXPECT_EQ(ui.label(4), "07:05");
  EXPECT_EQ(ui.scheduler().nextStartTime(), tod("7:05"));
  EXPECT_TRUE(ui.rig.messages().empty());
}

TEST(OperationsPanel, TypedNextStart_AfterAReload_GivesWayToTheComputedOne) {
  UiRig ui(at("2027-01-04 10:00:00"), officeWeek());
  ui::OperationsPanel& panel = ui.openPanel();
  ui.type(panel.text2(), QStringLiteral("08:00"));
  ui.click(6);
  EXPECT_EQ(ui.label(4), "08:00");

  ui.click(5);
  EXPECT_EQ(ui.label(4), "明日" + kIdeographicSpace + "8:00");
}

TEST(OperationsPanel, ReloadTexts_At22_AndInTheSmallHours) {
  {
    UiRig ui(at("2027-01-04 22:00:00"), officeWeek());
    ui.openPanel();
    EXPECT_EQ(ui.label(3), "明日  17:30");
    EXPECT_EQ(ui.label(4), "明日" + kIdeographicSpace + "8:00");
    EXPECT_EQ(ui.label(7), "月曜日");
  }
  {
    // Friday's schedule day runs to 4:00 on Saturday.
    Settings s = officeWeek();
    s.dayStartMinutes(240);
    UiRig ui(at("2027-01-09 02:00:00"), s);
    ui::OperationsPanel& panel = ui.openPanel();
    EXPECT_EQ(ui.label(7), "金曜日 (翌日　土曜日)");
    EXPECT_FALSE(panel.command(8)->isEnabled());
    // The long category stays inside the window.
    EXPECT_LE(panel.label(7)->geometry().right(), panel.width());
  }
}

TEST(OperationsPanel, ChangeEnd_ShowsItAndMovesTheTooltip_BadTextChangesNothing) {
  UiRig ui(at("2027-01-04 10:00:00"), officeWeek());
  ui::OperationsPanel& panel = ui.openPanel();

  ui.click(4);  // empty: nothing
  EXPECT_EQ(ui.scheduler().endTimeToday(), tod("17:30"));

  ui.type(panel.text1(), QStringLiteral("25:00"));
  ui.click(4);
  ASSERT_EQ(ui.rig.messages().size(), 1u);
  EXPECT_NE(ui.rig.messages()[0].find("終了時刻の変更"), std::string::npos);
  EXPECT_EQ(ui.scheduler().endTimeToday(), tod("17:30"));
  EXPECT_EQ(ui.label(3), "17:30");

  ui.type(panel.text1(), QStringLiteral("18:45"));
  ui.click(4);
  EXPECT_EQ(ui.scheduler().endTimeToday(), tod("18:45"));
  EXPECT_EQ(ui.label(3), "18:45");
  EXPECT_EQ(ui.rig.fake.trayTooltip, "終了:18:45\n起動:8:00");

  // The day now ends at 18:45: the countdown comes then, not at 17:30.
  ui.rig.runUntil(at("2027-01-04 18:00:00"));
  EXPECT_TRUE(ui.rig.countdown.shownAt.empty());
  ui.rig.runUntil(at("2027-01-04 18:46:00"));
  ASSERT_EQ(ui.rig.countdown.shownAt.size(), 1u);
  EXPECT_EQ(fmt(ui.rig.countdown.shownAt[0]), "2027-01-04 18:45:00");
}

TEST(OperationsPanel, ChangeNextStart_LabelAsTyped_TooltipAsTime) {
  UiRig ui(at("2027-01-04 10:00:00"), officeWeek());
  ui::OperationsPanel& panel = ui.openPanel();

  ui.type(panel.text2(), QStringLiteral("07:05"));
  ui.click(6);
  EXPECT_EQ(ui.label(4), "07:05");
  EXPECT_TRUE(ui.scheduler().nextStartOverridden());
  EXPECT_EQ(ui.scheduler().nextStartTime(), tod("7:05"));
  EXPECT_EQ(ui.rig.fake.trayTooltip, "終了:17:30\n起動:7:05");

  ui.type(panel.text2(), QStringLiteral("朝"));
  ui.click(6);
  ASSERT_EQ(ui.rig.messages().size(), 1u);
  EXPECT_NE(ui.rig.messages()[0].find("次回起動時刻の変更"), std::string::npos);
  EXPECT_EQ(ui.scheduler().nextStartTime(), tod("7:05"));
  EXPECT_EQ(ui.label(4), "07:05");

  // A next start equal to the end: the tooltip keeps what it showed.
  ui.type(panel.text2(), QStringLiteral("17:30"));
  ui.click(6);
  EXPECT_EQ(ui.rig.fake.trayTooltip, "終了:17:30\n起動:7:05");
}

TEST(OperationsPanel, StopTimer_ShowsStopped_UntilChangeOfTheEnd) {
  UiRig ui(at("2027-01-04 10:00:00"), officeWeek());
  ui::OperationsPanel& panel = ui.openPanel();

  ui.click(11);
  EXPECT_EQ(ui.label(3), kStoppedText);
  EXPECT_EQ(ui.label(4), kStoppedText);
  EXPECT_EQ(ui.scheduler().timerIntervalMs(), 0);
  EXPECT_TRUE(ui.scheduler().shutdownSuspended());

  // Opened again while stopped: no reload, still stopped.
  ui.click(1);
  EXPECT_FALSE(panel.isVisible());
  const int reloads = ui.reloads();
  ui.openPanel();
  EXPECT_EQ(ui.reloads(), reloads);
  EXPECT_EQ(ui.label(3), kStoppedText);
  EXPECT_EQ(ui.label(7), "月曜日");

  // No countdown while stopped.
  ui.rig.runUntil(at("2027-01-04 17:40:00"));
  EXPECT_TRUE(ui.rig.countdown.shownAt.empty());

  ui.type(panel.text1(), QStringLiteral("18:45"));
  ui.click(4);
  EXPECT_EQ(ui.label(3), "18:45");
  EXPECT_EQ(ui.label(4), "明日" + kIdeographicSpace + "8:00");
  EXPECT_FALSE(ui.scheduler().shutdownSuspended());
  EXPECT_EQ(ui.scheduler().timerIntervalMs(), 1000);
}

TEST(OperationsPanel, Reload_RunsTheTimeCheckThenTheReload) {
  UiRig ui(at("2027-01-04 10:00:00"), officeWeek());
  ui.openPanel();
  ui.click(11);
  const int checks = ui.rig.clockCheck.calls;
  const int reloads = ui.reloads();

  ui.click(5);
  EXPECT_EQ(ui.rig.clockCheck.calls, checks + 1);
  EXPECT_EQ(ui.reloads(), reloads + 1);
  // The reload ends the stop and writes the labels again.
  EXPECT_EQ(ui.label(3), "17:30");
  EXPECT_EQ(ui.scheduler().timerIntervalMs(), 1000);
}

TEST(OperationsPanel, Reload_OtherButtonsWorkDuringTheTimeCheck_ReloadItselfWaits) {
  UiRig ui(at("2027-01-04 10:00:00"), officeWeek(), true, UiRig::TimeCheck::TenSeconds);
  ui.openPanel();
  const int checks = ui.slowCheck->calls;
  bool stoppedMeanwhile = false;
  QString captionMeanwhile, nameMeanwhile;
  ui.rig.fake.scheduleAfter(3s, [&] {
    captionMeanwhile = ui.panel().command(5)->text();
    nameMeanwhile = ui.panel().command(5)->accessibleName();
    ui.click(5);  // a second 再読込 inside the first is not started
    ui.click(11);
    stoppedMeanwhile = ui.scheduler().shutdownSuspended();
  });

  ui.click(5);
  EXPECT_TRUE(stoppedMeanwhile);
  // While the servers are asked the panel says so, to the eye and to a screen reader.
  EXPECT_EQ(captionMeanwhile, QString::fromUtf8(kReloadBusyCaption));
  EXPECT_EQ(nameMeanwhile, QString::fromUtf8(kReloadBusyName));
  EXPECT_EQ(ui.panel().command(5)->text(), QStringLiteral("再読込"));
  EXPECT_EQ(ui.panel().command(5)->accessibleName(), QStringLiteral("再読込"));
  EXPECT_EQ(ui.slowCheck->calls, checks + 1);
  // The reload after the check ends the stop again.
  EXPECT_FALSE(ui.scheduler().shutdownSuspended());
  EXPECT_EQ(ui.label(3), "17:30");
  EXPECT_TRUE(ui.panel().command(5)->isEnabled());
}

TEST(OperationsPanel, ShutdownAndEnd_EndTheProgram_CloseDoesNot) {
  {
    UiRig ui(at("2027-01-04 10:00:00"), officeWeek());
    ui.openPanel();
    ui.click(1);
    EXPECT_FALSE(ui.panel().isVisible());
    EXPECT_FALSE(ui.ended());
    EXPECT_TRUE(ui.rig.fake.trayVisible);
  }
  {
    UiRig ui(at("2027-01-04 10:00:00"), officeWeek());
    ui.openPanel();
    ui.click(3);
    EXPECT_TRUE(ui.ended());
    EXPECT_FALSE(ui.rig.fake.trayVisible);
    EXPECT_FALSE(ui.rig.fake.shutdownRequested);
  }
  {
    UiRig ui(at("2027-01-04 10:00:00"), officeWeek());
    ui.openPanel();
    ui.click(2);
    EXPECT_TRUE(ui.ended());
    EXPECT_TRUE(ui.rig.fake.shutdownRequested);
    EXPECT_EQ(ui.rig.setting("次回起動", "時刻"), "8:00");
  }
}

TEST(OperationsPanel, Settings_StartsTheEditorOnlyWhenItsFileIsThere) {
  UiRig ui(at("2027-01-04 10:00:00"), officeWeek());
  ui.openPanel();
  ui.click(9);
  EXPECT_TRUE(ui.rig.records("process-started").empty());
  ui.rig.fake.executableFiles.insert(ui.editorPath());
  ui.click(9);
  EXPECT_EQ(ui.rig.fields("process-started", "path"), std::vector<std::string>{ui.editorPath()});
  EXPECT_TRUE(ui.rig.messages().empty());
}

TEST(OperationsPanel, TodaysSchedule_OpensBesideThePanel_OnToday) {
  UiRig ui(at("2027-01-04 10:00:00"), officeWeek());
  ui::OperationsPanel& panel = ui.openPanel();
  ui::ScheduleWindow& schedule = ui.ui->scheduleWindow();
  schedule.option1(1)->setChecked(true);

  ui.click(10);
  ASSERT_TRUE(schedule.isVisible());
  EXPECT_TRUE(schedule.option1(0)->isChecked());
  EXPECT_EQ(schedule.frameGeometry().left(), panel.frameGeometry().left() + panel.frameGeometry().width());
  EXPECT_EQ(schedule.frameGeometry().top(), panel.frameGeometry().top());
  EXPECT_EQ(schedule.list1()->count(), 2);
}

// The switch between a normal day and a day of absence.
class AbsenceSwitch : public ::testing::Test {
 protected:
  std::string absences(const SchedulerRig& rig) const {
    std::string all;
    for (int n = 1; n <= 4; ++n) all += rig.setting("不在", keys::dateListKey(n)) + ";";
    return all;
  }
};

TEST_F(AbsenceSwitch, Weekday_AddsToday_ThenRemovesIt) {
  Settings s = officeWeek();
  s.absences({"2027/1/1"}).day({kAbsence}, "9:00", "12:00");
  UiRig ui(at("2027-01-04 10:00:00"), s);
  ui.openPanel();

  ui.click(8);
  EXPECT_EQ(absences(ui.rig), "2027/1/1;2027/1/4;;;");
  EXPECT_EQ(ui.label(7), "不在");
  EXPECT_EQ(ui.rig.fake.trayIcon, TrayIconKind::Absence);

  ui.click(8);
  EXPECT_EQ(absences(ui.rig), "2027/1/1;;;;");
  EXPECT_EQ(ui.label(7), "月曜日");
  EXPECT_EQ(ui.rig.fake.trayIcon, TrayIconKind::Normal);
}

TEST_F(AbsenceSwitch, RemovingToday_KeepsLaterAbsencesCounting) {
  Settings s = officeWeek();
  s.absences({"2027/1/4", "2027/1/5"});
  UiRig ui(at("2027-01-04 10:00:00"), s);
  ui.openPanel();
  EXPECT_EQ(ui.label(7), "不在");

  ui.click(8);
  EXPECT_EQ(absences(ui.rig), "2027/1/5;;;;");
  EXPECT_EQ(ui.label(7), "月曜日");
  EXPECT_EQ(ui.scheduler().model().dayCategories[2], kAbsence);
}

TEST_F(AbsenceSwitch, Weekend_RefusedUnderWeekendPriority_AddedUnderAbsencePriority) {
  {
    UiRig ui(at("2027-01-09 10:00:00"), officeWeek());  // Saturday, weekend first
    ui.openPanel();
    const int reloads = ui.reloads();
    ui.click(8);
    EXPECT_EQ(ui.rig.messages(), std::vector<std::string>{kAbsenceRefusedMessage});
    EXPECT_EQ(absences(ui.rig), ";;;;");
    EXPECT_EQ(ui.reloads(), reloads);
  }
  {
    Settings s = officeWeek();
    s.priority("0");
    UiRig ui(at("2027-01-09 10:00:00"), s);
    ui.openPanel();
    ui.click(8);
    EXPECT_TRUE(ui.rig.messages().empty());
    EXPECT_EQ(absences(ui.rig), "2027/1/9;;;;");
    EXPECT_EQ(ui.label(7), "不在");
  }
}

TEST_F(AbsenceSwitch, SmallHours_DisabledAndPressedAnyway_WritesNothingButRefreshes) {
  Settings s = officeWeek();
  s.dayStartMinutes(240);
  UiRig ui(at("2027-01-05 03:00:00"), s);
  ui::OperationsPanel& panel = ui.openPanel();
  EXPECT_FALSE(panel.command(8)->isEnabled());

  panel.command(8)->setEnabled(true);  // the panel was opened earlier, before the day start
  const int reloads = ui.reloads();
  ui.click(8);
  EXPECT_EQ(absences(ui.rig), ";;;;");
  EXPECT_EQ(ui.reloads(), reloads + 1);
  EXPECT_TRUE(ui.rig.messages().empty());
}

TEST_F(AbsenceSwitch, TodayAlreadyRegisteredMeanwhile_WritesNothing) {
  UiRig ui(at("2027-01-04 10:00:00"), officeWeek());
  ui.openPanel();
  // The editor saved today as an absence after the panel was loaded.
  Settings more;
  more.absences({"2027/1/4"});
  ui.rig.rewriteSettings(more);
  const std::string before = test::readBytes(ui.rig.settingsPath);

  ui.click(8);
  EXPECT_EQ(test::readBytes(ui.rig.settingsPath), before);
  EXPECT_EQ(ui.label(7), "不在");
}

}  // namespace
}  // namespace sayolt::schedtest
