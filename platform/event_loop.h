#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <set>

#include "platform/time_types.h"

namespace sayolt {

// A repeating timer delivered by the event loop (the scheduler's Timer1).
class Timer {
 public:
  virtual ~Timer() = default;
  // 0 stops the timer; any other value (re)starts it with that period.
  virtual void setIntervalMs(int intervalMs) = 0;
  virtual int intervalMs() const = 0;
};

// The one user-interface thread's event loop. Every wait of the programs is a call of runUntil:
// pending events are handed to their handlers, and between events the thread sleeps without CPU.
class EventLoop {
 public:
  virtual ~EventLoop() = default;
  // Handles events until done() holds (checked before sleeping and after every event), the
  // monotonic moment wakeAt passes (when given), or an exit was requested.
  virtual void runUntil(const std::function<bool()>& done, std::optional<MonotonicMs> wakeAt) = 0;
  // Asks every runUntil, nested or not, to return; the program then ends with the given code.
  virtual void requestExit(int exitCode) = 0;
  virtual bool exitRequested() const = 0;
  // The code given to the first requestExit (0 before).
  virtual int exitCode() const = 0;
  virtual std::unique_ptr<Timer> createTimer(std::function<void()> onTimeout) = 0;

  // Code that may open a modal box runs through here. Timers go on firing under the box, as its
  // nested loop hands their events out, so the day goes on; but while the box is open the same
  // section is not entered again, so one cause gives one box. False when the section was
  // already running further up the stack and body was skipped.
  bool runExclusive(const void* section, const std::function<void()>& body) {
    if (!activeSections_.insert(section).second) return false;
    struct Leave {
      std::set<const void*>& sections;
      const void* section;
      ~Leave() { sections.erase(section); }
    } leave{activeSections_, section};
    body();
    return true;
  }

 private:
  std::set<const void*> activeSections_;
};

}  // namespace sayolt
