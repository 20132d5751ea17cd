// A month of the real scheduler on the full example file with faults at seeded random points;
// the year itself is bench/fault_year.
#include "tools/simulation/fault_year.h"

#include <gtest/gtest.h>

#include "shared/settings_keys.h"
#include "shared/utf8_path.h"
#include "tests/support/test_files.h"

namespace sayolt {
namespace {

TEST(FaultMonth, EveryInvariantHoldsUnderSeededFaults) {
  std::map<std::string, int> faults;
  for (const std::uint64_t seed : {1u, 2u, 3u}) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    FaultYearOptions options;
    options.settingsFile = pathFromUtf8(SAYOLT_SOURCE_DIR) / "examples" / pathFromUtf8(keys::kSettingsFileName);
    options.from = test::localAt("2027-01-04 08:00:00");
    options.days = 30;
    options.seed = seed;
    options.faultChance = 0.12;
    const FaultYearSummary summary = runFaultYear(options);
    EXPECT_TRUE(summary.violations.empty()) << formatFaultYearSummary(summary);
    // A month of days ran through, most of them to a shutdown.
    EXPECT_GE(summary.runs, 25) << formatFaultYearSummary(summary);
    EXPECT_GT(summary.shutdowns, summary.runs / 2) << formatFaultYearSummary(summary);
    EXPECT_GT(summary.timedLaunches, 0);
    for (const auto& [kind, count] : summary.faults) faults[kind] += count;
  }
  // The seeds reach every kind of fault, so the invariants were held under each.
  for (const char* kind :
       {"time-servers-silent", "time-servers-slow", "time-server-lying", "document-never-ends", "shutdown-refused",
        "clock-change-refused", "killed-mid-write", "settings-error-saved", "absence-switch"})
    EXPECT_GT(faults[kind], 0) << kind;
}

}  // namespace
}  // namespace sayolt
