#pragma once
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/event_loop.h"
#include "platform/power.h"
#include "platform/processes.h"
#include "platform/single_instance.h"
#include "platform/tray.h"
#include "platform/udp.h"

namespace sayolt {

// The OS services a program uses, handed to the core as one object. The real implementations
// live under linux/, windows/ and qt/; fake/ runs on virtual time.
struct Platform {
  Clock& clock;
  EventLoop& events;
  Dialogs& dialogs;
  Processes& processes;
  Power& power;
  Tray& tray;
  Network& network;
  SingleInstance& instances;
};

}  // namespace sayolt
