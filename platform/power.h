#pragma once
#include <chrono>

namespace sayolt {

class Power {
 public:
  virtual ~Power() = default;
  // Asks the OS to shut down and power off, not forced. False when the request was refused.
  virtual bool requestShutdown() = 0;
  // Arms the hardware wake alarm to power the PC on after the given time. False when this
  // system offers no such alarm or it could not be set.
  virtual bool armWakeAlarm(std::chrono::seconds fromNow) = 0;
};

}  // namespace sayolt
