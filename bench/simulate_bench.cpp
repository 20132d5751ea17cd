// How long the simulator takes for a week of a full timetable: every category with eight
// sessions, twelve planned startup programs, twenty time-specified programs and thirty runs per
// category. A week should take well under a second.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "shared/ini_file.h"
#include "shared/settings_keys.h"
#include "shared/temp_folder.h"
#include "tools/simulation/simulation.h"

namespace sayolt {
namespace {

std::string hm(int minutes) {
  return std::to_string(minutes / 60) + ":" + (minutes % 60 < 10 ? "0" : "") + std::to_string(minutes % 60);
}

// Sessions every two hours from 6:00 to 21:00 on every category; runs every ten minutes of each
// session, starting and stopping the time-specified programs in pairs.
IniBatch fullTimetable() {
  IniBatch b;
  b.set(keys::kStartToleranceSection, keys::kStartToleranceKey, "60");
  b.set(keys::kPrioritySection, keys::kPriorityKey, "1");
  b.set(keys::kDayStartSection, keys::kDayStartKey, "180");
  b.set(keys::kTraySection, keys::kTrayKey, "1");
  b.set(keys::kNtpSection, keys::ntpServerKey(0), "ntp1.example.jp");
  b.set(keys::kNtpSection, keys::ntpServerKey(1), "ntp2.example.jp");
  b.set(keys::kNextStartSection, keys::kNextStartKey, "6:00");
  for (int c = 0; c < keys::kCategories; ++c) {
    for (int s = 0; s < keys::kSlots; ++s) {
      b.set(keys::kStartEndSection, keys::startTimeKey(c, s), hm(360 + s * 120));
      b.set(keys::kStartEndSection, keys::endTimeKey(c, s), hm(420 + s * 120));
      for (int i = 0; i < keys::kAutoPrograms; ++i) b.set(keys::kAutoPlanSection, keys::autoPlanKey(i, c, s), "1");
    }
    for (int r = 0; r < keys::kTimedRuns; ++r) {
      const int session = r / 4, step = r % 4;
      b.set(keys::kTimedRunSection, keys::timedRunStartKey(c, r), hm(360 + session * 120 + 10 + step * 10));
      b.set(keys::kTimedRunSection, keys::timedRunNumberKey(c, r), std::to_string((session * 2 + step) % 20));
    }
  }
  for (int i = 0; i < keys::kAutoPrograms; ++i) {
    b.set(keys::kAutoProgramSection, keys::programNameKey(i), "自動" + std::to_string(i));
    b.set(keys::kAutoProgramSection, keys::programPathKey(i),
          i % 3 == 2 ? "C:\\Data\\表" + std::to_string(i) + ".xls" : "C:\\Tools\\auto" + std::to_string(i) + ".exe");
    b.set(keys::kAutoProgramSection, keys::programDelayKey(i), "1");
  }
  for (int i = 0; i < keys::kManualPrograms; ++i) {
    b.set(keys::kManualProgramSection, keys::programNameKey(i), "手動" + std::to_string(i));
    b.set(keys::kManualProgramSection, keys::programPathKey(i), "C:\\Tools\\manual" + std::to_string(i) + ".exe");
    b.set(keys::kManualProgramSection, keys::programDelayKey(i), "1");
  }
  // Even numbers start a program, the odd number after each stops it.
  for (int n = 0; n < keys::kTimedPrograms; ++n) {
    const std::string name = "処理" + std::to_string(n / 2);
    b.set(keys::kTimedProgramSection, keys::programNameKey(n), name);
    b.set(keys::kTimedProgramSection, keys::programPathKey(n),
          n % 2 == 1 ? "sed" : "C:\\Tools\\job" + std::to_string(n) + ".exe");
  }
  b.setSection(keys::kHolidaySection, {"登録日1=2027/1/11"});
  b.setSection(keys::kAbsenceSection, {"登録日1=2027/1/15"});
  return b;
}

class SettingsFolder {
 public:
  SettingsFolder() {
    file_ = folder_ / keys::kSettingsFileName;
    IniFile(file_).apply(fullTimetable());
  }
  const std::filesystem::path& file() const { return file_; }

 private:
  TempFolder folder_{"sayolt-bench-"};
  std::filesystem::path file_;
};

void BM_SimulateFullTimetableWeek(benchmark::State& state) {
  SettingsFolder settings;
  SimulationOptions options;
  options.settingsFile = settings.file();
  options.from = *parseLocalDateTime("2027-01-11 06:00:00");
  options.days = 7;
  std::size_t events = 0, shutdowns = 0;
  for (auto _ : state) {
    const SimulationResult result = simulate(options);
    events = result.events.size();
    shutdowns = static_cast<std::size_t>(std::count_if(result.events.begin(), result.events.end(),
                                                       [](const SimulationEvent& e) { return e.event == "shutdown"; }));
    benchmark::DoNotOptimize(events);
    if (result.endedWithoutShutdown) state.SkipWithError("the simulated week ended early");
  }
  state.counters["events"] = static_cast<double>(events);
  state.counters["shutdowns"] = static_cast<double>(shutdowns);
}
BENCHMARK(BM_SimulateFullTimetableWeek)->Unit(benchmark::kMillisecond);

void BM_SimulateExampleWeek(benchmark::State& state) {
  SimulationOptions options;
  options.settingsFile = std::filesystem::path(SAYOLT_SOURCE_DIR) / "examples" / keys::kSettingsFileName;
  options.from = *parseLocalDateTime("2027-01-04 07:59:00");
  options.days = 7;
  for (auto _ : state) benchmark::DoNotOptimize(simulate(options).events.size());
}
BENCHMARK(BM_SimulateExampleWeek)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace sayolt
