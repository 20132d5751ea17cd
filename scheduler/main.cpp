// Sayolt_123: the resident scheduler, started with the OS.
#include <QApplication>

#include "platform/native_platform.h"
#include "platform/qt/file_append_qt.h"
#include "platform/qt/tray_qt.h"
#include "scheduler/core/event_log.h"
#include "scheduler/core/program_end.h"
#include "scheduler/core/scheduler.h"
#include "scheduler/timecheck/check_clock.h"
#include "scheduler/timecheck/error_log.h"
#include "scheduler/ui/countdown_dialog.h"
#include "scheduler/ui/main_window.h"
#include "scheduler/ui/scheduler_ui.h"
#include "scheduler/ui/time_server_error_dialog.h"
#include "shared/settings_keys.h"
#include "shared/utf8_path.h"
#include "widgets/fonts.h"
#include "widgets/translation.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  sayolt::widgets::installJapaneseQtTranslation();
  QApplication::setFont(sayolt::widgets::windowFont());
  QApplication::setWindowIcon(sayolt::trayIconImage(sayolt::TrayIconKind::Normal));

  auto native = sayolt::NativePlatform::create();
  sayolt::Platform& platform = native->platform();
  // A second copy ends at once, without a word; a running copy without an icon shows its panel.
  if (!platform.instances.claim(sayolt::kMainWindowTitle)) {
    platform.instances.requestShow(sayolt::kMainWindowTitle);
    return 0;
  }
  // The settings editor closes the scheduler before it restarts it.
  platform.instances.setOnCloseRequest([&platform] {
    platform.tray.remove();
    platform.events.requestExit(0);
  });

  const std::filesystem::path folder(QCoreApplication::applicationDirPath().toStdU16String());
  // A plain char string would be read in the ANSI code page on Windows, garbling the Japanese name.
  const auto settings = folder / sayolt::pathFromUtf8(sayolt::keys::kSettingsFileName);

  sayolt::ui::CountdownDialog countdown;
  sayolt::ui::TimeServerErrorDialog timeServerError;
  const auto logFiles = sayolt::createQtFileAppend();
  sayolt::SchedulerEventLog eventLog(*logFiles, platform.clock, folder);
  sayolt::TimeCheckOptions checkOptions;
  checkOptions.logPath = folder / sayolt::kErrorLogFileName;
  sayolt::TimeCheckObserver checkObserver;
  // The dialog tells the user of the failure; a line NTP_Error.txt could not take (a full disk)
  // is kept in the event log.
  checkObserver.onFailure = [&eventLog](const sayolt::TimeCheckFailureReport& report) {
    if (!report.logWritten) eventLog.write("error-log-failed", report.logLine);
  };
  sayolt::TimeCheck timeCheck(platform, settings, timeServerError, checkOptions, checkObserver);
  sayolt::Scheduler scheduler(platform, timeCheck, countdown, settings);
  scheduler.setEventLog(&eventLog);
  const std::filesystem::path ownFile(QCoreApplication::applicationFilePath().toStdU16String());
  sayolt::ui::SchedulerUi ui(scheduler, platform, sayolt::editorProgramPath(ownFile));
  // The hidden main window exists for real, so that the other program can find it by its title.
  ui.mainWindow().winId();

  try {
    scheduler.start();
    ui.showPanelWithoutTray();
    // Qt's own loop at the top, so that windows closed meanwhile are really deleted.
    if (!platform.events.exitRequested()) QApplication::exec();
  } catch (const sayolt::ProgramEnded& ended) {
    return ended.exitCode;
  }
  return scheduler.ended() ? scheduler.ended()->exitCode : native->exitCode();
}
