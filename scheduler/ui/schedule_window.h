#pragma once
#include <QWidget>

class QListWidget;
class QPushButton;
class QRadioButton;

namespace sayolt {
struct ScheduleModel;
}

namespace sayolt::ui {

// Form5 "本日の予定": what the scheduler does on the current or the next schedule day. It
// changes nothing.
class ScheduleWindow : public QWidget {
  Q_OBJECT
 public:
  explicit ScheduleWindow(const ScheduleModel& model, QWidget* parent = nullptr);

  // The load of the window: 本日, the list, placed right of the middle of the screen, where the
  // panel of the given width stands.
  void load(int panelWidth);
  // Selects 本日 and rebuilds the list (what a reload does to an open window).
  void showToday();
  void buildScheduleList();

  QListWidget* list1() const { return list1_; }
  QRadioButton* option1(int i) const { return i == 0 ? today_ : tomorrow_; }
  QPushButton* command1() const { return command1_; }

 private:
  const ScheduleModel& model_;
  QListWidget* list1_;
  QRadioButton* today_;
  QRadioButton* tomorrow_;
  QPushButton* command1_;
};

}  // namespace sayolt::ui
