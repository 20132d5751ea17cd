#pragma once
#include "platform/time_types.h"

namespace sayolt {

// The system clock. Nothing else in the system reads or sets time.
class Clock {
 public:
  virtual ~Clock() = default;
  // The local wall clock now.
  virtual LocalTime now() const = 0;
  // A millisecond counter unaffected by setting the clock.
  virtual MonotonicMs monotonicMs() const = 0;
  // Sets the clock from a UTC moment (SetSystemTime). False when the system refused.
  virtual bool setUtc(UtcTime utc) = 0;
  // Sets the local time of day, keeping the date. False when the system refused.
  virtual bool setLocalTimeOfDay(TimeOfDay timeOfDay) = 0;
  // Copies the system clock into the hardware clock, in the timescale the hardware keeps.
  // False when that is not possible here.
  virtual bool syncHardwareClock() = 0;
};

}  // namespace sayolt
