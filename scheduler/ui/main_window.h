#pragma once
#include <QWidget>

class QAction;
class QMenu;

namespace sayolt::ui {

// Form1 "Sayolt起動終了": never shown; it owns the pop-up menu of the notification icon.
class MainWindow : public QWidget {
  Q_OBJECT
 public:
  explicit MainWindow(QWidget* parent = nullptr);

  QMenu* mnu() const { return mnu_; }
  QAction* mnuTime() const { return mnuTime_; }
  QAction* mnuSchedule() const { return mnuSchedule_; }
  QAction* mnuSet() const { return mnuSet_; }
  QAction* mnuShutDown() const { return mnuShutDown_; }
  QAction* mnuEnd() const { return mnuEnd_; }

  // Opens the menu at the mouse position.
  void popupMenu(const QPoint& at);

 private:
  QMenu* mnu_;
  QAction* mnuTime_;
  QAction* mnuSchedule_;
  QAction* mnuSet_;
  QAction* mnuShutDown_;
  QAction* mnuEnd_;
};

}  // namespace sayolt::ui
