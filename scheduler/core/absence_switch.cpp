#include "scheduler/core/absence_switch.h"

#include <vector>

#include "scheduler/core/schedule_model.h"
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

std::optional<IniBatch> absenceAdditionBatch(const IniSnapshot& ini, std::chrono::year_month_day today) {
  for (int n = 1;; ++n) {
    const auto date = parseDate(ini.get(keys::kAbsenceSection, keys::dateListKey(n)));
    if (!date) {
      IniBatch batch;
      batch.set(keys::kAbsenceSection, keys::dateListKey(n), formatDate(today));
      return batch;
    }
    if (*date == today) return std::nullopt;
  }
}

std::optional<IniBatch> absenceRemovalBatch(const IniSnapshot& ini, std::chrono::year_month_day today) {
  std::vector<std::string> values;
  for (int n = 1;; ++n) {
    std::string value = ini.get(keys::kAbsenceSection, keys::dateListKey(n));
    if (value.empty()) break;
    values.push_back(std::move(value));
  }
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (parseDate(values[i]) != today) continue;
    IniBatch batch;
    for (std::size_t j = i; j + 1 < values.size(); ++j)
      batch.set(keys::kAbsenceSection, keys::dateListKey(static_cast<int>(j + 1)), values[j + 1]);
    batch.deleteKey(keys::kAbsenceSection, keys::dateListKey(static_cast<int>(values.size())));
    return batch;
  }
  return std::nullopt;
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
