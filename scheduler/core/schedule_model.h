#pragma once
// The scheduler's in-memory copy of the settings file: fixed-size tables of texts as read.
#include <array>
#include <chrono>
#include <optional>
#include <string>

#include "platform/time_types.h"
#include "shared/settings_keys.h"

namespace sayolt {

class IniSnapshot;

enum DayCategory : int {
  kMonday = 0,
  kTuesday,
  kWednesday,
  kThursday,
  kFriday,
  kSaturday,
  kSunday,
  kHoliday = 7,  // 祝日
  kAbsence = 8,  // 不在
};

struct StartupProgram {
  std::string name;
  std::string path;
  std::string delay;  // whole seconds as text; converted at launch
};

struct TimedProgram {
  std::string name;
  std::string path;  // a path, or "sed" (any case): stop the program of the same name
};

struct TimedRun {
  std::string startTime;      // time of day, or empty when the row is unused
  std::string programNumber;  // 0..19 as text
};

template <class T, std::size_t A, std::size_t B>
using Table2 = std::array<std::array<T, B>, A>;

struct ScheduleModel {
  Table2<std::string, keys::kCategories, keys::kSlots> startTime;
  Table2<std::string, keys::kCategories, keys::kSlots> endTime;
  std::array<StartupProgram, keys::kAutoPrograms> autoPrograms;
  std::array<StartupProgram, keys::kManualPrograms> manualPrograms;
  std::array<Table2<std::string, keys::kCategories, keys::kSlots>, keys::kAutoPrograms> autoRunPlan;
  std::array<TimedProgram, keys::kTimedPrograms> timedPrograms;
  Table2<TimedRun, keys::kCategories, keys::kTimedRuns> timedRuns;
  std::string priorityMode;  // "0" absence first, "1" weekend and holiday first; survives a missing key
  int dayStartMinutes = 0;
  TimeOfDay dayStartTime{0};
  std::array<std::chrono::year_month_day, 3> threeDays{};       // yesterday, today, tomorrow
  std::array<int, 3> dayCategories{kMonday, kMonday, kMonday};  // previous, current, next schedule day
};

// The first area of the file that could not be read (1..8), with the scheduler's message for it.
struct SettingsAreaError {
  int area = 0;
  std::string message;
};

// Reads every area of the file into the model, then marks and classifies the three days at the
// given local moment. On an area error nothing after that area is read and the error is returned;
// the model then holds the areas before it.
std::optional<SettingsAreaError> readScheduleModel(const IniSnapshot& ini, LocalTime now, ScheduleModel& model);

// "起動時調整時間" "時間": whole seconds, at least 1. nullopt when missing or unusable.
std::optional<std::chrono::seconds> readStartTolerance(const IniSnapshot& ini);
// What the scheduler says when it cannot start for want of a usable StartTolerance.
extern const char* const kStartToleranceMessage;

// The scheduler's message for an area, 1..8.
const std::string& settingsAreaMessage(int area);

}  // namespace sayolt
