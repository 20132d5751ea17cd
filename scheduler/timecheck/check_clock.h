#pragma once
// The scheduler's time check: up to four attempts at the two time servers, the start-kind
// decision, and the error dialog and log when the servers cannot be used.
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "scheduler/core/clock_check.h"
#include "scheduler/timecheck/time_query.h"
#include "scheduler/timecheck/time_server_error_view.h"

namespace sayolt {

enum class TimeCheckFailure {
  BothTimedOut,  // neither server answered: the program ends
  Ntp1TimedOut,  // only NTP2 answered: carry on with its time
  Ntp2TimedOut,  // only NTP1 answered: carry on with its time
  Disagree,      // both answered, never in agreement: the program ends
};

// "both-timeout", "ntp1-timeout", "ntp2-timeout", "disagree".
const char* failureCaseName(TimeCheckFailure failure);

struct TimeCheckAttempt {
  int number = 0;       // 1..4 within one check
  int serverIndex = 0;  // 0 = NTP1, 1 = NTP2
  std::string host;
  std::optional<TimeAnswer> answer;  // nullopt: no usable answer
  TimeOfDay clockAfter{0};           // the clock's time of day right after an answer
};

struct TimeCheckFailureReport {
  TimeCheckFailure failure = TimeCheckFailure::BothTimedOut;
  std::string labelText;  // Label1 of the dialog, lines joined with "\n"
  int outerHeightTwips = 0;
  std::string logLine;     // as appended to the log, without the line end
  bool logWritten = true;  // false: the log could not take the line (a full disk), so it is lost
  bool endsProgram = false;
};

// Lets the command-line tool and the simulator tell what the check did.
struct TimeCheckObserver {
  std::function<void(const TimeCheckAttempt&)> onAttempt;
  std::function<void(const TimeCheckFailureReport&)> onFailure;  // after the dialog and the log
};

struct TimeCheckOptions {
  TimeQueryOptions query;
  std::optional<std::filesystem::path> logPath;  // nullopt: the log line is reported, not written
  std::chrono::milliseconds failureWait{10'000};
};

// The recorded next start plus the start tolerance, in seconds after midnight; 0 when nothing
// usable is recorded. Not taken modulo a day: a target past midnight is never reached.
std::chrono::seconds nextStartTarget(std::string_view recordedNextStart, std::chrono::seconds startTolerance);

class TimeCheck : public ClockCheck {
 public:
  TimeCheck(Platform& platform, std::filesystem::path settingsPath, TimeServerErrorView& errorView,
            TimeCheckOptions options = {}, TimeCheckObserver observer = {});

  // Returns nullopt without a decision also when the program was asked to exit during a wait.
  std::optional<int> checkClock(std::chrono::seconds startTolerance) override;

 private:
  struct Run;
  bool attempt(Run& run, int serverIndex);
  std::optional<int> handleFailure(const Run& run);

  Platform& platform_;
  std::filesystem::path settingsPath_;
  TimeServerErrorView& errorView_;
  TimeCheckOptions options_;
  TimeCheckObserver observer_;
};

}  // namespace sayolt
