// "sayolt-plan timecheck FILE [--json]": the scheduler's clock check against the file's time
// servers, for real over the network, on a clock of its own so the machine's clock stays as it is.
#include <QCoreApplication>
#include <QDateTime>
#include <chrono>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>

#include "platform/qt/event_loop_qt.h"
#include "platform/qt/qt_network.h"
#include "scheduler/core/program_end.h"
#include "scheduler/core/schedule_model.h"
#include "scheduler/timecheck/check_clock.h"
#include "scheduler/timecheck/sntp_packet.h"
#include "shared/ini_file.h"
#include "tools/plan/commands.h"
#include "tools/plan/json.h"

namespace sayolt::plan {

namespace {

using std::chrono::milliseconds;

// Starts at the system time; setting it only moves this clock, as SetSystemTime would move the PC's.
class OffsetClock : public Clock {
 public:
  LocalTime now() const override {
    const QDateTime local = QDateTime::currentDateTime();
    return LocalTime{milliseconds(local.toMSecsSinceEpoch() + local.offsetFromUtc() * 1000LL)} + offset_;
  }
  MonotonicMs monotonicMs() const override {
    return std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - start_).count();
  }
  bool setUtc(UtcTime utc) override {
    offset_ = utc.time_since_epoch() - milliseconds(QDateTime::currentMSecsSinceEpoch());
    return true;
  }
  bool setLocalTimeOfDay(TimeOfDay) override { return false; }
  bool syncHardwareClock() override { return false; }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  milliseconds offset_{0};
};

// The check asks nothing of these; they are here because a platform has them.
class NoDialogs : public Dialogs {
 public:
  void messageOk(const std::string&, const std::string&) override {}
  MessageAnswer askYesNo(const std::string&, const std::string&) override { return MessageAnswer::No; }
  void notice(const std::string&, const std::string&) override {}
  std::string openFileName(const std::string&, const std::string&, const std::string&) override { return {}; }
};
class NoProcesses : public Processes {
 public:
  std::unique_ptr<RunningProcess> startExecutable(const std::string&) override { return nullptr; }
  bool isExecutableFile(const std::string&) override { return false; }
  bool openDocumentAndWait(const std::string&) override { return false; }
  bool openWorkbook(const std::string&, bool) override { return false; }
  bool fileExists(const std::string&) override { return false; }
};
class NoPower : public Power {
 public:
  bool requestShutdown() override { return false; }
  bool armWakeAlarm(std::chrono::seconds) override { return false; }
};
class NoTray : public Tray {
 public:
  void show(TrayIconKind, const std::string&) override {}
  void remove() override {}
  bool visible() const override { return false; }
  void setOnContextMenu(std::function<void()>) override {}
};

// Prints the dialog the scheduler would show.
class PrintedErrorView : public TimeServerErrorView {
 public:
  explicit PrintedErrorView(std::ostream* out) : out_(out) {}
  void show(const std::string& labelText, int outerHeightTwips, std::function<void()>) override {
    if (!out_) return;
    *out_ << "ダイアログ「" << kTimeServerErrorCaption << "」(高さ " << outerHeightTwips << " twips):\n";
    std::istringstream lines(labelText);
    for (std::string line; std::getline(lines, line);) *out_ << "  | " << line << "\n";
  }
  void close() override {}

 private:
  std::ostream* out_;
};

const char* serverLabel(int index) { return index == 0 ? "NTP1" : "NTP2"; }

struct Outcome {
  std::vector<TimeCheckAttempt> attempts;
  std::optional<TimeCheckFailureReport> failure;
  std::optional<int> startKind;
  bool ended = false;
};

void printAttempt(std::ostream& out, const TimeCheckAttempt& a) {
  out << "試行" << a.number << " " << serverLabel(a.serverIndex) << " (" << a.host << "): ";
  if (a.answer)
    out << "応答あり " << sntp::formatUtc(a.answer->utc) << " UTC\n";
  else
    out << "応答なし\n";
  out.flush();
}

void printDecision(std::ostream& out, const Outcome& o) {
  if (o.failure) {
    out << "NTP_Error.txt に追記される行: " << o.failure->logLine << "\n";
    out << "判定: " << failureCaseName(o.failure->failure) << " — "
        << (o.ended ? "スケジューラーは10秒後に終了します\n"
                    : "startKind は変わらず、スケジューラーは10秒後に続行します\n");
  } else if (o.startKind) {
    out << "判定: startKind = " << *o.startKind << (*o.startKind == 1 ? " (自動起動)\n" : " (手動起動)\n");
  } else {
    out << "判定: startKind は変わりません\n";
  }
}

void printJson(std::ostream& out, const Outcome& o) {
  out << "{\"attempts\": [";
  for (std::size_t i = 0; i < o.attempts.size(); ++i) {
    const auto& a = o.attempts[i];
    out << (i ? ", " : "") << "{\"server\": " << jsonString(serverLabel(a.serverIndex))
        << ", \"host\": " << jsonString(a.host) << ", \"answered\": " << (a.answer ? "true" : "false")
        << ", \"utc\": " << (a.answer ? jsonString(sntp::formatUtc(a.answer->utc)) : "null") << "}";
  }
  out << "], \"startKind\": " << (o.startKind ? std::to_string(*o.startKind) : "null") << ", \"failure\": ";
  if (o.failure) {
    out << "{\"case\": " << jsonString(failureCaseName(o.failure->failure))
        << ", \"label\": " << jsonString(o.failure->labelText) << ", \"log\": " << jsonString(o.failure->logLine)
        << "}";
  } else {
    out << "null";
  }
  out << "}\n";
}

}  // namespace

int timecheckCommand(const Args& args, std::ostream& out, std::ostream& err) {
  const bool json = args.size() == 2 && args[1] == "--json";
  if (args.empty() || args.size() > 2 || (args.size() == 2 && !json)) {
    err << "使い方: sayolt-plan timecheck FILE [--json]\n";
    return 2;
  }
  const std::string& file = args[0];
  std::optional<std::chrono::seconds> tolerance;
  try {
    tolerance = readStartTolerance(IniSnapshot::load(file));
  } catch (const IniError& error) {
    err << error.what() << "\n";
    return 1;
  }
  if (!tolerance) {
    err << kStartToleranceMessage << "\n";
    return 1;
  }

  // Sockets and waits need an event loop; a caller that already runs Qt keeps its own.
  static int argc = 1;
  static char name[] = "sayolt-plan";
  static char* argv[] = {name, nullptr};
  std::unique_ptr<QCoreApplication> application;
  if (!QCoreApplication::instance()) application = std::make_unique<QCoreApplication>(argc, argv);

  OffsetClock clock;
  QtEventLoop events(clock);
  const auto network = createQtNetwork();
  NoDialogs dialogs;
  NoProcesses processes;
  NoPower power;
  NoTray tray;
  Platform platform{clock, events, dialogs, processes, power, tray, *network};
  PrintedErrorView view(json ? nullptr : &out);

  Outcome outcome;
  TimeCheckOptions options;
  options.logPath = std::nullopt;         // reported, never written
  options.failureWait = milliseconds(0);  // nobody is there to read a dialog
  TimeCheckObserver observer{[&](const TimeCheckAttempt& a) {
                               outcome.attempts.push_back(a);
                               if (!json) printAttempt(out, a);
                             },
                             [&](const TimeCheckFailureReport& f) { outcome.failure = f; }};
  TimeCheck check(platform, file, view, options, observer);
  try {
    outcome.startKind = check.checkClock(*tolerance);
  } catch (const ProgramEnded&) {
    outcome.ended = true;
  }
  if (json)
    printJson(out, outcome);
  else
    printDecision(out, outcome);
  return outcome.ended ? 1 : 0;
}

}  // namespace sayolt::plan
