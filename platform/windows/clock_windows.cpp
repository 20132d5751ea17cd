#include "platform/windows/clock_windows.h"

#include <windows.h>

#include "platform/windows/win_privilege.h"

namespace sayolt {

LocalTime WindowsClock::now() const {
  SYSTEMTIME st{};
  GetLocalTime(&st);
  using namespace std::chrono;
  const year_month_day date{year{st.wYear}, month{st.wMonth}, day{st.wDay}};
  return LocalTime{local_days{date}.time_since_epoch() + hours{st.wHour} + minutes{st.wMinute} + seconds{st.wSecond} +
                   milliseconds{st.wMilliseconds}};
}

MonotonicMs WindowsClock::monotonicMs() const { return static_cast<MonotonicMs>(GetTickCount64()); }

bool WindowsClock::setUtc(UtcTime utc) {
  using namespace std::chrono;
  const auto day = floor<days>(utc);
  const year_month_day date{day};
  const auto rest = utc - day;
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(static_cast<int>(date.year()));
  st.wMonth = static_cast<WORD>(static_cast<unsigned>(date.month()));
  st.wDay = static_cast<WORD>(static_cast<unsigned>(date.day()));
  st.wHour = static_cast<WORD>(duration_cast<hours>(rest).count());
  st.wMinute = static_cast<WORD>(duration_cast<minutes>(rest).count() % 60);
  st.wSecond = static_cast<WORD>(duration_cast<seconds>(rest).count() % 60);
  st.wMilliseconds = static_cast<WORD>(rest.count() % 1000);
  enablePrivilege(SE_SYSTEMTIME_NAME);
  return SetSystemTime(&st) != 0;
}

bool WindowsClock::setLocalTimeOfDay(TimeOfDay timeOfDay) {
  const auto secs = timeOfDay.count();
  if (secs < 0 || secs >= kSecondsPerDay.count()) return false;
  SYSTEMTIME st{};
  GetLocalTime(&st);
  st.wHour = static_cast<WORD>(secs / 3600);
  st.wMinute = static_cast<WORD>(secs / 60 % 60);
  st.wSecond = static_cast<WORD>(secs % 60);
  st.wMilliseconds = 0;
  enablePrivilege(SE_SYSTEMTIME_NAME);
  // The first call converts with the daylight-saving state before the change; the second one
  // converts with the state in force at the new time.
  if (!SetLocalTime(&st)) return false;
  return SetLocalTime(&st) != 0;
}

bool WindowsClock::syncHardwareClock() { return true; }

}  // namespace sayolt
