// The clock check on virtual time: the order of attempts, the start-kind decision and the four
// failure cases with their dialog, log line and end.
#include "scheduler/timecheck/check_clock.h"

#include <gtest/gtest.h>

#include "scheduler/core/program_end.h"
#include "scheduler/timecheck/error_log.h"
#include "tests/timecheck/timecheck_test_support.h"

namespace sayolt {
namespace {

using namespace std::chrono_literals;
using test::local;

constexpr const char* kNtp1 = "ntp1.example";
constexpr const char* kNtp2 = "ntp2.example";

class CheckClock : public ::testing::Test {
 protected:
  void start(const char* trueStart, const std::string& nextStart = "7:30") {
    world = std::make_unique<test::FakeWithServers>(local(trueStart));
    std::string text = "[NTPサーバー]\r\nサーバー0=" + std::string(kNtp1) + "\r\nサーバー1=" + kNtp2 + "\r\n";
    if (!nextStart.empty()) text += "[次回起動]\r\n時刻=" + nextStart + "\r\n";
    test::writeSettings(settingsPath(), text);
    TimeCheckOptions options;
    options.logPath = logPath();
    check = std::make_unique<TimeCheck>(
        fake().platform(), settingsPath(), view, options,
        TimeCheckObserver{[this](const TimeCheckAttempt& a) { attempts.push_back(a); },
                          [this](const TimeCheckFailureReport& f) { failures.push_back(f); }});
  }
  void serve(const char* host, std::vector<FakeTimeReply> replies) {
    world->network->setServer(host, std::move(replies));
  }
  FakePlatform& fake() { return world->fake; }
  std::filesystem::path settingsPath() const { return folder.path() / "Sayolt設定.ini"; }
  std::filesystem::path logPath() const { return folder.path() / kErrorLogFileName; }
  std::string log() const { return test::readBytes(logPath()); }

  test::TempFolder folder;
  std::unique_ptr<test::FakeWithServers> world;
  RecordingTimeServerErrorView view;
  std::unique_ptr<TimeCheck> check;
  std::vector<TimeCheckAttempt> attempts;
  std::vector<TimeCheckFailureReport> failures;
};

// Next start 7:30, tolerance 120 s: the window is 7:32:00..7:33:00.
TEST_F(CheckClock, FirstAnswerInWindow_AutomaticAfterOneAttempt) {
  start("2025-07-01 07:32:09");
  fake().setPcClock(local("2025-07-01 06:00:00"));
  serve(kNtp1, {FakeTimeReply::trueTime(1s)});
  EXPECT_EQ(check->checkClock(120s), 1);
  EXPECT_EQ(world->hostsAsked(), std::vector<std::string>{kNtp1});
  EXPECT_EQ(fake().pcNow(), local("2025-07-01 07:32:10"));
  ASSERT_EQ(attempts.size(), 1u);
  EXPECT_EQ(attempts[0].clockAfter, 7h + 32min + 10s);
  EXPECT_TRUE(view.shown.empty());
  EXPECT_FALSE(std::filesystem::exists(logPath()));
}

TEST_F(CheckClock, WindowBounds_BothEndsIncluded) {
  // Outside the window NTP2 is asked, and it agrees (its answer repeats NTP1's second).
  for (const auto& [trueStart, kind] : {std::pair{"2025-07-01 07:31:58", 0}, std::pair{"2025-07-01 07:31:59", 1},
                                        std::pair{"2025-07-01 07:32:59", 1}, std::pair{"2025-07-01 07:33:00", 0}}) {
    SCOPED_TRACE(trueStart);
    attempts.clear();
    start(trueStart);
    serve(kNtp1, {FakeTimeReply::trueTime(1s)});
    serve(kNtp2, {FakeTimeReply::trueTime(1s, -1s)});
    EXPECT_EQ(check->checkClock(120s), kind);
    EXPECT_EQ(attempts.size(), kind == 1 ? 1u : 2u);
  }
}

TEST_F(CheckClock, SecondServerAgrees_ManualAfterTwoAttempts) {
  start("2025-07-01 07:33:00");
  serve(kNtp1, {FakeTimeReply::trueTime(1s)});  // 7:33:01, one second late for the window
  serve(kNtp2, {FakeTimeReply::trueTime(1s)});  // 7:33:02
  EXPECT_EQ(check->checkClock(120s), 0);
  EXPECT_EQ(world->hostsAsked(), (std::vector<std::string>{kNtp1, kNtp2}));
}

TEST_F(CheckClock, AgreementBounds_ZeroToSixtySecondsLater) {
  // NTP2 is asked when NTP1 has answered, one second later; its shift moves t2 - t1 away from 1.
  for (const auto& [shift, agrees] :
       {std::pair{59s, true}, std::pair{60s, false}, std::pair{-1s, true}, std::pair{-2s, false}}) {
    SCOPED_TRACE(shift.count());
    start("2025-07-01 09:00:00");
    serve(kNtp1, {FakeTimeReply::trueTime(1s), FakeTimeReply::silent()});
    serve(kNtp2, {FakeTimeReply::trueTime(1s, shift), FakeTimeReply::silent()});
    if (agrees) {
      EXPECT_EQ(check->checkClock(120s), 0);
    } else {
      // Neither answers again: the later attempts at both decide, and both are silent.
      EXPECT_THROW(check->checkClock(120s), ProgramEnded);
      ASSERT_EQ(failures.size(), 1u);
      EXPECT_EQ(failures.back().failure, TimeCheckFailure::BothTimedOut);
      failures.clear();
    }
  }
}

TEST_F(CheckClock, FirstSilentSecondOutside_ThirdAttemptAgrees) {
  start("2025-07-01 07:40:00");
  serve(kNtp1, {FakeTimeReply::silent(), FakeTimeReply::trueTime(1s)});
  serve(kNtp2, {FakeTimeReply::trueTime(1s)});
  EXPECT_EQ(check->checkClock(120s), 0);
  EXPECT_EQ(world->hostsAsked(), (std::vector<std::string>{kNtp1, kNtp2, kNtp1}));
  EXPECT_EQ(fake().monotonicNow(), 12'000);
}

TEST_F(CheckClock, UnresolvableFirstServer_SecondAnswersWithoutTheTenSecondWait) {
  start("2025-07-01 09:00:00");
  serve(kNtp1, {FakeTimeReply::noSuchName(40ms)});
  serve(kNtp2, {FakeTimeReply::trueTime(1s)});
  // Only NTP2 answers: the dialog says so and the check carries on.
  EXPECT_EQ(check->checkClock(120s), std::nullopt);
  EXPECT_EQ(world->hostsAsked(), (std::vector<std::string>{kNtp2, kNtp2}));
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].failure, TimeCheckFailure::Ntp1TimedOut);
  // Two lookups of 40 ms and two answers of one second, then the dialog's ten seconds: no
  // attempt at NTP1 waited its ten seconds.
  EXPECT_EQ(fake().monotonicNow(), 12'080);
}

TEST_F(CheckClock, LaterAnswerInWindow_Automatic) {
  // The PC came on early; by NTP2's second answer the window has opened.
  start("2025-07-01 07:31:38");
  serve(kNtp1, {FakeTimeReply::silent()});
  serve(kNtp2, {FakeTimeReply::silent(), FakeTimeReply::trueTime(2s)});
  EXPECT_EQ(check->checkClock(120s), 1);
  EXPECT_EQ(attempts.size(), 4u);
  EXPECT_EQ(fake().pcNow(), local("2025-07-01 07:32:10"));
}

TEST_F(CheckClock, NothingRecorded_WindowIsFirstMinuteOfDay) {
  for (const std::string& recorded : {std::string(), std::string("abc"), std::string("25:00")}) {
    SCOPED_TRACE(recorded);
    start("2025-07-01 00:00:59", recorded);
    serve(kNtp1, {FakeTimeReply::trueTime(1s), FakeTimeReply::trueTime(1s)});
    EXPECT_EQ(check->checkClock(120s), 1);  // 0:01:00, the last second of the window
    start("2025-07-01 00:01:00", recorded);
    serve(kNtp1, {FakeTimeReply::trueTime(1s)});
    EXPECT_EQ(check->checkClock(120s), 0);  // NTP2 agrees one second later
  }
}

TEST_F(CheckClock, WindowPastMidnight_TimesOfDayDoNotWrap) {
  // 23:59:30 + 20 s: the window reaches 24:00:50, but 0:00:10 is a small time of day.
  start("2025-07-01 23:59:54", "23:59:30");
  serve(kNtp1, {FakeTimeReply::trueTime(1s)});
  EXPECT_EQ(check->checkClock(20s), 1);
  start("2025-07-01 00:00:09", "23:59:30");
  serve(kNtp1, {FakeTimeReply::trueTime(1s)});
  EXPECT_EQ(check->checkClock(20s), 0);
  EXPECT_EQ(attempts.back().serverIndex, 1);
  // A target that itself lies past midnight is never reached.
  start("2025-07-02 00:00:29", "23:59:30");
  serve(kNtp1, {FakeTimeReply::trueTime(1s)});
  EXPECT_EQ(check->checkClock(60s), 0);
}

TEST_F(CheckClock, NoAnswerAtAll_DialogLogAndEndAfterTenSeconds) {
  start("2025-07-01 07:00:00");
  serve(kNtp1, {FakeTimeReply::silent()});
  serve(kNtp2, {FakeTimeReply::silent()});
  try {
    check->checkClock(120s);
    FAIL() << "the program should have ended";
  } catch (const ProgramEnded&) {
  }
  EXPECT_TRUE(fake().exitRequested());
  EXPECT_EQ(fake().monotonicNow(), 50'000);
  ASSERT_EQ(view.shown.size(), 1u);
  EXPECT_EQ(view.shown[0].outerHeightTwips, 1800);
  EXPECT_EQ(view.shown[0].labelText,
            "2つのNTPサーバーがいずれもタイムアウトになりました。\n\n10秒後にプログラムを終了します。");
  EXPECT_EQ(log(),
            "2025/07/01 7:00:40      \x83T\x81[\x83o\x81[1\x81"
            "A2\x82\xc6\x82\xe0\x83^\x83"
            "C\x83\x80\x83"
            "A\x83"
            "E\x83g\x82\xb5\x82\xbd\x82\xcc\x82\xc5\x81"
            "A\x83v\x83\x8d\x83O\x83\x89\x83\x80\x82\xf0"
            "\x8fI\x97\xb9\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81"
            "B\r\n");
}

TEST_F(CheckClock, OnlyNtp1Answers_CarriesOnWithStartKindUnchanged) {
  start("2025-07-01 07:00:00");
  serve(kNtp1, {FakeTimeReply::trueTime(1s)});
  serve(kNtp2, {FakeTimeReply::silent()});
  test::writeBytes(logPath(), "earlier line\r\n");
  EXPECT_EQ(check->checkClock(120s), std::nullopt);
  EXPECT_FALSE(fake().exitRequested());
  EXPECT_EQ(attempts.size(), 4u);
  // About twenty seconds of waiting for NTP2, then the dialog's ten.
  EXPECT_EQ(fake().monotonicNow(), 1'000 + 10'000 + 1'000 + 10'000 + 10'000);
  ASSERT_EQ(view.shown.size(), 1u);
  EXPECT_FALSE(view.visible);
  EXPECT_EQ(view.shown[0].outerHeightTwips, 2595);
  EXPECT_EQ(view.shown[0].labelText,
            "NTP1           7:00:12\nNTP2           タイムアウト\n\n"
            "10秒後にNTP1の時刻を採用してプログラムを続行します。\n"
            "プログラムを終了する場合は下のボタンを押してください。");
  // The clock keeps NTP1's answer and has run on through the later attempts.
  EXPECT_EQ(fake().pcNow(), local("2025-07-01 07:00:32"));
  EXPECT_EQ(log(),
            "earlier line\r\n2025/07/01 7:00:22      \x83T\x81[\x83o\x81[2\x82\xcd\x83^\x83"
            "C\x83\x80\x83"
            "A\x83"
            "E\x83g\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81"
            "B\r\n");
}

// A log that cannot take the line (here a folder stands in its place) does not stop the check,
// and the report says the line is lost, so that the scheduler can keep it elsewhere.
TEST_F(CheckClock, LogThatCannotBeWritten_CarriesOnAndReportsTheLostLine) {
  start("2025-07-01 07:00:00");
  serve(kNtp1, {FakeTimeReply::trueTime(1s)});
  serve(kNtp2, {FakeTimeReply::silent()});
  std::filesystem::create_directory(logPath());
  EXPECT_EQ(check->checkClock(120s), std::nullopt);
  EXPECT_FALSE(fake().exitRequested());
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_FALSE(failures[0].logWritten);
  EXPECT_FALSE(failures[0].logLine.empty());
  EXPECT_TRUE(std::filesystem::is_directory(logPath()));

  std::filesystem::remove(logPath());
  failures.clear();
  start("2025-07-02 07:00:00");
  serve(kNtp1, {FakeTimeReply::trueTime(1s)});
  serve(kNtp2, {FakeTimeReply::silent()});
  EXPECT_EQ(check->checkClock(120s), std::nullopt);
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_TRUE(failures[0].logWritten);
}

TEST_F(CheckClock, OnlyNtp2Answers_ShowsItsTimeAndCarriesOn) {
  start("2025-07-01 07:00:00");
  serve(kNtp1, {FakeTimeReply::silent()});
  serve(kNtp2, {FakeTimeReply::trueTime(2s), FakeTimeReply::trueTime(2s, 65s)});
  EXPECT_EQ(check->checkClock(120s), std::nullopt);
  ASSERT_EQ(view.shown.size(), 1u);
  EXPECT_EQ(view.shown[0].outerHeightTwips, 2595);
  // t2 is the last answer: 10 s + 2 s + 10 s + 2 s in, plus 65 s of shift.
  EXPECT_EQ(view.shown[0].labelText,
            "NTP1           タイムアウト\nNTP2           7:01:29\n\n"
            "10秒後にNTP2の時刻を採用してプログラムを続行します。\n"
            "プログラムを終了する場合は下のボタンを押してください。");
  EXPECT_EQ(log(),
            "2025/07/01 7:01:29      \x83T\x81[\x83o\x81[1\x82\xcd\x83^\x83"
            "C\x83\x80\x83"
            "A\x83"
            "E\x83g\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81"
            "B\r\n");
}

TEST_F(CheckClock, BothAnswerNeverAgree_EndsAfterDialog) {
  start("2025-07-01 07:00:00");
  serve(kNtp1, {FakeTimeReply::trueTime(1s)});
  serve(kNtp2, {FakeTimeReply::trueTime(1s, 120s)});
  EXPECT_THROW(check->checkClock(120s), ProgramEnded);
  EXPECT_EQ(attempts.size(), 4u);
  ASSERT_EQ(view.shown.size(), 1u);
  EXPECT_EQ(view.shown[0].outerHeightTwips, 1800);
  EXPECT_EQ(view.shown[0].labelText,
            "NTP1           7:00:03\nNTP2           7:02:04\n\n正確な時刻が取得できませんでした。\n"
            "10秒後にプログラムを終了します。\n申し訳ありませんがプログラムを再起動してください。");
  EXPECT_EQ(log(),
            "2025/07/01 7:02:04      \x8c\xb4\x88\xf6\x95s\x96\xbe\x82\xc5\x83v\x83\x8d\x83O\x83\x89\x83\x80"
            "\x82\xf0\x8fI\x97\xb9\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81"
            "B\r\n");
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_STREQ(failureCaseName(failures[0].failure), "disagree");
  EXPECT_TRUE(failures[0].endsProgram);
}

TEST_F(CheckClock, ExitButton_EndsAtOnceDuringTheWait) {
  start("2025-07-01 07:00:00");
  serve(kNtp1, {FakeTimeReply::trueTime(1s)});
  serve(kNtp2, {FakeTimeReply::silent()});
  // The dialog is shown at 22 s; the user clicks three seconds later.
  fake().scheduleAt(25'000, [&] { EXPECT_TRUE(view.clickExit()); });
  EXPECT_THROW(check->checkClock(120s), ProgramEnded);
  EXPECT_EQ(fake().monotonicNow(), 25'000);
  EXPECT_TRUE(fake().exitRequested());
}

TEST_F(CheckClock, EmptyServerNames_NoRequestsAndEnds) {
  world = std::make_unique<test::FakeWithServers>(local("2025-07-01 07:00:00"));
  test::writeSettings(settingsPath(), "[NTPサーバー]\r\nサーバー0=\r\n");
  TimeCheckOptions options;
  options.logPath = logPath();
  TimeCheck emptyCheck(fake().platform(), settingsPath(), view, options);
  EXPECT_THROW(emptyCheck.checkClock(120s), ProgramEnded);
  EXPECT_EQ(world->requestsSent(), 0);
  EXPECT_EQ(fake().monotonicNow(), 10'000);  // only the dialog's wait
  EXPECT_EQ(log().substr(0, 19), "2025/07/01 7:00:00 ");
}

TEST_F(CheckClock, ExitRequestedDuringAttempt_StopsWithoutDialog) {
  start("2025-07-01 07:00:00");
  serve(kNtp1, {FakeTimeReply::silent()});
  fake().scheduleAt(4'000, [&] { fake().requestExit(0); });
  EXPECT_EQ(check->checkClock(120s), std::nullopt);
  EXPECT_EQ(world->requestsSent(), 1);
  EXPECT_TRUE(view.shown.empty());
  EXPECT_FALSE(std::filesystem::exists(logPath()));
}

}  // namespace
}  // namespace sayolt
