#pragma once
#include "platform/power.h"

namespace sayolt {

class WindowsPower : public Power {
 public:
  // Power-off, not forced: programs may still ask to save their work.
  bool requestShutdown() override;
  // Not offered here: the firmware's own power-on time does the waking on Windows.
  bool armWakeAlarm(std::chrono::seconds fromNow) override;
};

}  // namespace sayolt
