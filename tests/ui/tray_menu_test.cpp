// The notification icon, its tooltip and its menu, and the start without a notification area.
#include <gtest/gtest.h>

#include <QAction>
#include <QListWidget>
#include <QMenu>

#include "scheduler/core/panel_texts.h"
#include "tests/ui/scheduler_ui_rig.h"

namespace sayolt::schedtest {
namespace {

TEST(TrayIcon, Tooltip_NamesWhicheverComesNext) {
  {
    UiRig ui(at("2027-01-04 18:00:00"), officeWeek());
    EXPECT_TRUE(ui.rig.fake.trayVisible);
    EXPECT_EQ(ui.rig.fake.trayTooltip, "終了:17:30\n起動:8:00");
    EXPECT_EQ(ui.rig.fake.trayIcon, TrayIconKind::Normal);
  }
  {
    UiRig ui(at("2027-01-04 07:00:00"), officeWeek());
    EXPECT_EQ(ui.rig.fake.trayTooltip, "起動:8:00\n終了:17:30");
  }
  {
    Settings s = officeWeek();
    s.absences({"2027/1/4"}).day({kAbsence}, "9:00", "12:00");
    UiRig ui(at("2027-01-04 10:00:00"), s);
    EXPECT_EQ(ui.rig.fake.trayIcon, TrayIconKind::Absence);
  }
}

TEST(TrayIcon, SwitchedOff_NoIconAndNoMenu) {
  Settings s = officeWeek();
  s.trayIcon("0");
  UiRig ui(at("2027-01-04 10:00:00"), s);
  EXPECT_FALSE(ui.rig.fake.trayVisible);
  EXPECT_FALSE(ui.rig.fake.rightClickTray());
  EXPECT_FALSE(ui.ui->mainWindow().mnu()->isVisible());
  // Nor does a desktop without a notification area bring up the panel.
  ui.rig.fake.trayHostAvailable = false;
  EXPECT_FALSE(ui.ui->showPanelWithoutTray());
  EXPECT_FALSE(ui.panel().isVisible());
}

TEST(TrayMenu, FiveItemsInOrder_RightClickOpensIt) {
  UiRig ui(at("2027-01-04 10:00:00"), officeWeek());
  QMenu* menu = ui.ui->mainWindow().mnu();
  QStringList captions;
  for (QAction* action : menu->actions()) captions << action->text();
  EXPECT_EQ(captions, (QStringList{"起動終了操作", "本日の予定", "設定", "手動シャットダウン", "プログラムの終了"}));
  EXPECT_FALSE(ui.ui->mainWindow().isVisible());
  EXPECT_EQ(ui.ui->mainWindow().windowTitle(), QStringLiteral("Sayolt起動終了"));

  ASSERT_TRUE(ui.rig.fake.rightClickTray());
  EXPECT_TRUE(menu->isVisible());
}

TEST(TrayMenu, Items_OpenThePanelAndTheSchedule_StartTheEditor) {
  UiRig ui(at("2027-01-04 10:00:00"), officeWeek());
  ui::MainWindow& form1 = ui.ui->mainWindow();

  form1.mnuTime()->trigger();
  EXPECT_TRUE(ui.panel().isVisible());
  EXPECT_EQ(ui.label(3), "17:30");

  form1.mnuSchedule()->trigger();
  ui::ScheduleWindow& schedule = ui.ui->scheduleWindow();
  ASSERT_TRUE(schedule.isVisible());
  EXPECT_EQ(schedule.list1()->count(), 2);

  form1.mnuSet()->trigger();  // no editor beside the scheduler: nothing, and nothing said
  EXPECT_TRUE(ui.rig.records("process-started").empty());
  ui.rig.fake.executableFiles.insert(ui.editorPath());
  form1.mnuSet()->trigger();
  EXPECT_EQ(ui.rig.records("process-started").size(), 1u);
  EXPECT_TRUE(ui.rig.messages().empty());
  EXPECT_FALSE(ui.ended());
}

TEST(TrayMenu, TodaysSchedule_BeforeTheSettingsAreLoaded_SaysSoAndOpensNothing) {
  UiRig ui(at("2027-01-04 10:00:00"), officeWeek(), /*startNow=*/false);
  ui.ui->mainWindow().mnuSchedule()->trigger();
  EXPECT_EQ(ui.rig.messages(), std::vector<std::string>{kNotLoadedMessage});
  EXPECT_FALSE(ui.ui->scheduleWindow().isVisible());
}

TEST(TrayMenu, ShutdownAndEnd) {
  {
    UiRig ui(at("2027-01-04 10:00:00"), officeWeek());
    ui.ui->mainWindow().mnuShutDown()->trigger();
    EXPECT_TRUE(ui.ended());
    EXPECT_TRUE(ui.rig.fake.shutdownRequested);
  }
  {
    UiRig ui(at("2027-01-04 10:00:00"), officeWeek());
    ui.ui->mainWindow().mnuEnd()->trigger();
    EXPECT_TRUE(ui.ended());
    EXPECT_FALSE(ui.rig.fake.trayVisible);
    EXPECT_FALSE(ui.rig.fake.shutdownRequested);
  }
}

TEST(TrayMenu, NoNotificationArea_ThePanelOpensOnceAtStartUp) {
  UiRig ui(at("2027-01-04 10:00:00"), officeWeek());
  ui.rig.fake.trayHostAvailable = false;
  EXPECT_TRUE(ui.ui->showPanelWithoutTray());
  EXPECT_TRUE(ui.panel().isVisible());
  EXPECT_EQ(ui.label(3), "17:30");
}

TEST(TrayMenu, SecondStart_ShowsThePanelOnlyWhereThereIsNoIconToClick) {
  struct Case {
    const char* name;
    const char* iconSetting;
    bool host;
    bool panelShown;
  };
  for (const Case& c : {Case{"icon in a notification area", "1", true, false},
                        Case{"no notification area", "1", false, true}, Case{"icon switched off", "0", true, true}}) {
    SCOPED_TRACE(c.name);
    Settings s = officeWeek();
    s.trayIcon(c.iconSetting);
    UiRig ui(at("2027-01-04 10:00:00"), s);
    ui.rig.fake.trayHostAvailable = c.host;
    ui.panel().hide();  // closed after start-up

    ui.rig.fake.instances.askToShow();
    EXPECT_EQ(ui.panel().isVisible(), c.panelShown);
    if (c.panelShown) {
      EXPECT_EQ(ui.label(3), "17:30");
    }
    EXPECT_FALSE(ui.ended());
  }
}

}  // namespace
}  // namespace sayolt::schedtest
