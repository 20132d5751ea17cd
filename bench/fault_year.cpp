// A simulated year of the real scheduler under seeded faults, with its invariants, and the heap of
// the resident program: the C++ heap in use, counted by this program's own operator new.
//   sayolt_fault_year [--days N] [--seeds 1,2,3] [--settings file]
// Prints a summary per seed, then the heap figures; exits 1 when an invariant broke.
#include "tools/simulation/fault_year.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "scheduler/core/scheduler.h"
#include "shared/text_rules.h"
#include "tools/simulation/simulation.h"

namespace {

std::atomic<long long> liveBytes{0};
constexpr std::size_t kHeader = alignof(std::max_align_t);

void* allocate(std::size_t size) {
  void* block = std::malloc(size + kHeader);
  if (!block) throw std::bad_alloc();
  *static_cast<std::size_t*>(block) = size;
  liveBytes += static_cast<long long>(size);
  return static_cast<char*>(block) + kHeader;
}

void release(void* p) noexcept {
  if (!p) return;
  void* block = static_cast<char*>(p) - kHeader;
  liveBytes -= static_cast<long long>(*static_cast<std::size_t*>(block));
  std::free(block);
}

std::size_t stringBytes(const std::string& text) { return text.capacity() > 15 ? text.capacity() + 1 : 0; }

// What the fake platform's list of records holds: the harness's, not the scheduler's.
long long recordBytes(const std::vector<sayolt::FakeRecord>& records) {
  std::size_t bytes = records.capacity() * sizeof(sayolt::FakeRecord);
  for (const sayolt::FakeRecord& r : records) {
    bytes += stringBytes(r.event) + r.fields.capacity() * sizeof(r.fields[0]);
    for (const auto& [key, value] : r.fields) bytes += stringBytes(key) + stringBytes(value);
  }
  return static_cast<long long>(bytes);
}

struct HeapSeries {
  std::vector<long long> samples;  // bytes in use at each sample, less the fake platform's records
  void add(const sayolt::FakePlatform& fake) { samples.push_back(liveBytes.load() - recordBytes(fake.records())); }
  // Bytes in use at the end minus those after the first tenth of the run, when caches are warm.
  long long growth() const {
    if (samples.size() < 10) return 0;
    return samples.back() - samples[samples.size() / 10];
  }
  long long peak() const { return samples.empty() ? 0 : *std::max_element(samples.begin(), samples.end()); }
};

std::vector<std::uint64_t> parseSeeds(const std::string& text) {
  std::vector<std::uint64_t> seeds;
  std::stringstream in(text);
  for (std::string item; std::getline(in, item, ',');) seeds.push_back(std::stoull(item));
  return seeds;
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, std::size_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t) noexcept { release(p); }

int main(int argc, char** argv) {
  using namespace std::chrono;
  int days = 365;
  std::vector<std::uint64_t> seeds{1, 2, 3};
  std::string settings = std::string(SAYOLT_SOURCE_DIR) + "/examples/Sayolt設定.ini";
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string flag = argv[i];
    if (flag == "--days") days = std::atoi(argv[i + 1]);
    if (flag == "--seeds") seeds = parseSeeds(argv[i + 1]);
    if (flag == "--settings") settings = argv[i + 1];
  }
  const auto from = *sayolt::parseLocalDateTime("2027-01-04 08:00:00");

  std::size_t violations = 0;
  for (const std::uint64_t seed : seeds) {
    HeapSeries heap;
    sayolt::FaultYearOptions options;
    options.settingsFile = settings;
    options.from = from;
    options.days = days;
    options.seed = seed;
    options.afterRun = [&](int, const sayolt::FakePlatform& fake) { heap.add(fake); };
    const auto started = steady_clock::now();
    const sayolt::FaultYearSummary summary = sayolt::runFaultYear(options);
    const auto took = duration_cast<milliseconds>(steady_clock::now() - started).count();
    violations += summary.violations.size();
    std::cout << "seed " << seed << ", " << days << " days, " << took << " ms\n"
              << sayolt::formatFaultYearSummary(summary) << "harness heap after each run: peak " << heap.peak()
              << " bytes, growth over the year " << heap.growth() << " bytes\n\n";
  }

  // The resident program: one scheduler for the whole year, every countdown stopped at its third
  // second, so that it runs through every midnight reload without a power-off.
  HeapSeries resident;
  resident.samples.reserve(static_cast<std::size_t>(days) + 2);
  const sayolt::FakePlatform* residentFake = nullptr;
  sayolt::SimulationOptions sim;
  sim.settingsFile = settings;
  sim.from = from;
  sim.days = days;
  sim.keepEvents = false;
  sim.abortCountdownAtSecond.assign(static_cast<std::size_t>(days) * 2 + 2, 3);
  long long launches = 0;
  sim.onEvent = [&](const sayolt::SimulationEvent& e) {
    if (e.event == "launch") ++launches;
  };
  sim.onPowerOn = [&](sayolt::FakePlatform& fake, sayolt::FakeNetwork&, sayolt::Scheduler&) {
    residentFake = &fake;
    // A sample at noon every day, taken inside the running program.
    auto sample = std::make_shared<std::function<void()>>();
    *sample = [&fake, &resident, weak = std::weak_ptr<std::function<void()>>(sample)] {
      resident.add(fake);
      if (const auto next = weak.lock()) fake.scheduleAfter(hours(24), *next);
    };
    const auto now = fake.trueNow();
    fake.scheduleAfter(duration_cast<milliseconds>(floor<std::chrono::days>(now) + hours(12) - now), *sample);
    static std::shared_ptr<std::function<void()>> keep;
    keep = sample;
  };
  const auto started = steady_clock::now();
  const sayolt::SimulationResult result = sayolt::simulate(sim);
  const auto took = duration_cast<milliseconds>(steady_clock::now() - started).count();
  std::cout << "resident scheduler, " << days << " days without a power-off, " << took << " ms, " << launches
            << " launches, " << resident.samples.size() << " daily samples\n";
  if (!resident.samples.empty())
    std::cout << "heap in use: day 1 " << resident.samples.front() << " bytes, day " << days / 10 + 1 << " "
              << resident.samples[resident.samples.size() / 10] << " bytes, last day " << resident.samples.back()
              << " bytes, peak " << resident.peak() << " bytes, growth after the first tenth " << resident.growth()
              << " bytes\n";
  if (residentFake) std::cout << "fake platform records " << residentFake->records().size() << "\n";
  (void)result;
  return violations == 0 ? 0 : 1;
}
