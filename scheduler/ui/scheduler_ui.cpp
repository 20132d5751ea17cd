#include "scheduler/ui/scheduler_ui.h"

#include <QAction>
#include <QCursor>
#include <QMenu>

#include "scheduler/ui/main_window.h"
#include "scheduler/ui/operations_panel.h"
#include "scheduler/ui/schedule_window.h"

namespace sayolt::ui {

SchedulerUi::SchedulerUi(Scheduler& scheduler, Platform& platform, std::filesystem::path editorPath)
    : scheduler_(scheduler),
      platform_(platform),
      operations_(scheduler, platform, std::move(editorPath)),
      mainWindow_(std::make_unique<MainWindow>()),
      panel_(std::make_unique<OperationsPanel>(
          operations_, [this](const std::function<void()>& handler) { run(handler); },
          [this] { showScheduleBesidePanel(); })),
      schedule_(std::make_unique<ScheduleWindow>(scheduler.model())) {
  // The windows show the application's icon, which the program sets from the tray icon.
  MainWindow& form1 = *mainWindow_;
  connect(form1.mnuTime(), &QAction::triggered, this, [this] { showPanel(); });
  connect(form1.mnuSchedule(), &QAction::triggered, this, [this] { showSchedule(); });
  connect(form1.mnuSet(), &QAction::triggered, this, [this] { run([this] { operations_.startSettingsEditor(); }); });
  connect(form1.mnuShutDown(), &QAction::triggered, this, [this] { run([this] { operations_.manualShutdown(); }); });
  connect(form1.mnuEnd(), &QAction::triggered, this, [this] { run([this] { operations_.endProgram(); }); });

  // Left clicks and double clicks reach nothing; a right click opens the menu.
  platform_.tray.setOnContextMenu([this] { popupMenu(QCursor::pos()); });
  scheduler_.setOnScheduleReloaded([this] { onScheduleReloaded(); });
  // A second start without an icon to click: the panel is how the person gets in.
  platform_.instances.setOnShowRequest([this] {
    if (!operations_.iconReachable()) showPanel();
  });
}

SchedulerUi::~SchedulerUi() {
  platform_.instances.setOnShowRequest(nullptr);
  scheduler_.setOnScheduleReloaded(nullptr);
  platform_.tray.setOnContextMenu(nullptr);
}

void SchedulerUi::run(const std::function<void()>& handler) { scheduler_.guarded(handler); }

void SchedulerUi::showPanel() {
  if (!panel_->isVisible()) panel_->load();
  panel_->show();
  panel_->raise();
  panel_->activateWindow();
}

void SchedulerUi::showSchedule() {
  run([this] {
    if (!operations_.scheduleAvailable()) return;
    if (!schedule_->isVisible()) schedule_->load(panel_->frameGeometry().width());
    schedule_->show();
    schedule_->raise();
    schedule_->activateWindow();
  });
}

void SchedulerUi::showScheduleBesidePanel() {
  if (!schedule_->isVisible()) schedule_->load(panel_->frameGeometry().width());
  schedule_->showToday();
  const QRect panel = panel_->frameGeometry();
  schedule_->move(panel.x() + panel.width(), panel.y());
  schedule_->show();
  schedule_->raise();
}

void SchedulerUi::popupMenu(const QPoint& at) { mainWindow_->popupMenu(at); }

bool SchedulerUi::showPanelWithoutTray() {
  if (!operations_.panelAtStartUp()) return false;
  showPanel();
  return true;
}

// A reload writes the panel's labels and rebuilds an open schedule for today.
void SchedulerUi::onScheduleReloaded() {
  if (panel_->isVisible()) panel_->showLabels(operations_.labels());
  if (schedule_->isVisible()) schedule_->showToday();
}

}  // namespace sayolt::ui
