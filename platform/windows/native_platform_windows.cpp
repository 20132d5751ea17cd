#include <lmcons.h>
#include <windows.h>

#include "platform/native_platform.h"
#include "platform/qt/dialogs_qt.h"
#include "platform/qt/event_loop_qt.h"
#include "platform/qt/qt_network.h"
#include "platform/qt/tray_qt.h"
#include "platform/windows/clock_windows.h"
#include "platform/windows/power_windows.h"
#include "platform/windows/processes_windows.h"
#include "platform/windows/single_instance_windows.h"
#include "platform/windows/win_text.h"

namespace sayolt {

namespace {

std::string userName() {
  wchar_t name[UNLEN + 1] = {};
  DWORD size = UNLEN + 1;
  if (!GetUserNameW(name, &size)) return "user";
  return narrow(name);
}

std::string tempFolder() {
  wchar_t path[MAX_PATH + 1] = {};
  const DWORD n = GetTempPathW(MAX_PATH + 1, path);
  if (n == 0 || n > MAX_PATH) return ".";
  return narrow(path);
}

}  // namespace

std::unique_ptr<NativePlatform> NativePlatform::create() {
  Services s;
  s.clock = std::make_unique<WindowsClock>();
  s.events = std::make_unique<QtEventLoop>(*s.clock);
  s.dialogs = std::make_unique<QtDialogs>();
  s.processes = std::make_unique<WindowsProcesses>();
  s.power = std::make_unique<WindowsPower>();
  s.tray = std::make_unique<QtTray>();
  s.network = createQtNetwork();
  // Pipe names are shared by the whole machine: the user's name keeps each user's copy apart,
  // and the pipe itself is opened to that user alone.
  s.singleInstance = std::make_unique<WindowsSingleInstance>(userName() + "-", tempFolder());
  return std::make_unique<NativePlatform>(std::move(s));
}

}  // namespace sayolt
