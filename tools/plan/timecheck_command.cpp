// "sayolt-plan timecheck FILE [--json]": the scheduler's clock check against the file's time
// servers, for real over the network, on a clock of its own so the machine's clock stays as it is.
#include <QCoreApplication>
#include <chrono>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>

#include "platform/null/null_platform.h"
#include "scheduler/core/program_end.h"
#include "scheduler/core/schedule_model.h"
#include "scheduler/timecheck/check_clock.h"
#include "scheduler/timecheck/error_log.h"
#include "scheduler/timecheck/sntp_packet.h"
#include "shared/ini_file.h"
#include "shared/utf8_path.h"
#include "tools/plan/commands.h"
#include "tools/plan/json.h"
#include "tools/plan/settings_file_arg.h"

namespace sayolt::plan {

namespace {

using std::chrono::milliseconds;

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

const char* failureMeaning(TimeCheckFailure failure) {
  switch (failure) {
    case TimeCheckFailure::BothTimedOut:
      return "どちらのタイムサーバーも応答しません";
    case TimeCheckFailure::Ntp1TimedOut:
      return "サーバー1が応答しません";
    case TimeCheckFailure::Ntp2TimedOut:
      return "サーバー2が応答しません";
    case TimeCheckFailure::Disagree:
      return "二つのサーバーの時刻が一致しません";
  }
  return "";
}

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
    out << kErrorLogFileName << " に追記される行: " << o.failure->logLine << "\n";
    out << "判定: " << failureMeaning(o.failure->failure) << " (" << failureCaseName(o.failure->failure) << ") — "
        << (o.ended ? "スケジューラーは10秒後に終了します\n"
                    : "起動の種類は決まらず (起動時なら手動起動のまま)、スケジューラーは10秒後に続行します\n");
  } else if (o.startKind) {
    out << "判定: " << (*o.startKind == 1 ? "自動起動" : "手動起動") << "\n";
  } else {
    out << "判定: 起動の種類は決まりません (起動時なら手動起動のまま)\n";
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
  if (!settingsFileExists(args[0], err)) return 1;
  const std::filesystem::path file = pathFromUtf8(args[0]);
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

  // The servers' answer moves only the null platform's clock.
  const auto null = NullPlatform::create();
  Platform& platform = null->platform();
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
