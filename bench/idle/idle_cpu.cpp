// Runs the real scheduler on the real platform for a while and reports its CPU time.
//   sayolt_idle_cpu [seconds]   (default 180)
// The clock is wrapped so that nothing is ever set, and the time check is replaced by a manual
// start, so that the run needs no network and leaves the machine as it was.
#include <sys/resource.h>

#include <QApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <string>

#include "platform/native_platform.h"
#include "scheduler/core/program_end.h"
#include "scheduler/core/scheduler.h"
#include "shared/ini_file.h"
#include "shared/settings_keys.h"
#include "shared/text_rules.h"

namespace {

class ReadOnlyClock : public sayolt::Clock {
 public:
  explicit ReadOnlyClock(sayolt::Clock& real) : real_(real) {}
  sayolt::LocalTime now() const override { return real_.now(); }
  sayolt::MonotonicMs monotonicMs() const override { return real_.monotonicMs(); }
  bool setUtc(sayolt::UtcTime) override { return false; }
  bool setLocalTimeOfDay(sayolt::TimeOfDay) override { return false; }
  bool syncHardwareClock() override { return false; }

 private:
  sayolt::Clock& real_;
};

class ManualStart : public sayolt::ClockCheck {
 public:
  std::optional<int> checkClock(std::chrono::seconds) override { return 0; }
};

class NoCountdown : public sayolt::CountdownView {
 public:
  void show(std::function<void()>) override {}
  void setText(const std::string&) override {}
  void close() override {}
};

double cpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int seconds = argc > 1 ? std::stoi(argv[1]) : 180;

  auto native = sayolt::NativePlatform::create();
  sayolt::Platform& real = native->platform();
  ReadOnlyClock clock(real.clock);

  // Every day starts six hours and ends twelve hours from now: nothing happens while we measure.
  QTemporaryDir folder;
  const std::filesystem::path settings =
      std::filesystem::path(folder.path().toStdU16String()) / sayolt::keys::kSettingsFileName;
  const auto now = sayolt::timeOfDayOf(clock.now());
  sayolt::IniBatch batch;
  batch.set(sayolt::keys::kStartToleranceSection, sayolt::keys::kStartToleranceKey, "1");
  batch.set(sayolt::keys::kPrioritySection, sayolt::keys::kPriorityKey, "1");
  batch.set(sayolt::keys::kTraySection, sayolt::keys::kTrayKey, "0");
  for (int c = 0; c < sayolt::keys::kCategories; ++c) {
    batch.set(sayolt::keys::kStartEndSection, sayolt::keys::startTimeKey(c, 0),
              sayolt::formatHourMinute(now + std::chrono::hours(6)));
    batch.set(sayolt::keys::kStartEndSection, sayolt::keys::endTimeKey(c, 0),
              sayolt::formatHourMinute(now + std::chrono::hours(12)));
  }
  sayolt::IniFile(settings).apply(batch);

  sayolt::Platform platform{clock, real.events, real.dialogs, real.processes, real.power, real.tray, real.network};
  ManualStart check;
  NoCountdown countdown;
  sayolt::Scheduler scheduler(platform, check, countdown, settings);
  try {
    scheduler.start();
  } catch (const sayolt::ProgramEnded& ended) {
    std::fprintf(stderr, "scheduler ended: %s\n", ended.reason.c_str());
    return 1;
  }
  const double before = cpuSeconds();
  const auto until = clock.monotonicMs() + seconds * 1000LL;
  platform.events.runUntil([] { return false; }, until);
  const double used = cpuSeconds() - before;
  std::printf("ticking for %d s: %.3f s CPU = %.4f%% of one core\n", seconds, used, 100.0 * used / seconds);
  return 0;
}
