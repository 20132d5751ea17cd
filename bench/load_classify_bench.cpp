// What the scheduler does at start-up and at every reload: read the settings file from disk,
// load every area into the model, classify the days and search today's end and the next start.
// The file has every key of every section filled and 30 dates in each date list.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "platform/text_codec.h"
#include "scheduler/core/day_classification.h"
#include "scheduler/core/schedule_model.h"
#include "shared/ini_file.h"
#include "shared/settings_keys.h"
#include "shared/temp_folder.h"

namespace sayolt {
namespace {

std::string hourMinute(int minutes) {
  const int m = minutes % 60;
  return std::to_string(minutes / 60 % 24) + ":" + (m < 10 ? "0" : "") + std::to_string(m);
}

void line(std::string& out, const std::string& key, const std::string& value) { out += key + "=" + value + "\r\n"; }

// A settings file as the editor leaves it when every field is in use.
std::string fullSettingsText() {
  std::string out = "[" + std::string(keys::kStartEndSection) + "]\r\n";
  for (int c = 0; c < keys::kCategories; ++c)
    for (int s = 0; s < keys::kSlots; ++s) {
      line(out, keys::startTimeKey(c, s), hourMinute(6 * 60 + s * 90 + c * 5));
      line(out, keys::endTimeKey(c, s), hourMinute(7 * 60 + 30 + s * 90 + c * 5));
    }
  const auto programs = [&](const char* section, int count, const char* folder) {
    out += "[" + std::string(section) + "]\r\n";
    for (int i = 0; i < count; ++i) {
      line(out, keys::programNameKey(i), "業務プログラム" + std::to_string(i + 1));
      line(out, keys::programPathKey(i),
           std::string("C:\\Program Files\\") + folder + "\\業務システム\\起動用_" + std::to_string(i + 1) + ".exe");
      line(out, keys::programDelayKey(i), std::to_string(5 + i * 3));
    }
  };
  programs(keys::kAutoProgramSection, keys::kAutoPrograms, "自動");
  programs(keys::kManualProgramSection, keys::kManualPrograms, "手動");
  out += "[" + std::string(keys::kAutoPlanSection) + "]\r\n";
  for (int i = 0; i < keys::kAutoPrograms; ++i)
    for (int c = 0; c < keys::kCategories; ++c)
      for (int s = 0; s < keys::kSlots; ++s) line(out, keys::autoPlanKey(i, c, s), (i + c + s) % 2 ? "1" : "0");
  out += "[" + std::string(keys::kTimedProgramSection) + "]\r\n";
  for (int n = 0; n < keys::kTimedPrograms; ++n) {
    line(out, keys::programNameKey(n), "定時処理" + std::to_string(n + 1));
    line(out, keys::programPathKey(n), n % 5 == 4 ? "sed" : "D:\\定時\\処理_" + std::to_string(n + 1) + ".xls");
  }
  out += "[" + std::string(keys::kTimedRunSection) + "]\r\n";
  for (int c = 0; c < keys::kCategories; ++c)
    for (int r = 0; r < keys::kTimedRuns; ++r) {
      line(out, keys::timedRunStartKey(c, r), hourMinute(8 * 60 + r * 25 + c));
      line(out, keys::timedRunNumberKey(c, r), std::to_string((r + c) % keys::kTimedPrograms));
    }
  out += "[" + std::string(keys::kPrioritySection) + "]\r\n";
  line(out, keys::kPriorityKey, "1");
  out += "[" + std::string(keys::kDayStartSection) + "]\r\n";
  line(out, keys::kDayStartKey, "180");
  out += "[" + std::string(keys::kStartToleranceSection) + "]\r\n";
  line(out, keys::kStartToleranceKey, "120");
  out += "[" + std::string(keys::kNtpSection) + "]\r\n";
  line(out, keys::ntpServerKey(0), "ntp.nict.jp");
  line(out, keys::ntpServerKey(1), "time.google.com");
  out += "[" + std::string(keys::kTraySection) + "]\r\n";
  line(out, keys::kTrayKey, "1");
  const auto dates = [&](const char* section, int month) {
    out += "[" + std::string(section) + "]\r\n";
    for (int n = 1; n <= 30; ++n)
      line(out, keys::dateListKey(n),
           "2024/" + std::to_string(month + (n - 1) / 28) + "/" + std::to_string((n - 1) % 28 + 1));
  };
  dates(keys::kHolidaySection, 1);
  dates(keys::kAbsenceSection, 6);
  out += "[" + std::string(keys::kNextStartSection) + "]\r\n";
  line(out, keys::kNextStartKey, "6:00");
  return out;
}

class SettingsOnDisk {
 public:
  SettingsOnDisk() {
    path_ = folder_ / "settings.ini";
    const auto bytes = cp932::fromUtf8(fullSettingsText());
    if (!bytes) throw std::runtime_error("benchmark settings without a code page 932 form");
    std::ofstream(path_, std::ios::binary) << *bytes;
    size_ = bytes->size();
  }
  const std::filesystem::path& path() const { return path_; }
  std::size_t size() const { return size_; }

 private:
  TempFolder folder_{"sayolt-bench-"};
  std::filesystem::path path_;
  std::size_t size_ = 0;
};

void BM_LoadClassifyFindEnd(benchmark::State& state) {
  const SettingsOnDisk file;
  // A date in the absence list, in the small hours: every list is read to its end.
  const LocalTime now = *parseLocalDateTime("2024-06-10 02:30:00");
  for (auto _ : state) {
    ScheduleModel model;
    const auto error = readScheduleModel(IniSnapshot::load(file.path()), now, model);
    if (error) {
      state.SkipWithError(error->message.c_str());
      break;
    }
    auto found = findEndAndNextStart(model, timeOfDayOf(now));
    benchmark::DoNotOptimize(found);
    benchmark::DoNotOptimize(model);
  }
  state.counters["fileBytes"] = static_cast<double>(file.size());
}
BENCHMARK(BM_LoadClassifyFindEnd)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace sayolt
