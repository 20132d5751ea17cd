#pragma once
#include <memory>

#include "platform/clock.h"

namespace sayolt {

// The machine's own clock, for tools that only read it (linux/ or windows/); needs no Qt.
std::unique_ptr<Clock> createSystemClock();

}  // namespace sayolt
