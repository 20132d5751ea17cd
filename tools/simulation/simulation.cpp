#include "tools/simulation/simulation.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/fake/fake_network.h"
#include "scheduler/core/program_end.h"
#include "scheduler/core/scheduler.h"
#include "scheduler/timecheck/check_clock.h"
#include "scheduler/timecheck/error_log.h"
#include "shared/settings_keys.h"
#include "shared/temp_folder.h"
#include "shared/text_rules.h"
#include "shared/utf8_path.h"

namespace sayolt {

namespace {

using namespace std::chrono;

class EventLog {
 public:
  EventLog(FakePlatform& fake, std::vector<SimulationEvent>& events, const SimulationOptions& options)
      : fake_(fake), events_(events), options_(options) {}
  void add(std::string event, std::vector<std::pair<std::string, std::string>> fields = {},
           std::vector<std::string> numeric = {}) {
    SimulationEvent e{fake_.trueNow(), fake_.pcNow(), std::move(event), std::move(fields), std::move(numeric)};
    if (options_.onEvent) options_.onEvent(e);
    if (options_.keepEvents) events_.push_back(std::move(e));
  }

 private:
  FakePlatform& fake_;
  std::vector<SimulationEvent>& events_;
  const SimulationOptions& options_;
};

const char* listName(LaunchList list) {
  switch (list) {
    case LaunchList::Auto:
      return "auto";
    case LaunchList::Manual:
      return "manual";
    case LaunchList::Timed:
      return "timed";
  }
  return "";
}

const char* howName(LaunchHow how) {
  switch (how) {
    case LaunchHow::Executable:
      return "exe";
    case LaunchHow::Workbook:
      return "workbook";
    case LaunchHow::Shell:
      return "shell";
  }
  return "";
}

class SimObserver : public SchedulerObserver {
 public:
  explicit SimObserver(EventLog& log) : log_(log) {}
  void onStartKind(int kind, int slot) override {
    log_.add("start-kind", {{"kind", std::to_string(kind)}, {"slot", std::to_string(slot)}}, {"kind", "slot"});
  }
  void onLaunch(LaunchList list, const std::string& name, const std::string& path, LaunchHow how) override {
    log_.add("launch", {{"list", listName(list)}, {"name", name}, {"path", path}, {"how", howName(how)}});
  }
  void onStop(const std::string& name) override { log_.add("stop", {{"name", name}}); }
  void onCountdown(TimeOfDay endTime) override { log_.add("countdown", {{"endTime", formatHourMinute(endTime)}}); }
  void onRecordNextStart(const std::string& value) override { log_.add("record-next-start", {{"value", value}}); }
  void onClockShift(TimeOfDay to, bool accepted) override {
    if (accepted) log_.add("clock-shift", {{"to", formatHourMinuteSecond(to)}});
  }
  void onShutdownRequested(bool accepted) override {
    if (accepted) log_.add("shutdown");
  }

 private:
  EventLog& log_;
};

// The countdown dialog, with "中止" pressed at the scripted second of each countdown.
class SimCountdownView : public CountdownView {
 public:
  SimCountdownView(FakePlatform& fake, std::vector<int> abortAt) : fake_(fake), abortAt_(std::move(abortAt)) {}
  void show(std::function<void()> onAbort) override {
    visible_ = std::make_shared<bool>(true);
    if (next_ < abortAt_.size()) {
      const int second = abortAt_[next_];
      std::weak_ptr<bool> visible = visible_;
      fake_.scheduleAfter(milliseconds((second - 1) * 1000 + 500), [visible, onAbort] {
        if (const auto v = visible.lock(); v && *v) onAbort();
      });
    }
    ++next_;
  }
  void setText(const std::string&) override {}
  void close() override {
    if (visible_) *visible_ = false;
  }

 private:
  FakePlatform& fake_;
  std::vector<int> abortAt_;
  std::size_t next_ = 0;
  std::shared_ptr<bool> visible_;
};

std::string readAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

std::string SimulationEvent::field(const std::string& name) const {
  for (const auto& [k, v] : fields)
    if (k == name) return v;
  return {};
}

SimulationResult simulate(const SimulationOptions& options) {
  SimulationResult result;
  const TempFolder work("sayolt-sim-");
  const std::filesystem::path& folder = work.path();
  const auto settings = folder / keys::kSettingsFileName;
  std::error_code error;
  if (!std::filesystem::copy_file(options.settingsFile, settings, error))
    throw std::runtime_error(utf8FromPath(options.settingsFile) + ": " + error.message());
  result.settingsCopy = settings;

  FakePlatform fake(options.from);
  if (options.pcClockAtStart) fake.setPcClock(*options.pcClockAtStart);
  auto network = std::make_unique<FakeNetwork>(fake);
  FakeNetwork& net = *network;
  fake.installNetwork(std::move(network));
  if (options.setUp) options.setUp(fake, net);

  EventLog log(fake, result.events, options);
  fake.onRecord = [&](const FakeRecord& r) {
    if (r.event == "clock-set") log.add("clock-set", {{"to", r.field("to")}});
    if (r.event == "message" || r.event == "notice" || r.event == "question")
      log.add("message", {{"text", r.field("text")}});
  };
  SimObserver observer(log);
  SimCountdownView countdown(fake, options.abortCountdownAtSecond);
  const MonotonicMs horizon = duration_cast<milliseconds>(days(options.days)).count();
  fake.setHorizon(horizon);

  for (;;) {
    log.add("power-on");
    std::string endReason;
    try {
      RecordingTimeServerErrorView errorView;
      TimeCheckOptions checkOptions;
      checkOptions.logPath = folder / kErrorLogFileName;
      TimeCheckObserver checkObserver;
      checkObserver.onFailure = [&](const TimeCheckFailureReport& report) {
        log.add("message", {{"text", report.labelText}});
      };
      TimeCheck timeCheck(fake.platform(), settings, errorView, checkOptions, checkObserver);
      Scheduler scheduler(fake.platform(), timeCheck, countdown, settings, &observer);
      if (options.onPowerOn) options.onPowerOn(fake, net, scheduler);
      try {
        scheduler.start();
        fake.runUntil([] { return false; }, std::nullopt);
        if (scheduler.ended()) endReason = scheduler.ended()->reason;
      } catch (const ProgramEnded& ended) {
        endReason = ended.reason;
      }
    } catch (const FakeHorizonReached&) {
      break;
    } catch (const FakeDeadlock&) {
      log.add("program-end", {{"reason", "nothing left to wait for"}});
      result.endedWithoutShutdown = true;
      break;
    }
    milliseconds offFor{};
    if (!fake.shutdownRequested) {
      log.add("program-end", {{"reason", endReason.empty() ? "exit" : endReason}});
      result.endedWithoutShutdown = true;
      if (!options.manualPowerOnAt) break;
      // The PC was left on; the user switches it off and on again the next morning.
      const auto now = fake.trueNow();
      offFor = duration_cast<milliseconds>(floor<days>(now) + days(1) + *options.manualPowerOnAt - now);
    } else {
      // The firmware alarm powers the PC on when its own clock reaches 00:00.
      const auto pc = fake.pcNow();
      offFor = duration_cast<milliseconds>(floor<days>(pc) + days(1) - pc);
    }
    if (options.onRunEnd) {
      options.onRunEnd(result.events);
      result.events.clear();
    }
    if (fake.monotonicNow() + offFor.count() >= horizon) break;
    fake.resetForPowerOn();
    fake.advancePoweredOff(offFor);
  }
  if (options.onRunEnd && !result.events.empty()) {
    options.onRunEnd(result.events);
    result.events.clear();
  }
  result.finalSettingsBytes = readAll(settings);
  return result;
}

std::string formatEventText(const SimulationEvent& e) {
  std::ostringstream out;
  out << formatLocalDateTime(e.time) << "  [PC " << formatLocalDateTime(e.pcClock) << "]  " << e.event;
  for (const auto& [k, v] : e.fields) {
    std::string value = v;
    for (auto pos = value.find('\n'); pos != std::string::npos; pos = value.find('\n', pos))
      value.replace(pos, 1, " / ");
    out << "  " << k << "=" << value;
  }
  return out.str();
}

}  // namespace sayolt
