#pragma once
// What the scheduler shows besides message boxes, and what it reports to whoever watches it.
#include <functional>
#include <string>

#include "platform/time_types.h"

namespace sayolt {

// The countdown dialog "シャットダウン" with its label and the button "中止", kept on top.
class CountdownView {
 public:
  virtual ~CountdownView() = default;
  // Shows the dialog without blocking; onAbort runs when "中止" is pressed.
  virtual void show(std::function<void()> onAbort) = 0;
  virtual void setText(const std::string& text) = 0;
  virtual void close() = 0;
};

enum class LaunchList { Auto, Manual, Timed };
enum class LaunchHow { Executable, Workbook, Shell };

// Notified of what the scheduler does; the simulator prints it, the user interface may refresh.
class SchedulerObserver {
 public:
  virtual ~SchedulerObserver() = default;
  virtual void onStartKind(int /*startKind*/, int /*currentSlot*/) {}
  virtual void onLaunch(LaunchList, const std::string& /*name*/, const std::string& /*path*/, LaunchHow) {}
  virtual void onStop(const std::string& /*name*/) {}
  virtual void onCountdown(TimeOfDay /*endTime*/) {}
  virtual void onCountdownAborted() {}
  virtual void onRecordNextStart(const std::string& /*value*/) {}
  virtual void onClockShift(TimeOfDay /*to*/, bool /*accepted*/) {}
  virtual void onShutdownRequested(bool /*accepted*/) {}
  virtual void onScheduleReloaded() {}
};

}  // namespace sayolt
