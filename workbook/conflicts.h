#pragma once
// The entries of a timetable that cannot work as planned: a start while the PC is on, a
// shutdown while it is off, a program run while it is off, more than 24 hours off or on, and
// two entries at the same time. The workbook marks them red; sayolt-plan lists them.
#include <vector>

#include "workbook/timetable.h"

namespace sayolt::workbook {

enum class ConflictRule { DoubleStart, DoubleEnd, RunWhileOff, Over24hOff, Over24hOn, SameTime };

struct Conflict {
  int category = 0;
  std::size_t entry = 0;  // index into the category's column
  ConflictRule rule = ConflictRule::DoubleStart;
  bool operator==(const Conflict&) const = default;
};

// One conflict per entry and rule, in column order, then entry order, then rule order.
std::vector<Conflict> findConflicts(const Timetable& table);

// "double-start", "double-end", "run-while-off", "over-24h-off", "over-24h-on", "same-time".
const char* ruleName(ConflictRule rule);
// The rule in Japanese, for people.
const char* ruleDescription(ConflictRule rule);

}  // namespace sayolt::workbook
