#include "platform/qt/tray_qt.h"

#include <gtest/gtest.h>

#include <QString>

#include "tests/support/qt_test_app.h"

namespace sayolt {
namespace {

class QtTrayTest : public ::testing::Test {
 protected:
  void SetUp() override { test::qtTestApp(); }
};

TEST_F(QtTrayTest, Show_SetsIconAndTwoLineToolTip_WithoutSystemTray) {
  QtTray tray;
  EXPECT_FALSE(tray.visible());
  tray.show(TrayIconKind::Absence, "起動:8:00\n終了:17:30");
  EXPECT_TRUE(tray.visible());
  EXPECT_EQ(tray.toolTip(), "起動:8:00\n終了:17:30");
  EXPECT_EQ(tray.iconKind(), TrayIconKind::Absence);
  tray.show(TrayIconKind::Normal, "終了:17:30\n起動:8:00");
  EXPECT_EQ(tray.iconKind(), TrayIconKind::Normal);
  EXPECT_EQ(tray.toolTip(), "終了:17:30\n起動:8:00");
}

TEST_F(QtTrayTest, Remove_HidesIcon_AndShowBringsItBack) {
  QtTray tray;
  tray.show(TrayIconKind::Normal, "x");
  tray.remove();
  EXPECT_FALSE(tray.visible());
  tray.remove();
  EXPECT_FALSE(tray.visible());
  tray.show(TrayIconKind::Normal, "x");
  EXPECT_TRUE(tray.visible());
}

TEST_F(QtTrayTest, Show_CutsLongToolTip_AtTheLimit) {
  QtTray tray;
  const std::string exact(kTrayToolTipLimit, 'a');
  tray.show(TrayIconKind::Normal, exact);
  EXPECT_EQ(tray.toolTip(), exact);
  tray.show(TrayIconKind::Normal, exact + "bc");
  EXPECT_EQ(tray.toolTip(), exact);
  // Japanese text counts characters, not bytes.
  QString japanese(kTrayToolTipLimit + 10, QChar(0x8D77));
  tray.show(TrayIconKind::Normal, japanese.toStdString());
  EXPECT_EQ(QString::fromStdString(tray.toolTip()).size(), kTrayToolTipLimit);
}

TEST_F(QtTrayTest, Show_NeverSplitsSurrogatePair_AtTheLimit) {
  QtTray tray;
  // U+20BB7 takes two UTF-16 units and straddles the limit.
  const std::string text = std::string(kTrayToolTipLimit - 1, 'a') + "\xF0\xA0\xAE\xB7";
  tray.show(TrayIconKind::Normal, text);
  EXPECT_EQ(tray.toolTip(), std::string(kTrayToolTipLimit - 1, 'a'));
}

}  // namespace
}  // namespace sayolt
