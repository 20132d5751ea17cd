#include "scheduler/timecheck/check_clock.h"

#include <array>

#include "scheduler/core/program_end.h"
#include "scheduler/timecheck/error_log.h"
#include "shared/ini_file.h"
#include "shared/settings_keys.h"
#include "shared/text_rules.h"

namespace sayolt {

namespace {

using std::chrono::seconds;

constexpr seconds kWindowLength{60};
constexpr seconds kAgreementLimit{60};

constexpr const char* kLabels[2] = {"NTP1", "NTP2"};
constexpr const char* kColumn = "           ";  // after the label, so times stand in a column
constexpr const char* kTimedOut = "タイムアウト";

constexpr const char* kLogBothTimedOut = "      サーバー1、2ともタイムアウトしたので、プログラムを終了しました。";
constexpr const char* kLogNtp1TimedOut = "      サーバー1はタイムアウトしました。";
constexpr const char* kLogNtp2TimedOut = "      サーバー2はタイムアウトしました。";
constexpr const char* kLogDisagree = "      原因不明でプログラムを終了しました。";

std::string serverLine(int index, const std::optional<TimeOfDay>& time) {
  return std::string(kLabels[index]) + kColumn + (time ? formatHourMinuteSecond(*time) : kTimedOut);
}

std::string carryOnText(int adopted) {
  return std::string("10秒後に") + kLabels[adopted] +
         "の時刻を採用してプログラムを続行します。\n"
         "プログラムを終了する場合は下のボタンを押してください。";
}

}  // namespace

const char* failureCaseName(TimeCheckFailure failure) {
  switch (failure) {
    case TimeCheckFailure::BothTimedOut:
      return "both-timeout";
    case TimeCheckFailure::Ntp1TimedOut:
      return "ntp1-timeout";
    case TimeCheckFailure::Ntp2TimedOut:
      return "ntp2-timeout";
    case TimeCheckFailure::Disagree:
      return "disagree";
  }
  return "";
}

seconds nextStartTarget(std::string_view recordedNextStart, seconds startTolerance) {
  // An unreadable value counts as none recorded, so the check still goes on.
  const auto recorded = parseTimeOfDay(recordedNextStart);
  if (!recorded) return seconds{0};
  return *recorded + startTolerance;
}

// The state of one run of checkClock: every decision uses this run's answers only.
struct TimeCheck::Run {
  std::array<std::string, 2> servers;
  seconds target{0};
  std::array<bool, 2> answered{false, false};  // the last attempt at each server
  std::array<TimeOfDay, 2> times{TimeOfDay{0}, TimeOfDay{0}};
  int attempts = 0;
  bool stopped = false;  // the program was asked to exit

  bool agrees(int earlier, int later) const {
    if (!answered[earlier] || !answered[later]) return false;
    const auto difference = times[later] - times[earlier];
    return difference >= seconds{0} && difference <= kAgreementLimit;
  }
};

TimeCheck::TimeCheck(Platform& platform, std::filesystem::path settingsPath, TimeServerErrorView& errorView,
                     TimeCheckOptions options, TimeCheckObserver observer)
    : platform_(platform),
      settingsPath_(std::move(settingsPath)),
      errorView_(errorView),
      options_(std::move(options)),
      observer_(std::move(observer)) {}

bool TimeCheck::attempt(Run& run, int serverIndex) {
  run.answered[serverIndex] = false;
  TimeQuery query(platform_, options_.query);
  TimeCheckAttempt report;
  report.number = ++run.attempts;
  report.serverIndex = serverIndex;
  report.host = run.servers[serverIndex];
  report.answer = query.ask(run.servers[serverIndex]);
  if (platform_.events.exitRequested()) {
    run.stopped = true;
    return false;
  }
  if (report.answer) {
    run.answered[serverIndex] = true;
    run.times[serverIndex] = timeOfDayOf(platform_.clock.now());
    report.clockAfter = run.times[serverIndex];
  }
  if (observer_.onAttempt) observer_.onAttempt(report);
  // Times of day without dates: a window reaching past midnight does not wrap.
  const seconds t = run.times[serverIndex];
  return run.answered[serverIndex] && run.target <= t && t <= run.target + kWindowLength;
}

std::optional<int> TimeCheck::checkClock(seconds startTolerance) {
  Run run;
  std::string nextStart;
  try {
    const auto settings = IniSnapshot::load(settingsPath_);
    for (int i = 0; i < 2; ++i) run.servers[i] = settings.get(keys::kNtpSection, keys::ntpServerKey(i));
    nextStart = settings.get(keys::kNextStartSection, keys::kNextStartKey);
  } catch (const IniError&) {
    // Unreadable like a missing file: no servers, no next start; the failure dialog says so.
  }
  run.target = nextStartTarget(nextStart, startTolerance);

  if (attempt(run, 0)) return 1;
  if (run.stopped) return std::nullopt;
  if (attempt(run, 1)) return 1;
  if (run.stopped) return std::nullopt;
  if (run.agrees(0, 1)) return 0;
  if (attempt(run, 0)) return 1;
  if (run.stopped) return std::nullopt;
  if (run.agrees(1, 0)) return 0;
  if (attempt(run, 1)) return 1;
  if (run.stopped) return std::nullopt;
  if (run.agrees(0, 1)) return 0;
  return handleFailure(run);
}

std::optional<int> TimeCheck::handleFailure(const Run& run) {
  TimeCheckFailureReport report;
  std::optional<TimeOfDay> t1, t2;
  if (run.answered[0]) t1 = run.times[0];
  if (run.answered[1]) t2 = run.times[1];
  const std::string both = serverLine(0, t1) + "\n" + serverLine(1, t2) + "\n\n";
  const char* logMessage = nullptr;
  if (!t1 && !t2) {
    report.failure = TimeCheckFailure::BothTimedOut;
    report.labelText =
        "2つのNTPサーバーがいずれもタイムアウトになりました。\n\n"
        "10秒後にプログラムを終了します。";
    logMessage = kLogBothTimedOut;
  } else if (t1 && !t2) {
    report.failure = TimeCheckFailure::Ntp2TimedOut;
    report.labelText = both + carryOnText(0);
    logMessage = kLogNtp2TimedOut;
  } else if (!t1 && t2) {
    report.failure = TimeCheckFailure::Ntp1TimedOut;
    report.labelText = both + carryOnText(1);
    logMessage = kLogNtp1TimedOut;
  } else {
    report.failure = TimeCheckFailure::Disagree;
    report.labelText = both +
                       "正確な時刻が取得できませんでした。\n"
                       "10秒後にプログラムを終了します。\n"
                       "申し訳ありませんがプログラムを再起動してください。";
    logMessage = kLogDisagree;
  }
  report.endsProgram = report.failure == TimeCheckFailure::BothTimedOut || report.failure == TimeCheckFailure::Disagree;
  report.outerHeightTwips = report.endsProgram ? kTimeServerErrorHeightEnding : kTimeServerErrorHeightCarryOn;

  // The click comes from the event loop: it only stops the wait, and the program ends from here.
  const auto exitClicked = std::make_shared<bool>(false);
  errorView_.show(report.labelText, report.outerHeightTwips, [exitClicked] { *exitClicked = true; });
  report.logLine = errorLogLine(platform_.clock.now(), logMessage);
  // The log is a courtesy: a full disk must not stop the check.
  if (options_.logPath) report.logWritten = appendErrorLogLine(*options_.logPath, report.logLine);
  if (observer_.onFailure) observer_.onFailure(report);

  const MonotonicMs start = platform_.clock.monotonicMs();
  platform_.events.runUntil([&] { return *exitClicked; }, start + options_.failureWait.count());
  errorView_.close();
  const std::string reason = std::string(logMessage).substr(6);
  if (*exitClicked || report.endsProgram) endProgram(platform_.events, reason);
  return std::nullopt;
}

}  // namespace sayolt
