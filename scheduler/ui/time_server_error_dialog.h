#pragma once
#include <QDialog>
#include <functional>

#include "scheduler/timecheck/time_server_error_view.h"

class QLabel;
class QPushButton;

namespace sayolt::ui {

// Form6 "NTP エラー": the message and the button "プログラムの終了". In the two cases that end
// the program the window is made so short that the button lies out of sight.
class TimeServerErrorDialog : public QDialog, public TimeServerErrorView {
  Q_OBJECT
 public:
  explicit TimeServerErrorDialog(QWidget* parent = nullptr);

  void show(const std::string& labelText, int outerHeightTwips, std::function<void()> onExitClicked) override;
  void close() override;

  QLabel* label1() const { return label1_; }
  QPushButton* command1() const { return command1_; }

 private:
  QLabel* label1_;
  QPushButton* command1_;
  std::function<void()> onExit_;
};

}  // namespace sayolt::ui
