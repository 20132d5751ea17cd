#pragma once
#include <chrono>
#include <optional>

namespace sayolt {

// The time check the scheduler runs at start-up and on 再読込: asks the time servers, sets the
// clock and tells whether this start was the scheduled one.
class ClockCheck {
 public:
  virtual ~ClockCheck() = default;
  // 1 = automatic start, 0 = manual start, nullopt = leave startKind as it is. Ends the program
  // (throws ProgramEnded) when the servers cannot be used.
  virtual std::optional<int> checkClock(std::chrono::seconds startTolerance) = 0;
};

}  // namespace sayolt
