#include "platform/linux/clock_linux.h"
#include "platform/system_clock.h"

namespace sayolt {

std::unique_ptr<Clock> createSystemClock() { return std::make_unique<LinuxClock>(); }

}  // namespace sayolt
