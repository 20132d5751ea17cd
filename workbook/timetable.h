#pragma once
// The weekly timetable as the workbook lists it: per category, the day's entries in the order
// they happen from the day start through midnight to the next day start.
#include <array>
#include <string>
#include <vector>

#include "platform/time_types.h"
#include "shared/settings_keys.h"

namespace sayolt::workbook {

inline constexpr int kCategories = keys::kCategories;
inline constexpr int kSlots = keys::kSlots;
inline constexpr int kRuns = keys::kTimedRuns;
inline constexpr int kPrograms = keys::kTimedPrograms;

// What the workbook is built from. The editor's 作成 and sayolt-plan both fill it from the
// settings file through loadTimetableInput; the editor then puts in the day start its page shows.
struct TimetableInput {
  struct Run {
    std::string time;  // empty: the run is not used
    int program = -1;  // 0..19; anything else has no name
  };
  std::array<std::array<std::string, kSlots>, kCategories> startTimes;  // texts as saved
  std::array<std::array<std::string, kSlots>, kCategories> endTimes;
  std::array<std::array<Run, kRuns>, kCategories> runs;
  std::array<std::string, kPrograms> programNames;
  std::string dayStart;                   // "h:mm"; empty or unreadable means 0:00
  std::vector<std::string> holidayDates;  // "yyyy/m/d" texts in list order
  std::vector<std::string> absenceDates;
};

enum class EntryKind { Start, End, Run };

struct Entry {
  TimeOfDay time{0};
  EntryKind kind = EntryKind::Start;
  std::string label;  // "起動", "終了" or the program's name
};

// A time text that could not be read as a time of day; such an entry is left out.
struct SkippedTime {
  int category = 0;
  std::string text;
};

struct Timetable {
  TimeOfDay dayStart{0};
  std::array<std::vector<Entry>, kCategories> columns;
  std::vector<SkippedTime> skipped;

  // Sheet row (counted from 1, as everywhere in the workbook) of entry i, and the row below a
  // category's last entry (3 when empty).
  static int entryRow(std::size_t i) { return static_cast<int>(2 * i + 4); }
  int endRow(int category) const { return static_cast<int>(2 * columns[category].size() + 3); }
  int tableEnd() const;
};

Timetable buildTimetable(const TimetableInput& input);

// "月曜日" .. "不在".
const char* categoryName(int category);

}  // namespace sayolt::workbook
