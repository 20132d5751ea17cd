#pragma once
// The scheduler's real windows over a scheduler on the fake platform's virtual clock.
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "scheduler/ui/main_window.h"
#include "scheduler/ui/operations_panel.h"
#include "scheduler/ui/schedule_window.h"
#include "scheduler/ui/scheduler_ui.h"
#include "tests/core/scheduler_test_support.h"
#include "tests/support/qt_test_app.h"

namespace sayolt::schedtest {

// Monday to Friday 8:00 to 17:30, nothing at the weekend.
inline Settings officeWeek() {
  Settings s = baseSettings();
  s.day({kMonday, kTuesday, kWednesday, kThursday, kFriday}, "8:00", "17:30");
  return s;
}

// A time check that waits ten seconds for its servers, handing events on meanwhile.
class SlowClockCheck : public ClockCheck {
 public:
  explicit SlowClockCheck(FakePlatform& fake) : fake_(fake) {}
  std::optional<int> checkClock(std::chrono::seconds) override {
    ++calls;
    fake_.platform().events.runUntil([] { return false; }, fake_.monotonicNow() + 10'000);
    return 0;
  }
  int calls = 0;

 private:
  FakePlatform& fake_;
};

class UiRig {
 public:
  enum class TimeCheck { Instant, TenSeconds };

  // startNow: run the scheduler's start-up at once (settings loaded, timer ticking).
  UiRig(LocalTime trueStart, const Settings& settings, bool startNow = true, TimeCheck check = TimeCheck::Instant)
      : rig(trueStart, settings) {
    test::qtTestApp();
    if (check == TimeCheck::TenSeconds) {
      slowCheck = std::make_unique<SlowClockCheck>(rig.fake);
      rig.scheduler =
          std::make_unique<Scheduler>(rig.fake.platform(), *slowCheck, rig.countdown, rig.settingsPath, &rig.observer);
    }
    ui = std::make_unique<ui::SchedulerUi>(*rig.scheduler, rig.fake.platform(), editorPath());
    if (startNow) {
      EXPECT_FALSE(rig.start().has_value());
    }
  }
  ~UiRig() {
    ui->panel().hide();
    ui->scheduleWindow().hide();
    ui->mainWindow().mnu()->hide();
  }

  std::string editorPath() const {
    const std::u8string text = (rig.folder.path() / std::filesystem::path(u8"Sayolt設定_123")).u8string();
    return std::string(text.begin(), text.end());
  }

  ui::OperationsPanel& openPanel() {
    ui->showPanel();
    return ui->panel();
  }
  ui::OperationsPanel& panel() { return ui->panel(); }
  Scheduler& scheduler() { return *rig.scheduler; }
  void click(int command) {
    QPushButton* button = panel().command(command);
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
  }
  void type(QLineEdit* field, const QString& text) {
    field->clear();
    // QTest types only ASCII keys; other text arrives as an input method would commit it.
    bool ascii = true;
    for (QChar c : text) ascii = ascii && c.unicode() < 0x80;
    if (ascii)
      QTest::keyClicks(field, text);
    else
      field->insert(text);
  }
  std::string label(int n) { return panel().label(n)->text().toStdString(); }
  int reloads() const { return static_cast<int>(rig.observer.of("reloaded").size()); }
  bool ended() const { return rig.fake.exitRequested(); }

  std::unique_ptr<SlowClockCheck> slowCheck;
  SchedulerRig rig;
  std::unique_ptr<ui::SchedulerUi> ui;
};

}  // namespace sayolt::schedtest
