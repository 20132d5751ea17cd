#pragma once
// Time values used across the system. Every declaration says its unit and epoch.
#include <chrono>
#include <cstdint>

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

inline std::chrono::year_month_day dateOf(LocalTime t) {
  return std::chrono::year_month_day{std::chrono::floor<std::chrono::days>(t)};
}

inline TimeOfDay timeOfDayOf(LocalTime t) {
  return std::chrono::floor<std::chrono::seconds>(t - std::chrono::floor<std::chrono::days>(t));
}

inline LocalTime atTimeOfDay(std::chrono::year_month_day date, TimeOfDay tod) {
  return LocalTime{std::chrono::local_days{date}.time_since_epoch() + tod};
}

}  // namespace sayolt
