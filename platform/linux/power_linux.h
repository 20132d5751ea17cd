#pragma once
#include <string>

#include "platform/power.h"

namespace sayolt {

// Power-off through systemd-logind (the user at the console needs no password, and a blocking
// inhibitor is respected) and the RTC wake alarm through sysfs (needs root).
class LinuxPower : public Power {
 public:
  explicit LinuxPower(std::string wakeAlarmPath = "/sys/class/rtc/rtc0/wakealarm");
  bool requestShutdown() override;
  bool armWakeAlarm(std::chrono::seconds fromNow) override;

 private:
  std::string wakeAlarmPath_;
};

}  // namespace sayolt
