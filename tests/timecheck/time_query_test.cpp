// One attempt on virtual time: how long it waits, which datagram it takes, how it sets the clock.
#include "scheduler/timecheck/time_query.h"

#include <gtest/gtest.h>

#include "tests/timecheck/timecheck_test_support.h"

namespace sayolt {
namespace {

using namespace std::chrono_literals;
using test::local;

class TimeQueryOnVirtualTime : public ::testing::Test {
 protected:
  test::FakeWithServers world{local("2025-07-01 07:30:00")};
  FakePlatform& fake = world.fake;
  TimeQuery query{fake.platform()};

  void serve(std::vector<FakeTimeReply> replies) {
    world.network->setServer("ntp.example", std::move(replies), "192.0.2.10");
  }
};

TEST_F(TimeQueryOnVirtualTime, Answer_SetsClockToServerTimeInWholeSeconds) {
  fake.setPcClock(local("2025-07-01 05:00:00"));
  serve({FakeTimeReply::trueTime(1s, 750ms)});
  const auto answer = query.ask("ntp.example");
  ASSERT_TRUE(answer);
  EXPECT_TRUE(answer->clockSet);
  EXPECT_EQ(fake.monotonicNow(), 1000);
  // True UTC 22:30:01.750 the day before; the fraction is dropped.
  EXPECT_EQ(sntp::formatUtc(answer->utc), "2025/06/30 22:30:01");
  EXPECT_EQ(fake.pcNow(), local("2025-07-01 07:30:01"));
  ASSERT_EQ(world.requestsSent(), 1);
  const auto& sent = fake.records().front();
  EXPECT_EQ(sent.field("port"), "123");
  EXPECT_EQ(sent.field("localPort"), "1024");
  EXPECT_EQ(sent.field("bytes"), "48");
}

TEST_F(TimeQueryOnVirtualTime, Deadline_AnswerUpToTenSecondsCounts) {
  for (const auto& [delay, counts] :
       {std::pair{9'999ms, true}, std::pair{10'000ms, true}, std::pair{10'001ms, false}}) {
    SCOPED_TRACE(delay.count());
    const MonotonicMs start = fake.monotonicNow();
    serve({FakeTimeReply::trueTime(delay)});
    const auto answer = query.ask("ntp.example");
    EXPECT_EQ(answer.has_value(), counts);
    EXPECT_EQ(fake.monotonicNow() - start, counts ? delay.count() : 10'000);
  }
}

TEST_F(TimeQueryOnVirtualTime, Silent_WaitsTenSecondsAndLeavesClock) {
  serve({FakeTimeReply::silent()});
  EXPECT_FALSE(query.ask("ntp.example"));
  EXPECT_EQ(fake.monotonicNow(), 10'000);
  for (const auto& r : fake.records()) EXPECT_NE(r.event, "clock-set");
}

TEST_F(TimeQueryOnVirtualTime, NoRequestPossible_EndsAtOnce) {
  serve({FakeTimeReply::sendFails()});
  EXPECT_FALSE(query.ask("ntp.example"));
  EXPECT_FALSE(query.ask(""));
  EXPECT_EQ(fake.monotonicNow(), 0);
  EXPECT_EQ(world.requestsSent(), 0);
}

TEST_F(TimeQueryOnVirtualTime, NameThatDoesNotResolve_EndsWhenTheLookupFails) {
  serve({FakeTimeReply::noSuchName(30ms)});
  EXPECT_FALSE(query.ask("ntp.example"));
  EXPECT_EQ(fake.monotonicNow(), 30);
  for (const auto& r : fake.records()) EXPECT_NE(r.event, "clock-set");
}

TEST_F(TimeQueryOnVirtualTime, RefusedDatagrams_IgnoredAndWaitGoesOn) {
  FakeTimeReply garbage;
  garbage.kind = FakeTimeReply::Kind::Bytes;
  garbage.delay = 2s;
  garbage.bytes = std::vector<std::uint8_t>(48, 0);  // stratum 0, no time: kiss-o'-death
  FakeTimeReply stranger = FakeTimeReply::trueTime(3s, 7200s);
  stranger.fromAddress = "203.0.113.5";
  FakeTimeReply otherPort = FakeTimeReply::trueTime(4s, 7200s);
  otherPort.fromPort = 1234;
  for (const FakeTimeReply& bad : {garbage, stranger, otherPort}) {
    SCOPED_TRACE(bad.delay.count());
    const MonotonicMs start = fake.monotonicNow();
    // The network scripts one reply per request; a second request is never made, so a good
    // answer can only come from the same attempt if the bad one is passed over.
    serve({bad});
    EXPECT_FALSE(query.ask("ntp.example"));
    EXPECT_EQ(fake.monotonicNow() - start, 10'000);
  }
  for (const auto& r : fake.records()) EXPECT_NE(r.event, "clock-set");
}

TEST_F(TimeQueryOnVirtualTime, PortTaken_AnotherLocalPortStillGetsTheAnswer) {
  world.network->takenPorts.insert(1024);
  serve({FakeTimeReply::trueTime()});
  ASSERT_TRUE(query.ask("ntp.example"));
  EXPECT_NE(fake.records().front().field("localPort"), "1024");
}

TEST_F(TimeQueryOnVirtualTime, ClockRefused_AnswerStillReported) {
  fake.clockSettable = false;
  serve({FakeTimeReply::trueTime()});
  const auto answer = query.ask("ntp.example");
  ASSERT_TRUE(answer);
  EXPECT_FALSE(answer->clockSet);
}

TEST_F(TimeQueryOnVirtualTime, ExitRequestedWhileWaiting_NoAnswerAndClockUntouched) {
  serve({FakeTimeReply::trueTime(5s)});
  fake.scheduleAfter(2s, [&] { fake.requestExit(0); });
  EXPECT_FALSE(query.ask("ntp.example"));
  EXPECT_EQ(fake.monotonicNow(), 2000);
  for (const auto& r : fake.records()) EXPECT_NE(r.event, "clock-set");
}

}  // namespace
}  // namespace sayolt
