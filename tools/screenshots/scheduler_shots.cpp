// Screenshots of the resident scheduler's windows on a day of virtual time: the operations panel,
// today's schedule, the icon's menu, the countdown and the time-server dialog.
//   sayolt-scheduler-shots <output folder>
// Run under a real X server with a Japanese font and a tray host (scripts/screenshots). Nothing
// here touches the clock or powers anything off: the scheduler runs on the fake platform.
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>
#include <cstdio>
#include <filesystem>

#include "platform/fake/fake_platform.h"
#include "platform/qt/tray_qt.h"
#include "scheduler/core/scheduler.h"
#include "scheduler/ui/countdown_dialog.h"
#include "scheduler/ui/main_window.h"
#include "scheduler/ui/operations_panel.h"
#include "scheduler/ui/schedule_window.h"
#include "scheduler/ui/scheduler_ui.h"
#include "scheduler/ui/time_server_error_dialog.h"
#include "shared/ini_file.h"
#include "shared/settings_keys.h"
#include "widgets/fonts.h"
#include "widgets/translation.h"

namespace {

using namespace sayolt;

// The servers are never asked: this start counts as manual.
class ManualStart : public ClockCheck {
 public:
  std::optional<int> checkClock(std::chrono::seconds) override {
    if (whileChecking) whileChecking();
    return 0;
  }
  std::function<void()> whileChecking;  // what happens while the servers would be asked
};

class NoCountdown : public CountdownView {
 public:
  void show(std::function<void()>) override {}
  void setText(const std::string&) override {}
  void close() override {}
};

// Lets the X server map and paint what was shown.
void settle(int ms = 300) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

bool save(const QPixmap& pixmap, const QDir& out, const QString& name) {
  const QString path = out.filePath(name);
  if (pixmap.isNull() || !pixmap.save(path)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s\n", qPrintable(path));
  return true;
}

bool shoot(QWidget& window, const QDir& out, const QString& name) {
  window.show();
  settle();
  return save(window.grab(), out, name);
}

// An office timetable: weekdays 8:30 to 17:30 with a late Friday, a morning report and a backup
// in the small hours of the same schedule day.
IniBatch officeTimetable() {
  IniBatch b;
  b.set(keys::kStartToleranceSection, keys::kStartToleranceKey, "1");
  b.set(keys::kPrioritySection, keys::kPriorityKey, "1");
  b.set(keys::kDayStartSection, keys::kDayStartKey, "240");
  for (int c = kMonday; c <= kFriday; ++c) {
    b.set(keys::kStartEndSection, keys::startTimeKey(c, 0), "8:30");
    b.set(keys::kStartEndSection, keys::endTimeKey(c, 0), c == kFriday ? "20:00" : "17:30");
    b.set(keys::kTimedRunSection, keys::timedRunStartKey(c, 0), "9:00");
    b.set(keys::kTimedRunSection, keys::timedRunNumberKey(c, 0), "0");
    b.set(keys::kTimedRunSection, keys::timedRunStartKey(c, 1), "12:00");
    b.set(keys::kTimedRunSection, keys::timedRunNumberKey(c, 1), "1");
    b.set(keys::kTimedRunSection, keys::timedRunStartKey(c, 2), "2:00");
    b.set(keys::kTimedRunSection, keys::timedRunNumberKey(c, 2), "2");
  }
  b.set(keys::kStartEndSection, keys::startTimeKey(kMonday, 1), "13:00");
  b.set(keys::kStartEndSection, keys::endTimeKey(kMonday, 1), "22:00");
  b.set(keys::kTimedProgramSection, keys::programNameKey(0), "朝の日報");
  b.set(keys::kTimedProgramSection, keys::programPathKey(0), "/opt/office/report");
  b.set(keys::kTimedProgramSection, keys::programNameKey(1), "昼休みの案内");
  b.set(keys::kTimedProgramSection, keys::programPathKey(1), "/opt/office/lunch");
  b.set(keys::kTimedProgramSection, keys::programNameKey(2), "バックアップ");
  b.set(keys::kTimedProgramSection, keys::programPathKey(2), "/opt/office/backup");
  return b;
}

struct Day {
  Day(const std::filesystem::path& folder, const char* moment)
      : fake(*parseLocalDateTime(moment)),
        settings(folder / keys::kSettingsFileName),
        scheduler(fake.platform(), check, countdown, settings),
        ui(scheduler, fake.platform(), folder / std::filesystem::path(u8"Sayolt設定_123")) {
    scheduler.start();
  }
  FakePlatform fake;
  std::filesystem::path settings;
  ManualStart check;
  NoCountdown countdown;
  Scheduler scheduler;
  ui::SchedulerUi ui;
};

bool shootDay(const QDir& out, const std::filesystem::path& folder) {
  bool ok = true;
  {
    Day day(folder, "2027-01-04 10:00:00");  // a Monday morning
    day.ui.showPanel();
    ok = shoot(day.ui.panel(), out, "scheduler_panel.png") && ok;
    day.ui.showScheduleBesidePanel();
    ok = shoot(day.ui.scheduleWindow(), out, "scheduler_schedule.png") && ok;

    // Panel and schedule side by side, as a person sees them.
    QPixmap both(day.ui.panel().width() + day.ui.scheduleWindow().width(),
                 std::max(day.ui.panel().height(), day.ui.scheduleWindow().height()));
    both.fill(Qt::white);
    QPainter painter(&both);
    painter.drawPixmap(0, 0, day.ui.panel().grab());
    painter.drawPixmap(day.ui.panel().width(), 0, day.ui.scheduleWindow().grab());
    painter.end();
    ok = save(both, out, "scheduler_panel_and_schedule.png") && ok;

    day.check.whileChecking = [&] { ok = shoot(day.ui.panel(), out, "scheduler_panel_reloading.png") && ok; };
    day.ui.panel().command(5)->click();  // 再読込
    day.check.whileChecking = nullptr;

    // Typed by a Japanese input method, in full-width digits.
    day.ui.panel().text1()->insert(QStringLiteral("１８：４５"));
    day.ui.panel().text2()->insert(QStringLiteral("０７：０５"));
    ok = shoot(day.ui.panel(), out, "scheduler_panel_typed.png") && ok;
    day.ui.panel().command(6)->click();

    day.ui.panel().command(11)->click();  // タイマーの停止
    ok = shoot(day.ui.panel(), out, "scheduler_panel_stopped.png") && ok;
    day.ui.panel().hide();
    day.ui.scheduleWindow().hide();

    QMenu* menu = day.ui.mainWindow().mnu();
    menu->popup(QPoint(40, 40));
    settle();
    ok = save(menu->grab(), out, "scheduler_menu.png") && ok;
    menu->hide();
  }
  {
    // Thursday's schedule day in the small hours of Friday: both days in 本日区分, Friday listed.
    Day day(folder, "2027-01-08 02:00:00");
    day.ui.showPanel();
    ok = shoot(day.ui.panel(), out, "scheduler_panel_small_hours.png") && ok;
    day.ui.showScheduleBesidePanel();
    day.ui.scheduleWindow().option1(1)->click();
    ok = shoot(day.ui.scheduleWindow(), out, "scheduler_schedule_next_day.png") && ok;
    day.ui.panel().hide();
    day.ui.scheduleWindow().hide();
  }
  return ok;
}

// The icon in the desktop's notification area with its menu open beside it.
bool shootTray(const QDir& out, const std::filesystem::path& folder) {
  if (!QSystemTrayIcon::isSystemTrayAvailable()) {
    std::fprintf(stderr, "no notification area: the tray picture is left out\n");
    return true;
  }
  Day day(folder, "2027-01-04 10:00:00");
  // A plain desktop behind the tray host, below every other window.
  QWidget desktop(nullptr, Qt::FramelessWindowHint);
  desktop.setGeometry(QGuiApplication::primaryScreen()->geometry());
  desktop.setStyleSheet(QStringLiteral("background: #3b6ea5;"));
  desktop.show();
  desktop.lower();
  QtTray tray;
  tray.show(TrayIconKind::Normal, "終了:17:30\n起動:8:30");
  settle(800);
  QScreen* screen = QGuiApplication::primaryScreen();
  QMenu* menu = day.ui.mainWindow().mnu();
  const QRect screenArea = screen->geometry();
  const QSize menuSize = menu->sizeHint();
  // The tray host stands at the top right; the menu opens below and left of it.
  menu->popup(QPoint(screenArea.right() - menuSize.width() - 8, 30));
  settle(500);
  const QRect area(screenArea.right() - 320, 0, 320, 40 + menuSize.height());
  const bool ok =
      save(screen->grabWindow(0, area.x(), area.y(), area.width(), area.height()), out, "scheduler_tray.png");
  menu->hide();
  tray.remove();
  return ok;
}

bool shootDialogs(const QDir& out) {
  bool ok = true;
  ui::CountdownDialog countdown;
  countdown.show([] {});
  countdown.setText("あと7秒でシャットダウンします。");
  ok = shoot(countdown, out, "scheduler_countdown.png") && ok;
  countdown.close();
  ui::TimeServerErrorDialog error;
  error.show(
      "NTP1           ntp.example.jp  タイムアウト\nNTP2           10:00:02\n"
      "NTP2の時刻で起動処理を続けます。",
      kTimeServerErrorHeightCarryOn, [] {});
  ok = shoot(error, out, "scheduler_ntp_error.png") && ok;
  error.close();
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: sayolt-scheduler-shots <output folder>\n");
    return 2;
  }
  QApplication::setQuitOnLastWindowClosed(false);
  widgets::installJapaneseQtTranslation();
  QApplication::setFont(widgets::windowFont());
  const QDir out(QString::fromLocal8Bit(argv[1]));
  QDir().mkpath(out.path());

  const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                       ("sayolt-scheduler-shots-" + std::to_string(QCoreApplication::applicationPid()));
  std::filesystem::create_directories(folder);
  IniFile(folder / keys::kSettingsFileName).apply(officeTimetable());

  bool ok = true;
  try {
    ok = shootDay(out, folder) && ok;
    ok = shootTray(out, folder) && ok;
    ok = shootDialogs(out) && ok;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    ok = false;
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return ok ? 0 : 1;
}
