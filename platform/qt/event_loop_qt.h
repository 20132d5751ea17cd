#pragma once
#include <memory>

#include "platform/clock.h"
#include "platform/event_loop.h"

namespace sayolt {

// The event loop of a Qt program (a QApplication must exist). Waits sleep in the OS until an
// event or the deadline arrives. Deadlines are read from the given clock's monotonic counter.
class QtEventLoop : public EventLoop {
 public:
  explicit QtEventLoop(const Clock& clock);
  ~QtEventLoop() override;

  void runUntil(const std::function<bool()>& done, std::optional<MonotonicMs> wakeAt) override;
  void requestExit(int exitCode) override;
  bool exitRequested() const override;
  int exitCode() const override;
  std::unique_ptr<Timer> createTimer(std::function<void()> onTimeout) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace sayolt
