#pragma once
#include <QObject>
#include <QPoint>
#include <filesystem>
#include <memory>

#include "platform/platform.h"
#include "scheduler/core/scheduler.h"
#include "scheduler/core/scheduler_operations.h"

namespace sayolt::ui {

class MainWindow;
class OperationsPanel;
class ScheduleWindow;

// The scheduler's windows as a person meets them: the hidden main window with the icon's menu,
// the operations panel and today's schedule, wired to one scheduler.
class SchedulerUi : public QObject {
  Q_OBJECT
 public:
  SchedulerUi(Scheduler& scheduler, Platform& platform, std::filesystem::path editorPath);
  ~SchedulerUi() override;

  // 起動終了操作: loads the panel, or brings it forward when it is already open.
  void showPanel();
  // 本日の予定 from the menu.
  void showSchedule();
  // 本日の予定 from the panel: beside it.
  void showScheduleBesidePanel();
  void popupMenu(const QPoint& at);

  // Where the desktop has no notification area but the icon is switched on, the panel is the
  // only way in: it opens once, at start-up. True when it did.
  bool showPanelWithoutTray();

  SchedulerOperations& operations() { return operations_; }
  MainWindow& mainWindow() { return *mainWindow_; }
  OperationsPanel& panel() { return *panel_; }
  ScheduleWindow& scheduleWindow() { return *schedule_; }

 private:
  void run(const std::function<void()>& handler);
  void onScheduleReloaded();

  Scheduler& scheduler_;
  Platform& platform_;
  SchedulerOperations operations_;
  std::unique_ptr<MainWindow> mainWindow_;
  std::unique_ptr<OperationsPanel> panel_;
  std::unique_ptr<ScheduleWindow> schedule_;
};

}  // namespace sayolt::ui
