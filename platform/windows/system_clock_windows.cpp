#include "platform/system_clock.h"
#include "platform/windows/clock_windows.h"

namespace sayolt {

std::unique_ptr<Clock> createSystemClock() { return std::make_unique<WindowsClock>(); }

}  // namespace sayolt
