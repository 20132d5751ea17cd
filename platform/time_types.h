#pragma once
// Time values used across the system. Every declaration says its unit and epoch.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace sayolt {

// A moment in UTC, millisecond resolution, Unix epoch.
using UtcTime = std::chrono::sys_time<std::chrono::milliseconds>;
// A moment on the local wall clock (no zone attached), millisecond resolution.
using LocalTime = std::chrono::local_time<std::chrono::milliseconds>;
// A time of day in whole seconds after local midnight, 0..86399.
using TimeOfDay = std::chrono::seconds;
// Milliseconds of a counter that only moves forward and ignores clock changes (timeGetTime).
using MonotonicMs = std::int64_t;

inline constexpr TimeOfDay kSecondsPerDay{86400};
// Seconds from the NTP epoch (1900-01-01 UTC) to the Unix epoch (1970-01-01 UTC).
inline constexpr std::int64_t kNtpToUnixSeconds = 2'208'988'800;

inline std::chrono::year_month_day dateOf(LocalTime t) {
  return std::chrono::year_month_day{std::chrono::floor<std::chrono::days>(t)};
}

inline TimeOfDay timeOfDayOf(LocalTime t) {
  return std::chrono::floor<std::chrono::seconds>(t - std::chrono::floor<std::chrono::days>(t));
}

inline LocalTime atTimeOfDay(std::chrono::year_month_day date, TimeOfDay tod) {
  return LocalTime{std::chrono::local_days{date}.time_since_epoch() + tod};
}

// "yyyy-mm-dd hh:mm:ss", the form of moments in the tools' output.
inline std::string formatLocalDateTime(LocalTime t) {
  const auto date = dateOf(t);
  const long long tod = timeOfDayOf(t).count();
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02u %02lld:%02lld:%02lld", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()), tod / 3600, tod / 60 % 60,
                tod % 60);
  return buffer;
}

// Reads "yyyy-mm-dd hh:mm:ss" (a real calendar date and time); nullopt otherwise.
inline std::optional<LocalTime> parseLocalDateTime(std::string_view text) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, used = 0;
  const std::string copy(text);
  if (std::sscanf(copy.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%n", &y, &mo, &d, &h, &mi, &s, &used) != 6 ||
      used != static_cast<int>(copy.size()) || copy.size() != 19)
    return std::nullopt;
  const std::chrono::year_month_day date{std::chrono::year{y}, std::chrono::month(static_cast<unsigned>(mo)),
                                         std::chrono::day(static_cast<unsigned>(d))};
  if (!date.ok() || h > 23 || mi > 59 || s > 59 || h < 0 || mi < 0 || s < 0) return std::nullopt;
  return atTimeOfDay(date, TimeOfDay{h * 3600 + mi * 60 + s});
}

}  // namespace sayolt
