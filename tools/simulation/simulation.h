#pragma once
// Days of the real scheduler on virtual time: power-on, time check, start-up programs, the tick,
// the countdown, the clock shift, the shutdown, and the next power-on when the PC's clock reaches
// midnight. Nothing touches the real machine; the settings file is a temporary copy.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/fake/fake_platform.h"

namespace sayolt {

class FakeNetwork;
class Scheduler;

struct SimulationEvent {
  LocalTime time;     // true local time
  LocalTime pcClock;  // what the PC's clock showed
  std::string event;  // power-on, clock-set, start-kind, launch, stop, message, countdown,
                      // record-next-start, clock-shift, shutdown, program-end
  std::vector<std::pair<std::string, std::string>> fields;  // in output order
  std::vector<std::string> numericFields;                   // fields written as JSON numbers

  std::string field(const std::string& name) const;
};

struct SimulationOptions {
  std::filesystem::path settingsFile;
  LocalTime from;  // true local time of the first power-on
  int days = 1;
  // The PC's clock at the first power-on; true time when not given.
  std::optional<LocalTime> pcClockAtStart;
  // Presses "中止" during the given second (1..10) of the countdowns, in order; one per countdown.
  std::vector<int> abortCountdownAtSecond;
  // Lets a test script the platform and the time servers before the first power-on.
  std::function<void(FakePlatform&, FakeNetwork&)> setUp;
  // Called at every power-on once the scheduler exists, before it starts, to script that day.
  std::function<void(FakePlatform&, FakeNetwork&, Scheduler&)> onPowerOn;
  // Called for every event as it happens.
  std::function<void(const SimulationEvent&)> onEvent;
  // When the program ended without a shutdown, the user powers the PC on again at this true time
  // of day on the next day; without it the run stops there.
  std::optional<TimeOfDay> manualPowerOnAt;
  // Called with the events of each power-on when its run is over; the events are then dropped,
  // so that a long run keeps no history.
  std::function<void(const std::vector<SimulationEvent>&)> onRunEnd;
  // false: events only reach onEvent and are never kept, for runs of months.
  bool keepEvents = true;
};

struct SimulationResult {
  std::vector<SimulationEvent> events;
  bool endedWithoutShutdown = false;   // a settings error or a time-check failure ended the run
  std::filesystem::path settingsCopy;  // the copy the scheduler wrote to (removed afterwards)
  std::string finalSettingsBytes;      // its bytes at the end
};

// Throws std::runtime_error when the settings file cannot be copied.
SimulationResult simulate(const SimulationOptions& options);

// One line of text per event.
std::string formatEventText(const SimulationEvent& event);

}  // namespace sayolt
