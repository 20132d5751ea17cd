#pragma once
#include <QWidget>
#include <functional>

#include "scheduler/core/scheduler_operations.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace sayolt::ui {

// Form4 "起動終了操作": today's end, the next start and today's category, and the one-off
// operations of the day. Every button is one call of SchedulerOperations.
class OperationsPanel : public QWidget {
  Q_OBJECT
 public:
  // run: runs a handler the way the scheduler runs event handlers (the program may end in it).
  // showSchedule: opens today's schedule beside the panel.
  OperationsPanel(SchedulerOperations& operations, std::function<void(const std::function<void()>&)> run,
                  std::function<void()> showSchedule, QWidget* parent = nullptr);

  // The load of the window: fresh fields, the reload, the switch's enabled state, centred.
  void load();
  // Writes the three value labels.
  void showLabels(const PanelLabels& labels);

  QLabel* label(int n) const;  // Label1..Label8
  QLineEdit* text1() const { return text1_; }
  QLineEdit* text2() const { return text2_; }
  QPushButton* command(int n) const;  // Command1..Command11

 private:
  void setValue(int n, const std::string& text);
  void fitWidth();
  void onReload();

  SchedulerOperations& operations_;
  std::function<void(const std::function<void()>&)> run_;
  std::function<void()> showSchedule_;
  QLabel* labels_[9] = {};
  QString valueNames_[9];
  QPushButton* commands_[12] = {};
  QLineEdit* text1_;
  QLineEdit* text2_;
  bool reloading_ = false;
};

}  // namespace sayolt::ui
