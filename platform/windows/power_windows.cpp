#include "platform/windows/power_windows.h"

#include <windows.h>

#include "platform/windows/win_privilege.h"

namespace sayolt {

bool WindowsPower::requestShutdown() {
  if (!enablePrivilege(SE_SHUTDOWN_NAME)) return false;
  // A nonzero answer means the shutdown has begun; it can still be cancelled by the user.
  return ExitWindowsEx(EWX_POWEROFF, SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_FLAG_PLANNED) != 0;
}

bool WindowsPower::armWakeAlarm(std::chrono::seconds) { return false; }

}  // namespace sayolt
