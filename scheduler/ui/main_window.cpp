#include "scheduler/ui/main_window.h"

#include <QAction>
#include <QMenu>

#include "scheduler/core/scheduler.h"
#include "widgets/fonts.h"

namespace sayolt::ui {

namespace {

QAction* addItem(QMenu* menu, const char* name, const QString& caption) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(QString::fromUtf8(name));
  return action;
}

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent), mnu_(new QMenu(QStringLiteral("メニュー"), this)) {
  setObjectName("Form1");
  setWindowTitle(QString::fromUtf8(kMainWindowTitle));
  setAccessibleName(windowTitle());
  mnu_->setObjectName("mnu");
  mnu_->setAccessibleName(QStringLiteral("メニュー"));
  mnu_->setFont(widgets::windowFont());
  mnuTime_ = addItem(mnu_, "mnuTime", QStringLiteral("起動終了操作"));
  mnuSchedule_ = addItem(mnu_, "mnu予定", QStringLiteral("本日の予定"));
  mnuSet_ = addItem(mnu_, "mnuSet", QStringLiteral("設定"));
  mnuShutDown_ = addItem(mnu_, "mnuShutDown", QStringLiteral("手動シャットダウン"));
  mnuEnd_ = addItem(mnu_, "mnuEnd", QStringLiteral("プログラムの終了"));
}

void MainWindow::popupMenu(const QPoint& at) {
  // Not exec(): the day goes on while the menu is open.
  mnu_->popup(at);
  mnu_->activateWindow();
}

}  // namespace sayolt::ui
