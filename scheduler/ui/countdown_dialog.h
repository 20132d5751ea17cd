#pragma once
#include <QDialog>
#include <functional>

#include "scheduler/core/scheduler_view.h"

class QLabel;
class QPushButton;

namespace sayolt::ui {

// Form3 "シャットダウン": the countdown text and the button "中止", kept on top of every window.
class CountdownDialog : public QDialog, public CountdownView {
  Q_OBJECT
 public:
  explicit CountdownDialog(QWidget* parent = nullptr);

  void show(std::function<void()> onAbort) override;
  void setText(const std::string& text) override;
  void close() override;

  QLabel* label1() const { return label1_; }
  QPushButton* command1() const { return command1_; }

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void reject() override {}  // Esc does not stop the shutdown; only "中止" does

 private:
  QLabel* label1_;
  QPushButton* command1_;
  std::function<void()> onAbort_;
};

}  // namespace sayolt::ui
