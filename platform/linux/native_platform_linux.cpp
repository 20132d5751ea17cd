#include <unistd.h>

#include <QDir>
#include <QStandardPaths>
#include <string>

#include "platform/linux/clock_linux.h"
#include "platform/linux/power_linux.h"
#include "platform/linux/processes_linux.h"
#include "platform/native_platform.h"
#include "platform/qt/dialogs_qt.h"
#include "platform/qt/event_loop_qt.h"
#include "platform/qt/qt_network.h"
#include "platform/qt/single_instance_qt.h"
#include "platform/qt/tray_qt.h"

namespace sayolt {

std::unique_ptr<NativePlatform> NativePlatform::create() {
  // Qt makes sure this folder exists, belongs to the user and is closed to everyone else.
  QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (runtime.isEmpty()) runtime = QDir::tempPath();
  const std::string folder = QDir(runtime).absolutePath().toStdString();

  Services s;
  s.clock = std::make_unique<LinuxClock>();
  s.events = std::make_unique<QtEventLoop>(*s.clock);
  s.dialogs = std::make_unique<QtDialogs>();
  s.processes = std::make_unique<LinuxProcesses>();
  s.power = std::make_unique<LinuxPower>();
  s.tray = std::make_unique<QtTray>();
  s.network = createQtNetwork();
  // The user's number in the name too, in case the shared temporary folder had to serve.
  const std::string prefix = folder + "/" + std::to_string(::getuid()) + "-";
  s.singleInstance = std::make_unique<QtSingleInstance>(prefix, folder);
  return std::make_unique<NativePlatform>(std::move(s));
}

}  // namespace sayolt
