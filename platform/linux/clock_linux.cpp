#include "platform/linux/clock_linux.h"

#include <fcntl.h>
#include <linux/rtc.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <sstream>

#include "platform/ascii_text.h"

namespace sayolt {

namespace {

constexpr const char* kAdjtimePath = "/etc/adjtime";
constexpr const char* kRtcDevices[] = {"/dev/rtc0", "/dev/rtc"};

int openRtc() {
  for (const char* device : kRtcDevices) {
    const int fd = ::open(device, O_RDONLY | O_CLOEXEC);
    if (fd >= 0) return fd;
  }
  return -1;
}

}  // namespace

LocalTime localTimeOf(std::time_t epochSeconds, int millis) {
  std::tm tm{};
  localtime_r(&epochSeconds, &tm);
  using namespace std::chrono;
  const year_month_day date{year{tm.tm_year + 1900}, month{static_cast<unsigned>(tm.tm_mon + 1)},
                            day{static_cast<unsigned>(tm.tm_mday)}};
  // tm_sec can be 60 during a leap second; the wall clock still reads that moment.
  return LocalTime{local_days{date}.time_since_epoch() + hours{tm.tm_hour} + minutes{tm.tm_min} + seconds{tm.tm_sec} +
                   milliseconds{millis}};
}

LocalTime LinuxClock::now() const {
  using namespace std::chrono;
  const auto sinceEpoch = duration_cast<milliseconds>(system_clock::now().time_since_epoch());
  const auto wholeSeconds = floor<seconds>(sinceEpoch);
  return localTimeOf(static_cast<std::time_t>(wholeSeconds.count()),
                     static_cast<int>((sinceEpoch - wholeSeconds).count()));
}

MonotonicMs LinuxClock::monotonicMs() const {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool LinuxClock::setUtc(UtcTime utc) {
  using namespace std::chrono;
  const auto whole = floor<seconds>(utc.time_since_epoch());
  timespec ts{};
  ts.tv_sec = static_cast<time_t>(whole.count());
  ts.tv_nsec = static_cast<long>(nanoseconds(utc.time_since_epoch() - whole).count());
  return ::clock_settime(CLOCK_REALTIME, &ts) == 0;
}

bool LinuxClock::setLocalTimeOfDay(TimeOfDay timeOfDay) {
  const auto target = localTimeOfDayTarget(std::time(nullptr), timeOfDay);
  if (!target) return false;
  const timespec ts{*target, 0};
  return ::clock_settime(CLOCK_REALTIME, &ts) == 0;
}

bool LinuxClock::syncHardwareClock() {
  const RtcTimescale scale = readRtcTimescale(kAdjtimePath);
  const int fd = openRtc();
  if (fd < 0) return false;
  // The hardware clock holds whole seconds: write it as the next second begins.
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  const timespec boundary{now.tv_sec + 1, 0};
  while (::clock_nanosleep(CLOCK_REALTIME, TIMER_ABSTIME, &boundary, nullptr) == EINTR) {
  }
  const std::tm fields = rtcFieldsFor(boundary.tv_sec, scale);
  rtc_time rtc{};
  rtc.tm_sec = fields.tm_sec;
  rtc.tm_min = fields.tm_min;
  rtc.tm_hour = fields.tm_hour;
  rtc.tm_mday = fields.tm_mday;
  rtc.tm_mon = fields.tm_mon;
  rtc.tm_year = fields.tm_year;
  rtc.tm_wday = fields.tm_wday;
  rtc.tm_yday = fields.tm_yday;
  rtc.tm_isdst = 0;
  const bool ok = ::ioctl(fd, RTC_SET_TIME, &rtc) == 0;
  ::close(fd);
  return ok;
}

RtcTimescale parseAdjtimeTimescale(std::string_view content) {
  for (int line = 1; line < 3; ++line) {
    const auto newline = content.find('\n');
    if (newline == std::string_view::npos) return RtcTimescale::Utc;
    content.remove_prefix(newline + 1);
  }
  const auto third = trimAscii(content.substr(0, content.find('\n')));
  return third == "LOCAL" ? RtcTimescale::Local : RtcTimescale::Utc;
}

RtcTimescale readRtcTimescale(const std::string& adjtimePath) {
  std::ifstream in(adjtimePath, std::ios::binary);
  if (!in) return RtcTimescale::Utc;
  std::ostringstream content;
  content << in.rdbuf();
  return parseAdjtimeTimescale(content.str());
}

std::optional<std::time_t> localTimeOfDayTarget(std::time_t now, TimeOfDay timeOfDay) {
  const auto secs = timeOfDay.count();
  if (secs < 0 || secs >= kSecondsPerDay.count()) return std::nullopt;
  std::tm today{};
  localtime_r(&now, &today);
  std::tm wanted = today;
  wanted.tm_hour = static_cast<int>(secs / 3600);
  wanted.tm_min = static_cast<int>(secs / 60 % 60);
  wanted.tm_sec = static_cast<int>(secs % 60);
  wanted.tm_isdst = -1;
  std::tm check = wanted;
  const std::time_t t = std::mktime(&check);
  if (t == static_cast<std::time_t>(-1)) return std::nullopt;
  // mktime moves a wall time that a clock change skips; such a time cannot be set.
  if (check.tm_year != today.tm_year || check.tm_mon != today.tm_mon || check.tm_mday != today.tm_mday ||
      check.tm_hour != wanted.tm_hour || check.tm_min != wanted.tm_min || check.tm_sec != wanted.tm_sec) {
    return std::nullopt;
  }
  return t;
}

std::tm rtcFieldsFor(std::time_t t, RtcTimescale scale) {
  std::tm fields{};
  if (scale == RtcTimescale::Local) {
    localtime_r(&t, &fields);
  } else {
    gmtime_r(&t, &fields);
  }
  return fields;
}

}  // namespace sayolt
