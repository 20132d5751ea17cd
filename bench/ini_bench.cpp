// The settings file at its largest: loading every key (target 2 ms) and saving the main page as one
// replacement, flush included (target 20 ms).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_replace.h"
#include "shared/ini_file.h"
#include "shared/settings_keys.h"
#include "shared/temp_folder.h"

namespace sayolt {
namespace {

using KeyList = std::vector<std::pair<std::string, std::string>>;

// The settings file inside a fresh temporary folder.
std::filesystem::path settingsFileIn(const TempFolder& folder) { return folder / keys::kSettingsFileName; }

std::string timeText(int minutes) {
  return std::to_string(minutes / 60 % 24) + ":" + (minutes % 60 < 10 ? "0" : "") + std::to_string(minutes % 60);
}

// What the main page saves; `variant` changes every value so that each save really writes.
IniBatch mainPageBatch(int variant) {
  using namespace keys;
  IniBatch batch;
  for (int row = 0; row < 2; ++row) {
    for (int c = 0; c < kCategories; ++c) {
      for (int s = 0; s < kSlots; ++s) {
        const int minutes = (row == 0 ? 6 * 60 : 18 * 60) + s * 7 + c + variant;
        batch.set(kStartEndSection, row == 0 ? startTimeKey(c, s) : endTimeKey(c, s), timeText(minutes));
      }
    }
  }
  auto programs = [&](const char* section, int count) {
    for (int n = 0; n < count; ++n) {
      batch.set(section, programNameKey(n), "表計算ソフト" + std::to_string(n + variant));
      batch.set(section, programPathKey(n),
                "C:\\Program Files\\表計算\\業務①\\集計" + std::to_string(n + variant) + ".xlsx");
      batch.set(section, programDelayKey(n), std::to_string(10 + n + variant));
    }
  };
  programs(kAutoProgramSection, kAutoPrograms);
  programs(kManualProgramSection, kManualPrograms);
  batch.set(kPrioritySection, kPriorityKey, variant % 2 == 0 ? "1" : "0");
  for (int p = 0; p < kAutoPrograms; ++p) {
    for (int c = 0; c < kCategories; ++c) {
      for (int s = 0; s < kSlots; ++s)
        batch.set(kAutoPlanSection, autoPlanKey(p, c, s), (p + c + s + variant) % 2 ? "1" : "0");
    }
  }
  batch.set(kNtpSection, ntpServerKey(0), variant % 2 == 0 ? "ntp.nict.jp" : "time.google.com");
  batch.set(kNtpSection, ntpServerKey(1), variant % 2 == 0 ? "ntp.jst.mfeed.ad.jp" : "time.cloudflare.com");
  batch.set(kTraySection, kTrayKey, variant % 2 == 0 ? "1" : "0");
  batch.set(kStartToleranceSection, kStartToleranceKey, std::to_string(30 + variant));
  batch.set(kDayStartSection, kDayStartKey, std::to_string(180 + variant));
  return batch;
}

// The rest of the file: time-specified programs and runs, holidays, absences, next start.
IniBatch otherPagesBatch() {
  using namespace keys;
  IniBatch batch;
  for (int n = 0; n < kTimedPrograms; ++n) {
    batch.set(kTimedProgramSection, programNameKey(n), "バックアップ" + std::to_string(n));
    batch.set(kTimedProgramSection, programPathKey(n),
              n % 5 == 4 ? "sed" : "D:\\ツール\\backup" + std::to_string(n) + ".exe");
  }
  for (int c = 0; c < kCategories; ++c) {
    for (int r = 0; r < kTimedRuns; ++r) {
      batch.set(kTimedRunSection, timedRunStartKey(c, r), timeText(8 * 60 + r * 17));
      batch.set(kTimedRunSection, timedRunNumberKey(c, r), std::to_string((c + r) % kTimedPrograms));
    }
  }
  std::vector<std::string> holidays;
  std::vector<std::string> absences;
  for (int n = 1; n <= 30; ++n) {
    holidays.push_back(dateListKey(n) + "=2026/" + std::to_string(1 + n % 12) + "/" + std::to_string(n));
    absences.push_back(dateListKey(n) + "=2027/" + std::to_string(1 + n % 12) + "/" + std::to_string(n));
  }
  batch.setSection(kHolidaySection, holidays);
  batch.setSection(kAbsenceSection, absences);
  batch.set(kNextStartSection, kNextStartKey, "7:30");
  return batch;
}

std::string fullFile() { return applyToBytes(applyToBytes("", mainPageBatch(0)), otherPagesBatch()); }

// Every single key a load reads, and the date lists key by key up to the first missing one.
KeyList everyKey() {
  KeyList list;
  for (const IniBatch& batch : {mainPageBatch(0), otherPagesBatch()}) {
    for (const IniBatch::Op& op : batch.ops()) {
      if (op.kind == IniBatch::Op::Kind::Set) list.emplace_back(op.section, op.key);
    }
  }
  return list;
}

void BM_IniLoadEveryKey(benchmark::State& state) {
  TempFolder folder("sayolt-ini-bench-");
  const auto path = settingsFileIn(folder);
  const std::string bytes = fullFile();
  replaceFileAtomically(path, bytes);
  const KeyList keys = everyKey();
  for (auto _ : state) {
    const IniSnapshot snapshot = IniSnapshot::load(path);
    size_t total = 0;
    for (const auto& [section, key] : keys) total += snapshot.get(section, key).size();
    for (const char* section : {keys::kHolidaySection, keys::kAbsenceSection}) {
      for (int n = 1;; ++n) {
        const std::string date = snapshot.get(section, keys::dateListKey(n));
        if (date.empty()) break;
        total += date.size();
      }
    }
    benchmark::DoNotOptimize(total);
  }
  state.counters["keys"] = static_cast<double>(keys.size() + 60);
  state.counters["file_bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_IniLoadEveryKey)->Unit(benchmark::kMicrosecond);

// Every main page value changed in a full file: one read, one parse, ~1060 rewrites, one flushed
// replacement.
void BM_IniSaveMainPage(benchmark::State& state) {
  TempFolder folder("sayolt-ini-bench-");
  IniFile file(settingsFileIn(folder));
  file.apply(otherPagesBatch());
  const IniBatch batches[2] = {mainPageBatch(1), mainPageBatch(2)};
  file.apply(batches[1]);
  int i = 0;
  for (auto _ : state) file.apply(batches[i++ % 2]);
  state.counters["writes"] = static_cast<double>(batches[0].ops().size());
}
BENCHMARK(BM_IniSaveMainPage)->Unit(benchmark::kMillisecond);

// The first save into a file without the main page: every key is inserted.
void BM_IniSaveMainPageIntoFileWithoutIt(benchmark::State& state) {
  TempFolder folder("sayolt-ini-bench-");
  const std::string otherPages = applyToBytes("", otherPagesBatch());
  const IniBatch batch = mainPageBatch(0);
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove(settingsFileIn(folder));
    IniFile(settingsFileIn(folder)).apply(otherPagesBatch());
    state.ResumeTiming();
    IniFile(settingsFileIn(folder)).apply(batch);
  }
  state.counters["file_bytes"] = static_cast<double>(otherPages.size());
}
BENCHMARK(BM_IniSaveMainPageIntoFileWithoutIt)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace sayolt
