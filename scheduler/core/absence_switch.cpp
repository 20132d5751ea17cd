#include "scheduler/core/absence_switch.h"

#include <vector>

#include "scheduler/core/schedule_model.h"
#include "shared/date_list.h"
#include "shared/settings_keys.h"
#include "shared/text_rules.h"

namespace sayolt {

AbsenceAction absenceAction(int category, const std::string& priorityMode, TimeOfDay now, TimeOfDay dayStart) {
  if (now <= dayStart) return AbsenceAction::Nothing;
  if (category == kAbsence) return AbsenceAction::Remove;
  if (category >= kMonday && category <= kFriday) return AbsenceAction::Add;
  if (category >= kSaturday && category <= kHoliday) {
    if (priorityMode == "0") return AbsenceAction::Add;
    if (priorityMode == "1") return AbsenceAction::Refuse;
  }
  return AbsenceAction::Nothing;
}

// Both directions look at every entry of the list, gaps and all, as the classification does: a
// day the panel shows as 不在 can always be switched back.
std::optional<IniBatch> absenceAdditionBatch(const IniSnapshot& ini, std::chrono::year_month_day today) {
  for (const ListedDate& entry : readDateList(ini, keys::kAbsenceSection))
    if (entry.date == today) return std::nullopt;
  for (int n = 1;; ++n) {
    if (!parseDate(ini.get(keys::kAbsenceSection, keys::dateListKey(n)))) {
      IniBatch batch;
      batch.set(keys::kAbsenceSection, keys::dateListKey(n), formatDate(today));
      return batch;
    }
  }
}

std::optional<IniBatch> absenceRemovalBatch(const IniSnapshot& ini, std::chrono::year_month_day today) {
  // Consecutive keys from 1 with today's entries taken out. The keys read are rewritten: a list
  // with gaps becomes consecutive, which every reader sees the same, as the editor's save does.
  bool found = false;
  int consecutive = 0;
  while (!ini.get(keys::kAbsenceSection, keys::dateListKey(consecutive + 1)).empty()) ++consecutive;
  const std::vector<ListedDate> entries = readDateList(ini, keys::kAbsenceSection);
  for (const ListedDate& entry : entries) found = found || entry.date == today;
  if (!found) return std::nullopt;

  IniBatch batch;
  if (static_cast<int>(entries.size()) == consecutive) {
    // The usual list, 登録日1..N: later entries move down, the last key goes.
    std::vector<std::string> values;
    for (const ListedDate& entry : entries)
      if (entry.date != today) values.push_back(entry.text);
    for (std::size_t i = 0; i < values.size(); ++i)
      if (values[i] != entries[i].text)
        batch.set(keys::kAbsenceSection, keys::dateListKey(static_cast<int>(i + 1)), values[i]);
    for (int k = static_cast<int>(values.size()) + 1; k <= consecutive; ++k)
      batch.deleteKey(keys::kAbsenceSection, keys::dateListKey(k));
    return batch;
  }
  std::vector<std::string> section;
  for (const ListedDate& entry : entries)
    if (entry.date != today)
      section.push_back(keys::dateListKey(static_cast<int>(section.size() + 1)) + "=" + entry.text);
  if (section.empty())
    batch.deleteSection(keys::kAbsenceSection);
  else
    batch.setSection(keys::kAbsenceSection, std::move(section));
  return batch;
}

AbsenceSwitchResult applyAbsenceAction(IniFile& file, AbsenceAction action, std::chrono::year_month_day today) {
  switch (action) {
    // The list is read from the very bytes the change is applied to: the editor may save it any time.
    case AbsenceAction::Add:
      return file.update([&](const IniSnapshot& ini) { return absenceAdditionBatch(ini, today); })
                 ? AbsenceSwitchResult::Added
                 : AbsenceSwitchResult::AlreadyRegistered;
    case AbsenceAction::Remove:
      return file.update([&](const IniSnapshot& ini) { return absenceRemovalBatch(ini, today); })
                 ? AbsenceSwitchResult::Removed
                 : AbsenceSwitchResult::NotRegistered;
    case AbsenceAction::Refuse:
      return AbsenceSwitchResult::Refused;
    case AbsenceAction::Nothing:
      break;
  }
  return AbsenceSwitchResult::NotNow;
}

}  // namespace sayolt
