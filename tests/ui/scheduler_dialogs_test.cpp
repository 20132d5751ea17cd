// The scheduler's two dialogs: what they show and that their one button reaches the scheduler.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include "scheduler/ui/countdown_dialog.h"
#include "scheduler/ui/time_server_error_dialog.h"
#include "tests/support/qt_test_app.h"

namespace sayolt::ui {
namespace {

TEST(CountdownDialog, ShowsOnTopWithTheStopButtonFocused_AndStopReachesTheScheduler) {
  test::qtTestApp();
  CountdownDialog dialog;
  int aborted = 0;
  dialog.show([&] { ++aborted; });
  dialog.setText("あと7秒でシャットダウンします。");

  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("シャットダウン"));
  EXPECT_TRUE(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(dialog.label1()->text(), QStringLiteral("あと7秒でシャットダウンします。"));
  EXPECT_EQ(dialog.command1()->text(), QStringLiteral("中止"));
  EXPECT_TRUE(dialog.command1()->isVisible());

  dialog.command1()->click();
  EXPECT_EQ(aborted, 1);
  dialog.close();
  EXPECT_FALSE(dialog.isVisible());
  dialog.command1()->click();  // a closed dialog no longer reaches the countdown
  EXPECT_EQ(aborted, 1);
}

TEST(TimeServerErrorDialog, HeightHidesTheButtonOnlyWhenTheProgramEnds) {
  test::qtTestApp();
  TimeServerErrorDialog dialog;
  bool exitClicked = false;

  dialog.show("NTP1           7:30:15\nNTP2           タイムアウト", kTimeServerErrorHeightCarryOn,
              [&] { exitClicked = true; });
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("NTP エラー"));
  EXPECT_EQ(dialog.command1()->text(), QStringLiteral("プログラムの終了"));
  EXPECT_GE(dialog.height(), dialog.command1()->geometry().bottom());
  dialog.command1()->click();
  EXPECT_TRUE(exitClicked);

  dialog.show("2つのNTPサーバーがいずれもタイムアウトになりました。", kTimeServerErrorHeightEnding, [] {});
  EXPECT_LT(dialog.height(), dialog.command1()->geometry().top());
}

}  // namespace
}  // namespace sayolt::ui
