// Today's schedule window: the two days, the fixed-pitch columns, and the refresh by a reload.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QFontInfo>
#include <QFontMetrics>
#include <QListWidget>
#include <QRadioButton>

#include "tests/ui/scheduler_ui_rig.h"

namespace sayolt::schedtest {
namespace {

Settings withPrograms() {
  Settings s = officeWeek();
  s.dayStartMinutes(240);
  s.timedProgram(3, "バックアップ", "backup.sh");
  s.timedRun(kMonday, 0, "2:00", "3");
  s.timedRun(kMonday, 1, "9:00", "25");  // no such program: shown without a name
  s.start(kTuesday, 1, "13:00");
  return s;
}

QStringList lines(const QListWidget* list) {
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
  return out;
}

TEST(ScheduleWindow, TodayAndTomorrow_InTheOrderOfTheScheduleDay) {
  UiRig ui(at("2027-01-04 10:00:00"), withPrograms());
  ui.ui->showSchedule();
  ui::ScheduleWindow& window = ui.ui->scheduleWindow();
  EXPECT_EQ(window.windowTitle(), QStringLiteral("本日の予定"));
  EXPECT_TRUE(window.option1(0)->isChecked());
  EXPECT_EQ(lines(window.list1()), (QStringList{"  8:00  起動", "  9:00   ", " 17:30  終了", "  2:00   バックアップ"}));

  QTest::mouseClick(window.option1(1), Qt::LeftButton, {}, QPoint(4, window.option1(1)->height() / 2));
  EXPECT_EQ(lines(window.list1()), (QStringList{"  8:00  起動", " 13:00  起動", " 17:30  終了"}));

  QTest::mouseClick(window.command1(), Qt::LeftButton);
  EXPECT_FALSE(window.isVisible());
  EXPECT_FALSE(ui.ended());
}

TEST(ScheduleWindow, DaySwitchedWithoutAClick_TheListFollows) {
  UiRig ui(at("2027-01-04 10:00:00"), withPrograms());
  ui.ui->showSchedule();
  ui::ScheduleWindow& window = ui.ui->scheduleWindow();
  const QStringList today = lines(window.list1());
  const QStringList tomorrow{"  8:00  起動", " 13:00  起動", " 17:30  終了"};

  // A program sets it, as an input method or a test would.
  window.option1(1)->setChecked(true);
  EXPECT_EQ(lines(window.list1()), tomorrow);
  window.option1(0)->setChecked(true);
  EXPECT_EQ(lines(window.list1()), today);

  // A screen reader's actions on the option buttons.
  for (const auto& [option, expected] : {std::pair{1, tomorrow}, std::pair{0, today}}) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(window.option1(option));
    ASSERT_NE(accessible, nullptr);
    ASSERT_NE(accessible->actionInterface(), nullptr);
    const QStringList actions = accessible->actionInterface()->actionNames();
    const QString action = actions.contains(QAccessibleActionInterface::toggleAction())
                               ? QAccessibleActionInterface::toggleAction()
                               : QAccessibleActionInterface::pressAction();
    accessible->actionInterface()->doAction(action);
    // Press animates a click, which lands a moment later.
    for (int i = 0; i < 50 && !window.option1(option)->isChecked(); ++i) QTest::qWait(20);
    EXPECT_TRUE(window.option1(option)->isChecked()) << actions.join(',').toStdString();
    EXPECT_EQ(lines(window.list1()), expected);
  }
}

TEST(ScheduleWindow, ColumnsLineUp_LinesFitTheList_ControlsNamed) {
  UiRig ui(at("2027-01-04 10:00:00"), withPrograms());
  ui.ui->showSchedule();
  ui::ScheduleWindow& window = ui.ui->scheduleWindow();
  const QFont font = window.list1()->font();
  const QFontMetrics metrics(font);
  // Columns line up when every character before a label is as wide as a space.
  const QFontMetricsF exact(font);
  for (QChar c : QStringLiteral("0123456789:"))
    EXPECT_DOUBLE_EQ(exact.horizontalAdvance(c), exact.horizontalAdvance(QLatin1Char(' ')))
        << QFontInfo(font).family().toStdString();
  for (const QString& line : lines(window.list1()))
    EXPECT_LE(metrics.horizontalAdvance(line), window.list1()->viewport()->width()) << line.toStdString();
  for (QWidget* child : window.findChildren<QWidget*>()) {
    if (child->objectName().startsWith(QLatin1String("qt_")) || child->parent() != &window) continue;
    EXPECT_FALSE(child->accessibleName().isEmpty()) << child->objectName().toStdString();
  }
}

TEST(ScheduleWindow, OpenAtMidnight_TheReloadShowsTheNewDay) {
  UiRig ui(at("2027-01-04 23:59:00"), withPrograms());
  ui.ui->showSchedule();
  ui::ScheduleWindow& window = ui.ui->scheduleWindow();
  window.option1(1)->setChecked(true);
  window.buildScheduleList();

  ui.rig.runUntil(at("2027-01-05 00:00:03"));
  // Monday's schedule day goes on until 4:00; the reload at 0:00:01 puts 本日 back.
  EXPECT_TRUE(window.option1(0)->isChecked());
  EXPECT_EQ(lines(window.list1()).size(), 4);
}

}  // namespace
}  // namespace sayolt::schedtest
