#pragma once
// The operations panel's switch between a normal day and a day of absence: which way it goes,
// and the writes into the absence list of the settings file.
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/time_types.h"
#include "shared/ini_file.h"

namespace sayolt {

enum class AbsenceAction {
  Remove,   // today is an absence day: take it out of the list
  Add,      // a weekday, or a weekend or holiday while absence comes first: put it in
  Refuse,   // a weekend or holiday while weekend and holiday come first
  Nothing,  // at or before the day start, or an unknown priority
};

// category: today's category; priorityMode: "0" absence first, "1" weekend and holiday first.
AbsenceAction absenceAction(int category, const std::string& priorityMode, TimeOfDay now, TimeOfDay dayStart);

enum class AbsenceSwitchResult { Added, Removed, AlreadyRegistered, NotRegistered, Refused, NotNow, WriteFailed };

// The writes that put `today` into the list: into the first 登録日N whose value is not a date,
// unless an earlier entry already holds today (nullopt then).
std::optional<IniBatch> absenceAdditionBatch(const IniSnapshot& ini, std::chrono::year_month_day today);
// The writes that take `today` out of the list, read up to the first empty entry. The entries after
// it move down by one, so the list keeps no gap: a reader that stops at the first empty entry
// still sees every later date. nullopt when today is not in the list.
std::optional<IniBatch> absenceRemovalBatch(const IniSnapshot& ini, std::chrono::year_month_day today);

// Applies Add or Remove to the file as one replacement. Throws IniError when the file cannot be
// read or written; it is then unchanged.
AbsenceSwitchResult applyAbsenceAction(IniFile& file, AbsenceAction action, std::chrono::year_month_day today);

}  // namespace sayolt
