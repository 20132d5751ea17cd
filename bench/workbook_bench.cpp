// Building "Sayolt予定表.xls" for a full timetable: 9 categories × (16 times + 30 runs), 100 dates.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "shared/temp_folder.h"
#include "workbook/schedule_workbook.h"

namespace {

using sayolt::workbook::TimetableInput;

std::string hhmm(int minutes) {
  return std::to_string(minutes / 60 % 24) + ":" + (minutes % 60 < 10 ? "0" : "") + std::to_string(minutes % 60);
}

TimetableInput fullTimetable() {
  TimetableInput in;
  in.dayStart = "5:00";
  for (int c = 0; c < 9; ++c) {
    for (int k = 0; k < 8; ++k) {
      in.startTimes[c][k] = hhmm(300 + k * 180 + c);
      in.endTimes[c][k] = hhmm(300 + k * 180 + 150 + c);
    }
    for (int r = 0; r < 30; ++r) in.runs[c][r] = {hhmm(310 + r * 47 + c), r % 20};
  }
  for (int n = 0; n < 20; ++n) in.programNames[n] = "時刻指定プログラム" + std::to_string(n + 1);
  for (int d = 0; d < 50; ++d) {
    in.holidayDates.push_back("2027/" + std::to_string(d % 12 + 1) + "/" + std::to_string(d % 28 + 1));
    in.absenceDates.push_back("2028/" + std::to_string(d % 12 + 1) + "/" + std::to_string(d % 28 + 1));
  }
  return in;
}

void BM_BuildWorkbook(benchmark::State& state) {
  const TimetableInput input = fullTimetable();
  for (auto _ : state) benchmark::DoNotOptimize(sayolt::workbook::buildWorkbookBytes(input, std::nullopt));
}
BENCHMARK(BM_BuildWorkbook)->Unit(benchmark::kMillisecond);

void BM_RebuildWorkbook(benchmark::State& state) {
  const TimetableInput input = fullTimetable();
  const std::string existing = sayolt::workbook::buildWorkbookBytes(input, std::nullopt);
  for (auto _ : state) benchmark::DoNotOptimize(sayolt::workbook::buildWorkbookBytes(input, existing));
}
BENCHMARK(BM_RebuildWorkbook)->Unit(benchmark::kMillisecond);

// With the file: read, rebuild, and the atomic replacement flushed to disk.
void BM_WriteWorkbookFile(benchmark::State& state) {
  const TimetableInput input = fullTimetable();
  const sayolt::TempFolder folder("sayolt-bench-");
  const auto file = folder / "book.xls";
  if (state.range(0) == 1) sayolt::workbook::writeScheduleWorkbook(file, input);
  for (auto _ : state) {
    if (state.range(0) == 0) {
      state.PauseTiming();
      std::filesystem::remove(file);
      state.ResumeTiming();
    }
    sayolt::workbook::writeScheduleWorkbook(file, input);
  }
}
BENCHMARK(BM_WriteWorkbookFile)->Arg(0)->Arg(1)->ArgName("existing")->Unit(benchmark::kMillisecond);

}  // namespace
