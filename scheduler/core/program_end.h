#pragma once
#include <string>

#include "platform/event_loop.h"

namespace sayolt {

// Thrown to end the program (the settings error, a time-check failure, the shutdown). Deliberately
// not a std::exception, so that no generic handler swallows it; the entry points from the event
// loop (main, the timer, menu handlers) catch it.
struct ProgramEnded {
  int exitCode = 0;
  std::string reason;
};

// Asks the event loop to exit, so that every nested wait returns, and unwinds the caller's stack.
[[noreturn]] inline void endProgram(EventLoop& events, std::string reason, int exitCode = 0) {
  events.requestExit(exitCode);
  throw ProgramEnded{exitCode, std::move(reason)};
}

}  // namespace sayolt
