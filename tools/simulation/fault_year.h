#pragma once
// Days of the real scheduler on virtual time with faults at seeded random points: a settings write
// cut off by a crash, time servers silent, slow or lying, a document that never ends, a settings
// error saved in the evening and repaired the next day, a refused clock change or shutdown, and
// the panel's absence switch. After each run the invariants are checked; what breaks one is named.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/time_types.h"

namespace sayolt {

class FakePlatform;

struct FaultYearOptions {
  std::filesystem::path settingsFile;
  LocalTime from;  // true local time of the first power-on
  int days = 365;
  std::uint64_t seed = 1;
  // Each fault is injected on a run with this chance, independently of the others.
  double faultChance = 0.08;
  // Called after each run (one power-on), with its number from 0; a harness may measure there.
  std::function<void(int run, const FakePlatform& fake)> afterRun;
};

struct FaultYearSummary {
  int runs = 0;
  int shutdowns = 0;
  int timedLaunches = 0;
  int absenceSwitches = 0;
  std::map<std::string, int> faults;      // kind -> runs it was injected on
  std::map<std::string, int> endReasons;  // why a run ended without a shutdown -> how often
  std::vector<std::string> violations;    // "yyyy-mm-dd: what broke"
};

// Throws std::runtime_error when the settings file cannot be copied.
FaultYearSummary runFaultYear(const FaultYearOptions& options);

std::string formatFaultYearSummary(const FaultYearSummary& summary);

}  // namespace sayolt
