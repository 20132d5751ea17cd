#include "platform/qt/dialogs_qt.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <fstream>
#include <functional>

#include "tests/support/qt_test_app.h"

namespace sayolt {
namespace {

class QtDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override { test::qtTestApp(); }

  // Acts on the modal window once it is up, as a user would.
  static void whenModalShown(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal) {
        whenModalShown(act);
        return;
      }
      act(modal);
    });
  }

  QtDialogs dialogs;
};

TEST_F(QtDialogsTest, MessageOk_ShowsTitleAndText_ReturnsOnOk) {
  QString seenTitle;
  QString seenText;
  int buttons = 0;
  whenModalShown([&](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    seenTitle = box->windowTitle();
    seenText = box->text();
    buttons = static_cast<int>(box->buttons().size());
    box->button(QMessageBox::Ok)->click();
  });
  dialogs.messageOk("Sayolt設定", "サーバー1を記入してください");
  EXPECT_EQ(seenTitle, QStringLiteral("Sayolt設定"));
  EXPECT_EQ(seenText, QStringLiteral("サーバー1を記入してください"));
  EXPECT_EQ(buttons, 1);
}

TEST_F(QtDialogsTest, AskYesNo_ReportsTheButtonPressed_YesPreselected) {
  bool yesIsDefault = false;
  whenModalShown([&](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    yesIsDefault = box->defaultButton() == box->button(QMessageBox::Yes);
    box->button(QMessageBox::No)->click();
  });
  EXPECT_EQ(dialogs.askYesNo("Sayolt設定", "修復しますか"), MessageAnswer::No);
  EXPECT_TRUE(yesIsDefault);

  whenModalShown([](QWidget* w) { qobject_cast<QMessageBox*>(w)->button(QMessageBox::Yes)->click(); });
  EXPECT_EQ(dialogs.askYesNo("Sayolt設定", "修復しますか"), MessageAnswer::Yes);
}

TEST_F(QtDialogsTest, Notice_DoesNotBlock_AndIsFreedWhenClosed) {
  dialogs.notice("Sayolt", "お知らせ");
  QPointer<QMessageBox> box;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    auto* candidate = qobject_cast<QMessageBox*>(w);
    if (candidate && candidate->isVisible() && candidate->text() == QStringLiteral("お知らせ")) {
      box = candidate;
    }
  }
  ASSERT_FALSE(box.isNull());
  EXPECT_FALSE(box->isModal());
  box->button(QMessageBox::Ok)->click();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(box.isNull());
}

TEST_F(QtDialogsTest, OpenFileName_ReturnsChosenPath_EmptyWhenCancelled) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString file = dir.filePath(QStringLiteral("予定 1.exe"));
  std::ofstream(file.toStdString()) << "x";
  whenModalShown([&](QWidget* w) {
    auto* fd = qobject_cast<QFileDialog*>(w);
    ASSERT_NE(fd, nullptr);
    fd->selectFile(file);
    QMetaObject::invokeMethod(fd, "accept");
  });
  EXPECT_EQ(dialogs.openFileName("開く", dir.path().toStdString(), "実行ファイル|*.exe"),
            QDir::toNativeSeparators(file).toStdString());

  whenModalShown([](QWidget* w) { QMetaObject::invokeMethod(w, "reject"); });
  EXPECT_EQ(dialogs.openFileName("開く", dir.path().toStdString(), ""), "");
}

TEST(QtFileFilter, ConvertsPairs_AndJoinsSeveralPatterns) {
  EXPECT_EQ(qtFileFilter("実行ファイル|*.exe|すべて|*.*"), "実行ファイル (*.exe);;すべて (*.*)");
  EXPECT_EQ(qtFileFilter("プログラム|*.exe;*.bat; *.xls"), "プログラム (*.exe *.bat *.xls)");
  EXPECT_EQ(qtFileFilter("ブック (*.xls)|*.xls"), "ブック (*.xls) (*.xls)");
}

TEST(QtFileFilter, AllFiles_ForEmptyOrPatternlessFilter) {
  EXPECT_EQ(qtFileFilter(""), "(*)");
  EXPECT_EQ(qtFileFilter("説明だけ"), "(*)");
  EXPECT_EQ(qtFileFilter("説明|"), "説明 (*)");
  EXPECT_EQ(qtFileFilter("a|*.a|余り"), "a (*.a)");
}

}  // namespace
}  // namespace sayolt
