#pragma once
#include "platform/clock.h"

namespace sayolt {

// The system clock of Windows. Setting it needs SE_SYSTEMTIME_NAME (an elevated token).
class WindowsClock : public Clock {
 public:
  LocalTime now() const override;
  MonotonicMs monotonicMs() const override;
  bool setUtc(UtcTime utc) override;
  bool setLocalTimeOfDay(TimeOfDay timeOfDay) override;
  // Windows writes the hardware clock itself when the system time is set.
  bool syncHardwareClock() override;
};

}  // namespace sayolt
