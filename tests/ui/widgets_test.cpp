// The window library both programs share: sizes, fonts and named controls.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "tests/support/qt_test_app.h"
#include "widgets/controls.h"
#include "widgets/fonts.h"
#include "widgets/translation.h"

namespace sayolt {
namespace {

TEST(Widgets, FontsAreSizedInPixelsOfTheTwipsScale) {
  test::qtTestApp();
  EXPECT_EQ(widgets::pixelsForPoints(9), 12);
  EXPECT_EQ(widgets::pixelsForPoints(9.75), 13);
  EXPECT_EQ(widgets::windowFont().pixelSize(), 12);
  const QFont fixed = widgets::fixedFont(9.75);
  EXPECT_EQ(fixed.pixelSize(), 13);
  EXPECT_TRUE(fixed.fixedPitch());
  // The chain ends in fonts every Debian desktop has, so text never falls back to boxes.
  EXPECT_TRUE(widgets::windowFont().families().contains(QStringLiteral("Noto Sans CJK JP")));
}

TEST(Widgets, ControlsCarryTheirNamePlaceAndSpokenName) {
  test::qtTestApp();
  QWidget window;
  QPushButton* change = widgets::makeButton(&window, QStringLiteral("Command4"), QStringLiteral("変更"),
                                            {3240, 1320, 855, 270}, QStringLiteral("終了時刻を変更"));
  QPushButton* close =
      widgets::makeButton(&window, QStringLiteral("Command1"), QStringLiteral("閉じる"), {2160, 3600, 1935, 375});
  QLabel* label =
      widgets::makeLabel(&window, QStringLiteral("Label1"), QStringLiteral("終了時刻"), {240, 240, 1860, 255});
  QLineEdit* field =
      widgets::makeField(&window, QStringLiteral("Text1"), {2160, 1320, 855, 270}, QStringLiteral("終了時刻の変更"));

  EXPECT_EQ(change->objectName(), QStringLiteral("Command4"));
  EXPECT_EQ(change->geometry(), QRect(216, 88, 57, 18));
  EXPECT_EQ(change->accessibleName(), QStringLiteral("終了時刻を変更"));
  EXPECT_EQ(close->accessibleName(), QStringLiteral("閉じる"));
  // Enter in a field never presses a button by itself.
  EXPECT_FALSE(change->autoDefault());
  EXPECT_FALSE(close->autoDefault());
  EXPECT_EQ(label->accessibleName(), QStringLiteral("終了時刻"));
  EXPECT_EQ(label->geometry(), QRect(16, 16, 124, 17));
  EXPECT_EQ(field->accessibleName(), QStringLiteral("終了時刻の変更"));
  EXPECT_EQ(field->parent(), &window);
}

TEST(Widgets, QtsTranslationIsInstalledOnce) {
  test::qtTestApp();
  widgets::installJapaneseQtTranslation();
  const QString once = QCoreApplication::translate("QPlatformTheme", "Cancel");
  widgets::installJapaneseQtTranslation();
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), once);
  if (once == QStringLiteral("Cancel")) GTEST_SKIP() << "Qt's Japanese translation is not installed";
  EXPECT_EQ(once, QStringLiteral("キャンセル"));
}

}  // namespace
}  // namespace sayolt
