#pragma once
// The tables of the time-specified programs page.
#include <array>
#include <string>

#include "shared/settings_keys.h"

namespace sayolt::editor {

using ProgramTexts = std::array<std::string, keys::kTimedPrograms>;  // index = program number − 1
using RunSlotTexts = std::array<std::string, keys::kTimedRuns>;      // the 30 slots of one category
using RunTable = std::array<RunSlotTexts, keys::kCategories>;        // [category][slot]

// Run program numbers are stored zero-based as decimal text ("2" is program 3); start times exactly
// as typed; "" is an empty cell.
struct TimedPageTables {
  ProgramTexts programNames, programPaths;
  ProgramTexts savedProgramNames, savedProgramPaths;  // as last read from or written to the file
  RunTable runTimes, runPrograms;                     // as edited
  RunTable runTimesSnapshot, runProgramsSnapshot;     // as loaded or at the last leave; キャンセル restores these
  RunTable savedRunTimes, savedRunPrograms;           // as last read from or written to the file
  int selectedCategory = 0;                           // DayCategory shown in the run grid
};

}  // namespace sayolt::editor
