#pragma once
// The editor's tables: what the pages read besides the controls. Every saved copy holds a value as
// last read from or written to the settings file, so that saving writes only what changed. The
// workbook is built from the saved settings file, not from these tables.
#include <array>
#include <string>

#include "editor/model/date_tables.h"
#include "editor/model/timed_tables.h"
#include "shared/settings_keys.h"

namespace sayolt::editor {

inline constexpr int kGridCells = 2 * keys::kCategories * keys::kSlots;  // Text1(0..143)
inline constexpr int kStartCells = keys::kCategories * keys::kSlots;     // Text1(0..71)

// Index of Text1: row 0 = start, 1 = end.
constexpr int gridIndex(int row, int category, int slot) { return row * kStartCells + category * keys::kSlots + slot; }

struct ProgramRow {
  std::string name;
  std::string path;
  std::string delay;
  bool operator==(const ProgramRow&) const = default;
};

using GridTexts = std::array<std::string, kGridCells>;
// [program][category][slot]: "1" runs after that start, "0" does not, "" never set.
using RunPlan = std::array<std::array<std::array<std::string, keys::kSlots>, keys::kCategories>, keys::kAutoPrograms>;

// The main page's tables; the controls hold everything else of the page.
struct MainPageTables {
  GridTexts savedTimes;
  std::array<ProgramRow, keys::kAutoPrograms> savedAutoPrograms;
  std::array<ProgramRow, keys::kManualPrograms> savedManualPrograms;
  RunPlan runPlan;
  RunPlan savedRunPlan;
};

// One home for every page's tables. The time-specified programs page and the dates page add
// their own table structs here, each defined in a header of its own.
struct EditorTables {
  MainPageTables main;
  TimedPageTables timed;
  SpecialDateTables dates;
};

}  // namespace sayolt::editor
