#include "tools/simulation/fault_year.h"

#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <set>
#include <sstream>

#include "platform/ascii_text.h"
#include "platform/fake/fake_network.h"
#include "scheduler/core/day_classification.h"
#include "scheduler/core/schedule_model.h"
#include "scheduler/core/scheduler.h"
#include "scheduler/core/scheduler_operations.h"
#include "shared/ini_file.h"
#include "shared/settings_keys.h"
#include "shared/text_rules.h"
#include "shared/utf8_path.h"
#include "tools/simulation/simulation.h"

namespace sayolt {

namespace {

using namespace std::chrono;

constexpr const char* kCrashTempFile = ".Sayolt設定.ini.99999.0.tmp";

std::string readAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeAll(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool isDocument(const std::string& path) {
  const auto dot = path.rfind('.');
  if (dot == std::string::npos) return false;
  const std::string ext = asciiLower(path.substr(dot));
  return ext != ".exe" && ext != ".com" && ext != ".bat";
}

// The number of entries of every section but those the programs change as they run.
std::map<std::string, std::size_t> shapeOf(const IniSnapshot& ini, const std::vector<std::string>& sections) {
  std::map<std::string, std::size_t> shape;
  for (const std::string& section : sections) shape[section] = ini.getWholeSection(section).size();
  return shape;
}

class FaultYear {
 public:
  explicit FaultYear(const FaultYearOptions& options) : options_(options), random_(options.seed) {
    const IniSnapshot ini = IniSnapshot::load(options.settingsFile);
    for (int i = 0; i < 2; ++i) servers_.push_back(ini.get(keys::kNtpSection, keys::ntpServerKey(i)));
    for (int i = 0; i < keys::kAutoPrograms; ++i) {
      const std::string path = ini.get(keys::kAutoProgramSection, keys::programPathKey(i));
      if (!path.empty() && isDocument(path)) documents_.push_back(path);
    }
    tolerance_ = ini.get(keys::kStartToleranceSection, keys::kStartToleranceKey);
    if (const auto minutesAfterMidnight = toInt16(ini.get(keys::kDayStartSection, keys::kDayStartKey)))
      dayStart_ = minutes(*minutesAfterMidnight);
    shape_ = shapeOf(ini, kSteadySections);
  }

  FaultYearSummary run() {
    SimulationOptions sim;
    sim.settingsFile = options_.settingsFile;
    sim.from = options_.from;
    sim.days = options_.days;
    sim.manualPowerOnAt = hours(8) + minutes(45);
    sim.onPowerOn = [this](FakePlatform& fake, FakeNetwork& net, Scheduler& scheduler) {
      powerOn(fake, net, scheduler);
    };
    sim.onEvent = [this](const SimulationEvent& e) { onEvent(e); };
    sim.onRunEnd = [this](const std::vector<SimulationEvent>& events) { runEnded(events); };
    simulate(sim);
    return summary_;
  }

 private:
  inline static const std::vector<std::string> kSteadySections{
      keys::kStartEndSection,     keys::kAutoProgramSection, keys::kManualProgramSection, keys::kAutoPlanSection,
      keys::kTimedProgramSection, keys::kTimedRunSection,    keys::kPrioritySection,      keys::kDayStartSection,
      keys::kNtpSection,          keys::kTraySection,        keys::kStartToleranceSection};

  bool chance() { return std::bernoulli_distribution(options_.faultChance)(random_); }
  void inject(const std::string& kind) {
    ++summary_.faults[kind];
    runFaults_.insert(kind);
  }
  void violation(LocalTime when, const std::string& what) {
    summary_.violations.push_back(formatLocalDateTime(when).substr(0, 10) + ": " + what);
  }

  void powerOn(FakePlatform& fake, FakeNetwork& net, Scheduler& scheduler) {
    fake_ = &fake;
    settings_ = scheduler.iniPath();
    runFaults_.clear();
    fake.clockSettable = true;
    fake.shutdownAllowed = true;
    fake.documentRunTimes.clear();
    std::vector<FakeTimeReply> replies{FakeTimeReply::trueTime()};
    const double roll = std::uniform_real_distribution<double>(0, 1)(random_);
    if (roll < options_.faultChance) {
      inject("time-servers-silent");
      replies = {FakeTimeReply::silent()};
    } else if (roll < 2 * options_.faultChance) {
      inject("time-servers-slow");
      replies = {FakeTimeReply::trueTime(seconds(9))};
    }
    for (const std::string& host : servers_) net.setServer(host, replies);
    if (roll >= 2 * options_.faultChance && roll < 3 * options_.faultChance && !servers_.empty()) {
      inject("time-server-lying");
      net.setServer(servers_[0], {FakeTimeReply::trueTime(seconds(1), hours(3))});
    }
    if (chance() && !documents_.empty()) {
      inject("document-never-ends");
      for (const std::string& path : documents_) fake.documentRunTimes[path] = days(40);
    }
    if (chance()) {
      inject("shutdown-refused");
      fake.shutdownAllowed = false;
    }
    if (chance()) inject("clock-change-refused");
    if (chance()) inject("killed-mid-write");
    if (chance()) inject("settings-error-saved");
    if (chance()) {
      // Some time in the working day, when the panel's switch is enabled.
      inject("absence-switch");
      const auto at = minutes(std::uniform_int_distribution<int>(9 * 60, 16 * 60)(random_));
      const LocalTime now = fake.trueNow();
      const auto delay = duration_cast<milliseconds>(floor<days>(now) + at - now);
      if (delay.count() > 0) {
        auto operations = std::make_shared<SchedulerOperations>(scheduler, fake.platform(), settings_);
        fake.scheduleAfter(delay, [this, operations] {
          ++summary_.absenceSwitches;
          operations->switchAbsence();
        });
      }
    }
  }

  void onEvent(const SimulationEvent& e) {
    if (e.event == "countdown") {
      // What the file holds before the day's own writes, for the crash and the rules' check.
      beforeRecord_ = readAll(settings_);
      countdownAt_ = e.pcClock;
      if (runFaults_.count("clock-change-refused")) fake_->clockSettable = false;
    }
    if (e.event == "record-next-start") {
      recorded_.push_back({e, beforeRecord_, countdownAt_});
      if (runFaults_.count("killed-mid-write")) {
        // The rename never happened: the old file stays, with the crashed writer's temporary file beside it.
        writeAll(settings_, beforeRecord_);
        writeAll(settings_.parent_path() / pathFromUtf8(kCrashTempFile),
                 beforeRecord_.substr(0, beforeRecord_.size() / 2));
      }
      if (runFaults_.count("settings-error-saved")) {
        // The editor saved a start tolerance the scheduler cannot use; it is repaired the next day.
        IniFile(settings_).set(keys::kStartToleranceSection, keys::kStartToleranceKey, "abc");
        brokenUntilRepaired_ = true;
      }
    }
  }

  void runEnded(const std::vector<SimulationEvent>& events) {
    if (events.empty()) return;
    const int run = summary_.runs++;
    checkRun(events);
    if (brokenUntilRepaired_ && !runFaults_.count("settings-error-saved")) {
      IniFile(settings_).set(keys::kStartToleranceSection, keys::kStartToleranceKey, tolerance_);
      brokenUntilRepaired_ = false;
    }
    if (options_.afterRun) options_.afterRun(run, *fake_);
  }

  void checkRun(const std::vector<SimulationEvent>& events) {
    const LocalTime day = events.front().time;
    bool horizon = true;
    bool shutdown = false;
    std::string endReason;
    for (const SimulationEvent& e : events) {
      if (e.event == "shutdown") shutdown = true;
      if (e.event == "program-end") endReason = e.field("reason");
      if (e.event == "launch" && e.field("list") == "timed") {
        ++summary_.timedLaunches;
        // The schedule day of the PC's clock: a run belongs to the day its time falls in.
        const LocalTime pc = e.pcClock;
        const std::string key = formatLocalDateTime(pc - dayStart_).substr(0, 10) + " " + e.field("name") + " " +
                                formatHourMinute(timeOfDayOf(pc));
        if (!timedRuns_.insert(key).second) violation(e.time, "timed run twice: " + key);
      }
    }
    horizon = !shutdown && endReason.empty();
    if (shutdown) ++summary_.shutdowns;
    if (!shutdown && !horizon) {
      ++summary_.endReasons[endReason];
      if (endReason == "exit" || endReason == "nothing left to wait for")
        violation(day, "run ended without a shutdown or a reason: " + endReason);
    }

    // The file reads back whole: every section the programs do not change keeps its entries.
    try {
      const IniSnapshot ini = IniSnapshot::load(settings_);
      if (shapeOf(ini, kSteadySections) != shape_) violation(day, "settings file lost entries");
    } catch (const IniError& error) {
      violation(day, std::string("settings file unreadable: ") + error.what());
    }
    for (const auto& entry : std::filesystem::directory_iterator(settings_.parent_path())) {
      const std::string name = utf8FromPath(entry.path().filename());
      if (name.size() > 4 && name.substr(name.size() - 4) == ".tmp" && name != kCrashTempFile)
        violation(day, "temporary file left: " + name);
    }

    // The recorded next start is the rules' one for the file and the clock at that moment, and the
    // file holds it, unless the write was cut off.
    for (const auto& [e, bytes, decidedAt] : recorded_) {
      ScheduleModel model;
      const auto error = readScheduleModel(IniSnapshot::fromBytes(bytes), decidedAt, model);
      if (!error) {
        const std::string rules = formatHourMinute(findEndAndNextStart(model, timeOfDayOf(decidedAt)).nextStartTime);
        if (rules != e.field("value"))
          violation(e.time, "recorded next start " + e.field("value") + ", the rules give " + rules);
      }
      const std::string stored = IniSnapshot::load(settings_).get(keys::kNextStartSection, keys::kNextStartKey);
      if (stored != e.field("value") && !runFaults_.count("killed-mid-write"))
        violation(e.time, "file holds next start " + stored + " instead of " + e.field("value"));
    }
    recorded_.clear();
    // Only the last two schedule days can see a run again.
    const std::string keep = formatLocalDateTime(day - days(2)).substr(0, 10);
    std::erase_if(timedRuns_, [&](const std::string& key) { return key.substr(0, 10) < keep; });
  }

  struct Recorded {
    SimulationEvent event;
    std::string settingsBefore;
    LocalTime decidedAt;  // the PC's clock when the day ended, before the clock shift
  };

  const FaultYearOptions& options_;
  std::mt19937_64 random_;
  FaultYearSummary summary_;
  std::vector<std::string> servers_;
  std::vector<std::string> documents_;
  std::string tolerance_;
  std::map<std::string, std::size_t> shape_;
  minutes dayStart_{180};
  FakePlatform* fake_ = nullptr;
  std::filesystem::path settings_;
  std::set<std::string> runFaults_;
  std::string beforeRecord_;
  LocalTime countdownAt_{};
  std::vector<Recorded> recorded_;
  std::set<std::string> timedRuns_;
  bool brokenUntilRepaired_ = false;
};

}  // namespace

FaultYearSummary runFaultYear(const FaultYearOptions& options) { return FaultYear(options).run(); }

std::string formatFaultYearSummary(const FaultYearSummary& s) {
  std::ostringstream out;
  out << "runs " << s.runs << ", shutdowns " << s.shutdowns << ", timed launches " << s.timedLaunches
      << ", absence switches " << s.absenceSwitches << "\n";
  out << "faults:";
  for (const auto& [kind, count] : s.faults) out << " " << kind << "=" << count;
  out << "\nended without shutdown:";
  for (const auto& [reason, count] : s.endReasons) out << " [" << reason << "]=" << count;
  out << "\nviolations: " << s.violations.size() << "\n";
  for (const std::string& v : s.violations) out << "  " << v << "\n";
  return out.str();
}

}  // namespace sayolt
