// Runs the real scheduler on a live event loop for a while and reports its CPU time.
//   sayolt_idle_cpu [seconds]   (default 180)
// It runs on the null platform, whose clock is never set, and the time check is replaced by a
// manual start, so that the run needs no network and leaves the machine as it was.
#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>
#include <string>

#include "platform/null/null_platform.h"
#include "scheduler/core/program_end.h"
#include "scheduler/core/scheduler.h"
#include "shared/ini_file.h"
#include "shared/settings_keys.h"
#include "shared/text_rules.h"

namespace {

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

// CPU time of the whole process, all threads.
double cpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int seconds = argc > 1 ? std::stoi(argv[1]) : 180;

  auto null = sayolt::NullPlatform::create();
  sayolt::Platform& platform = null->platform();
  sayolt::Clock& clock = platform.clock;

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
