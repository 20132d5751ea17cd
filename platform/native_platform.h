#pragma once
#include <memory>

#include "platform/platform.h"

namespace sayolt {

// The real services of the running programs, built for the OS the program runs on and owned
// together. A QApplication must exist before create() and outlive the object.
class NativePlatform {
 public:
  struct Services {
    std::unique_ptr<Clock> clock;
    std::unique_ptr<EventLoop> events;
    std::unique_ptr<Dialogs> dialogs;
    std::unique_ptr<Processes> processes;
    std::unique_ptr<Power> power;
    std::unique_ptr<Tray> tray;
    std::unique_ptr<Network> network;
    std::unique_ptr<SingleInstance> singleInstance;
  };

  // Defined once per OS (linux/ or windows/).
  static std::unique_ptr<NativePlatform> create();

  explicit NativePlatform(Services services)
      : services_(std::move(services)), platform_{*services_.clock,     *services_.events,        *services_.dialogs,
                                                  *services_.processes, *services_.power,         *services_.tray,
                                                  *services_.network,   *services_.singleInstance} {}
  NativePlatform(const NativePlatform&) = delete;
  NativePlatform& operator=(const NativePlatform&) = delete;

  Platform& platform() { return platform_; }
  SingleInstance& singleInstance() { return *services_.singleInstance; }
  // The code the program should end with once the event loop was asked to exit.
  int exitCode() const { return services_.events->exitCode(); }

 private:
  Services services_;
  Platform platform_;
};

}  // namespace sayolt
