#include "platform/linux/clock_linux.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

namespace sayolt {
namespace {

using namespace std::chrono;

// Puts the process into a zone for one test and back afterwards.
class ScopedZone {
 public:
  explicit ScopedZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) old_ = old;
    ::setenv("TZ", zone, 1);
    ::tzset();
  }
  ~ScopedZone() {
    if (old_) {
      ::setenv("TZ", old_->c_str(), 1);
    } else {
      ::unsetenv("TZ");
    }
    ::tzset();
  }

 private:
  std::optional<std::string> old_;
};

std::time_t utc(year_month_day date, seconds timeOfDay) {
  return static_cast<std::time_t>((sys_days{date} + timeOfDay).time_since_epoch().count());
}

TEST(AdjtimeTimescale, ThirdLineDecides_UtcByDefault) {
  EXPECT_EQ(parseAdjtimeTimescale("0.0 0 0.0\n0\nLOCAL\n"), RtcTimescale::Local);
  EXPECT_EQ(parseAdjtimeTimescale("0.0 0 0.0\r\n0\r\nLOCAL\r\n"), RtcTimescale::Local);
  EXPECT_EQ(parseAdjtimeTimescale("0.0 0 0.0\n0\nLOCAL"), RtcTimescale::Local);
  EXPECT_EQ(parseAdjtimeTimescale("0.0 0 0.0\n0\nUTC\n"), RtcTimescale::Utc);
  EXPECT_EQ(parseAdjtimeTimescale("0.0 0 0.0\n0\nlocal\n"), RtcTimescale::Utc);
  EXPECT_EQ(parseAdjtimeTimescale("LOCAL\n0\n"), RtcTimescale::Utc);
  EXPECT_EQ(parseAdjtimeTimescale(""), RtcTimescale::Utc);
}

TEST(AdjtimeTimescale, ReadFromFile_UtcWhenMissing) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string path = dir.filePath("adjtime").toStdString();
  EXPECT_EQ(readRtcTimescale(path), RtcTimescale::Utc);
  std::ofstream(path) << "0.000000 1700000000 0.000000\n1700000000\nLOCAL\n";
  EXPECT_EQ(readRtcTimescale(path), RtcTimescale::Local);
}

TEST(LocalTimeOfDayTarget, KeepsTheLocalDate) {
  ScopedZone zone("Asia/Tokyo");
  // 2024-03-31 12:00 JST; the target 10:00:10 JST is 01:00:10 UTC of the same day.
  const std::time_t now = utc(2024y / 3 / 31, 3h);
  EXPECT_EQ(localTimeOfDayTarget(now, 10h + 10s), utc(2024y / 3 / 31, 1h + 10s));
  // Late in the evening, an early time of day stays on today's date (it lies in the past).
  const std::time_t evening = utc(2024y / 3 / 31, 14h + 59min);  // 23:59 JST
  EXPECT_EQ(localTimeOfDayTarget(evening, 5s), utc(2024y / 3 / 30, 15h + 5s));
  EXPECT_EQ(localTimeOfDayTarget(evening, 23h + 59min + 59s), utc(2024y / 3 / 31, 14h + 59min + 59s));
}

TEST(LocalTimeOfDayTarget, Nullopt_ForWallTimeSkippedBySpringForward) {
  ScopedZone zone("Europe/Berlin");
  const std::time_t noon = utc(2024y / 3 / 31, 10h);  // 12:00 CEST
  EXPECT_EQ(localTimeOfDayTarget(noon, 2h + 30min), std::nullopt);
  EXPECT_EQ(localTimeOfDayTarget(noon, 3h), utc(2024y / 3 / 31, 1h));
  EXPECT_EQ(localTimeOfDayTarget(noon, 1h + 59min + 59s), utc(2024y / 3 / 31, 59min + 59s));
}

TEST(LocalTimeOfDayTarget, PicksOneOfTheTwo_ForRepeatedAutumnHour) {
  ScopedZone zone("Europe/Berlin");
  const std::time_t noon = utc(2024y / 10 / 27, 11h);  // 12:00 CET
  const auto t = localTimeOfDayTarget(noon, 2h + 30min);
  ASSERT_TRUE(t);
  EXPECT_TRUE(*t == utc(2024y / 10 / 27, 30min) || *t == utc(2024y / 10 / 27, 1h + 30min));
}

TEST(LocalTimeOfDayTarget, Nullopt_OutsideTheDay) {
  ScopedZone zone("Asia/Tokyo");
  const std::time_t now = utc(2024y / 1 / 1, 3h);
  EXPECT_EQ(localTimeOfDayTarget(now, seconds{86400}), std::nullopt);
  EXPECT_EQ(localTimeOfDayTarget(now, seconds{-1}), std::nullopt);
  EXPECT_EQ(localTimeOfDayTarget(now, seconds{0}), utc(2023y / 12 / 31, 15h));
}

TEST(RtcFields, FollowTheHardwareClocksTimescale) {
  ScopedZone zone("Asia/Tokyo");
  const std::time_t t = utc(2024y / 12 / 31, 20h + 30min + 15s);  // 2025-01-01 05:30:15 JST
  const std::tm u = rtcFieldsFor(t, RtcTimescale::Utc);
  EXPECT_EQ(u.tm_year, 124);
  EXPECT_EQ(u.tm_mon, 11);
  EXPECT_EQ(u.tm_mday, 31);
  EXPECT_EQ(u.tm_hour, 20);
  EXPECT_EQ(u.tm_min, 30);
  EXPECT_EQ(u.tm_sec, 15);
  const std::tm l = rtcFieldsFor(t, RtcTimescale::Local);
  EXPECT_EQ(l.tm_year, 125);
  EXPECT_EQ(l.tm_mon, 0);
  EXPECT_EQ(l.tm_mday, 1);
  EXPECT_EQ(l.tm_hour, 5);
}

TEST(LocalTimeOf, ConvertsToTheZonesWallClock_KeepingMilliseconds) {
  {
    ScopedZone zone("Asia/Tokyo");
    const LocalTime t = localTimeOf(utc(2024y / 1 / 1, 0s), 123);
    EXPECT_EQ(dateOf(t), 2024y / 1 / 1);
    EXPECT_EQ(timeOfDayOf(t), 9h);
    EXPECT_EQ((t - floor<seconds>(t)).count(), 123);
  }
  {
    ScopedZone zone("Europe/Berlin");
    EXPECT_EQ(timeOfDayOf(localTimeOf(utc(2024y / 7 / 1, 22h + 30min), 0)), 30min);
    EXPECT_EQ(dateOf(localTimeOf(utc(2024y / 7 / 1, 22h + 30min), 0)), 2024y / 7 / 2);
  }
}

TEST(LinuxClock, MonotonicCounterNeverGoesBack) {
  LinuxClock clock;
  MonotonicMs last = clock.monotonicMs();
  for (int i = 0; i < 1000; ++i) {
    const MonotonicMs now = clock.monotonicMs();
    ASSERT_GE(now, last);
    last = now;
  }
}

}  // namespace
}  // namespace sayolt
