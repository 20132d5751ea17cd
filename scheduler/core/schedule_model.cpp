#include "scheduler/core/schedule_model.h"

#include <span>

#include "scheduler/core/day_classification.h"
#include "shared/date_list.h"
#include "shared/ini_file.h"
#include "shared/text_rules.h"

namespace sayolt {

namespace {

using namespace std::chrono;

// Reads a date list as the editor and the workbook read it; false on a value that is not a date.
// `marked[k]` is set when the list holds threeDays[k].
bool markDays(const IniSnapshot& ini, const char* section, const std::array<year_month_day, 3>& days,
              std::array<bool, 3>& marked) {
  for (const ListedDate& listed : readDateList(ini, section)) {
    if (!listed.date) return false;
    for (int k = 0; k < 3; ++k)
      if (*listed.date == days[k]) marked[k] = true;
  }
  return true;
}

void readStartupPrograms(const IniSnapshot& ini, const char* section, std::span<StartupProgram> programs) {
  for (std::size_t i = 0; i < programs.size(); ++i) {
    const int index = static_cast<int>(i);
    programs[i] = {ini.get(section, keys::programNameKey(index)), ini.get(section, keys::programPathKey(index)),
                   ini.get(section, keys::programDelayKey(index))};
  }
}

}  // namespace

const char* const kStartToleranceMessage =
    "起動時調整時間が正しく設定されていないため、起動処理を開始できません。\n"
    "設定(1面)の「起動時調整時間 (秒)」に1以上の整数を記入してください。";

std::optional<std::chrono::seconds> readStartTolerance(const IniSnapshot& ini) {
  const std::string text = ini.get(keys::kStartToleranceSection, keys::kStartToleranceKey);
  const auto value = toInt16(text);
  if (!value || *value < 1 || text.find('.') != std::string::npos) return std::nullopt;
  return std::chrono::seconds(*value);
}

const std::string& settingsAreaMessage(int area) {
  static const std::array<std::string, 8> messages = {
      "起動終了時刻の読取中にエラーが発生しました。設定(1面左)を見直してください。",
      "自動実行時のプログラムを読取中にエラーが発生しました。設定(1面右上)を見直してください。",
      "手動実行時のプログラムを読取中にエラーが発生しました。設定(1面右下)を見直してください。",
      "自動実行時のプログラム実行予定を読取中にエラーが発生しました。設定(1面緑色の実行登録)を見直してください。",
      "時刻指定プログラムの読取中にエラーが発生しました。設定(2面下)を見直してください。",
      "時刻指定プログラム実行予定の読取中にエラーが発生しました。設定(2面上)を見直してください。",
      "土日祝日と不在の優先および1日の開始時刻の読取中にエラーが発生しました。設定(3面)を見直してください。",
      "不在設定日および祝日設定日の読取中にエラーが発生しました。設定(1面下)を見直してください。",
  };
  return messages.at(static_cast<std::size_t>(area - 1));
}

std::optional<SettingsAreaError> readScheduleModel(const IniSnapshot& ini, LocalTime now, ScheduleModel& model) {
  const auto fail = [](int area) { return SettingsAreaError{area, settingsAreaMessage(area)}; };

  for (int c = 0; c < keys::kCategories; ++c)
    for (int s = 0; s < keys::kSlots; ++s) {
      model.startTime[c][s] = ini.get(keys::kStartEndSection, keys::startTimeKey(c, s));
      model.endTime[c][s] = ini.get(keys::kStartEndSection, keys::endTimeKey(c, s));
    }
  readStartupPrograms(ini, keys::kAutoProgramSection, model.autoPrograms);
  readStartupPrograms(ini, keys::kManualProgramSection, model.manualPrograms);
  for (int i = 0; i < keys::kAutoPrograms; ++i)
    for (int c = 0; c < keys::kCategories; ++c)
      for (int s = 0; s < keys::kSlots; ++s) {
        const std::string key = keys::autoPlanKey(i, c, s);
        model.autoRunPlan[i][c][s] = keys::orDefault(ini.get(keys::kAutoPlanSection, key), keys::kAutoPlanSection, key);
      }
  for (int n = 0; n < keys::kTimedPrograms; ++n)
    model.timedPrograms[n] = {ini.get(keys::kTimedProgramSection, keys::programNameKey(n)),
                              ini.get(keys::kTimedProgramSection, keys::programPathKey(n))};
  for (int c = 0; c < keys::kCategories; ++c)
    for (int r = 0; r < keys::kTimedRuns; ++r)
      model.timedRuns[c][r] = {ini.get(keys::kTimedRunSection, keys::timedRunStartKey(c, r)),
                               ini.get(keys::kTimedRunSection, keys::timedRunNumberKey(c, r))};

  // Area 7. A day start outside one day cannot be placed on the clock, so it is refused like text.
  if (std::string priority = ini.get(keys::kPrioritySection, keys::kPriorityKey); !priority.empty())
    model.priorityMode = std::move(priority);
  const std::string dayStart =
      keys::orDefault(ini.get(keys::kDayStartSection, keys::kDayStartKey), keys::kDayStartSection, keys::kDayStartKey);
  const auto minutes = toInt16(dayStart);
  if (!minutes || *minutes < 0 || *minutes >= 24 * 60) return fail(7);
  model.dayStartMinutes = *minutes;
  model.dayStartTime = TimeOfDay{*minutes / 60 * 3600 + *minutes % 60 * 60};

  const auto today = dateOf(now);
  const auto todayDays = sys_days{today};
  model.threeDays = {year_month_day{todayDays - days{1}}, today, year_month_day{todayDays + days{1}}};

  // Area 8.
  std::array<bool, 3> holiday{}, absence{};
  if (!markDays(ini, keys::kHolidaySection, model.threeDays, holiday) ||
      !markDays(ini, keys::kAbsenceSection, model.threeDays, absence))
    return fail(8);

  classifyDays(model, holiday, absence, timeOfDayOf(now));
  return std::nullopt;
}

}  // namespace sayolt
