#include "editor/model/main_page.h"

#include "editor/model/number_rule.h"
#include "editor/model/page_repair.h"
#include "shared/day_start.h"
#include "shared/text_rules.h"

namespace sayolt::editor {

namespace {

using namespace keys;

constexpr const char* kDayWords[kCategories] = {"月曜 ", "火曜 ", "水曜 ", "木曜 ", "金曜 ",
                                                "土曜 ", "日曜 ", "祝日 ", "不在 "};

std::string runPlanKey(int p, int c, int s) { return autoPlanKey(p, c, s); }

void readPrograms(const IniSnapshot& file, const char* section, ProgramRow* rows, ProgramRow* saved, int count) {
  for (int n = 0; n < count; ++n) {
    rows[n].name = file.get(section, programNameKey(n));
    rows[n].path = file.get(section, programPathKey(n));
    rows[n].delay = file.get(section, programDelayKey(n));
    saved[n] = rows[n];
  }
}

bool partlyFilled(const ProgramRow& row) {
  const int filled = !row.name.empty() + !row.path.empty() + !row.delay.empty();
  return filled > 0 && filled < 3;
}

void writePrograms(IniBatch& batch, const char* section, const ProgramRow* rows, const ProgramRow* saved, int count) {
  for (int n = 0; n < count; ++n) {
    if (rows[n].name != saved[n].name) batch.set(section, programNameKey(n), rows[n].name);
    if (rows[n].path != saved[n].path) batch.set(section, programPathKey(n), rows[n].path);
    if (rows[n].delay != saved[n].delay) batch.set(section, programDelayKey(n), rows[n].delay);
  }
}

}  // namespace

void loadMainPage(const IniSnapshot& file, MainPageValues& values, MainPageTables& tables) {
  for (int row = 0; row < 2; ++row) {
    for (int c = 0; c < kCategories; ++c) {
      for (int s = 0; s < kSlots; ++s) {
        const int i = gridIndex(row, c, s);
        values.times[i] = file.get(kStartEndSection, row == 0 ? startTimeKey(c, s) : endTimeKey(c, s));
        tables.savedTimes[i] = values.times[i];
      }
    }
  }
  readPrograms(file, kAutoProgramSection, values.autoPrograms.data(), tables.savedAutoPrograms.data(), kAutoPrograms);
  readPrograms(file, kManualProgramSection, values.manualPrograms.data(), tables.savedManualPrograms.data(),
               kManualPrograms);

  const std::string priority = file.get(kPrioritySection, kPriorityKey);
  values.priority = priority == "1" ? Priority::WeekendHoliday : priority == "0" ? Priority::Absence : Priority::None;
  values.tolerance = file.get(kStartToleranceSection, kStartToleranceKey);

  const std::string dayStart = file.get(kDayStartSection, kDayStartKey);
  auto dayStartShown = dayStartText(dayStart);
  if (!dayStartShown) throw PageLoadError(PageId::Main, "一日の区切り: " + dayStart);
  values.dayStart = std::move(*dayStartShown);
}

void loadNtpAndTray(const IniSnapshot& file, MainPageValues& values) {
  for (int i = 0; i < 2; ++i) values.ntpServers[i] = file.get(kNtpSection, ntpServerKey(i));
  const std::string tray = file.get(kTraySection, kTrayKey);
  if (tray == "1") values.trayIcon = true;
  if (tray == "0") values.trayIcon = false;
}

void loadRunPlan(const IniSnapshot& file, MainPageTables& tables) {
  for (int p = 0; p < kAutoPrograms; ++p) {
    for (int c = 0; c < kCategories; ++c) {
      for (int s = 0; s < kSlots; ++s) {
        tables.runPlan[p][c][s] = file.get(kAutoPlanSection, runPlanKey(p, c, s));
        tables.savedRunPlan[p][c][s] = tables.runPlan[p][c][s];
      }
    }
  }
}

MainPageValues readMainPage(const IniSnapshot& file, MainPageTables& tables) {
  MainPageValues values;
  loadMainPage(file, values, tables);
  loadNtpAndTray(file, values);
  loadRunPlan(file, tables);
  return values;
}

std::string dayStartLabel(const std::string& dayStart) { return "(1日の開始時刻  " + dayStart + ")"; }

bool isAcceptedTimeText(const std::string& text) { return text.empty() || isDateText(text); }

std::vector<std::string> checkMainPage(const MainPageValues& values) {
  std::vector<std::string> messages;

  bool blankDay = false;
  for (int c = 0; c < kCategories && !blankDay; ++c) {
    int empty = 0;
    for (int s = 0; s < kSlots; ++s)
      empty += values.times[gridIndex(0, c, s)].empty() + values.times[gridIndex(1, c, s)].empty();
    if (empty == 2 * kSlots) {
      blankDay = true;
      messages.push_back("1日1回は起動または終了してください。");
    }
  }
  if (!blankDay) {
    bool reported = false;
    for (int c = 0; c < kCategories && !reported; ++c) {
      for (int s = 0; s < kSlots && !reported; ++s) {
        for (int row = 0; row < 2 && !reported; ++row) {
          if (isAcceptedTimeText(values.times[gridIndex(row, c, s)])) continue;
          messages.push_back(std::string("開始時刻終了時刻設定欄に時刻と認識できない形式が含まれています。  ") +
                             kDayWords[c] + std::to_string(s + 1) + "番目");
          reported = true;
        }
      }
    }
  }

  if (values.ntpServers[0].empty()) messages.push_back("サーバー1を記入してください");
  if (values.ntpServers[1].empty()) messages.push_back("サーバー2を記入してください");
  for (const auto& row : values.autoPrograms)
    if (partlyFilled(row)) messages.push_back("自動起動時のプログラム記入欄に記入漏れがあります");
  for (const auto& row : values.manualPrograms)
    if (partlyFilled(row)) messages.push_back("手動起動時のプログラム記入欄に記入漏れがあります");

  const std::string wholeNumber = "起動時調整時間には1以上の整数値を記入してください";
  if (values.tolerance.empty()) {
    messages.push_back("起動時調整時間を記入してください");
  } else if (const auto normal = normalizeNumberText(values.tolerance); !normal) {
    messages.push_back(wholeNumber);
  } else if (const auto seconds = toInt16(*normal); !seconds) {
    // Too large for the scheduler's 16 bits; below -32768 is simply below 1.
    messages.push_back(normal->front() == '-' ? wholeNumber : "起動時調整時間には32767以下の整数値を記入してください");
  } else if (*seconds < 1) {
    messages.push_back(wholeNumber);
  }

  if (values.priority == Priority::None) messages.push_back("休日と不在の優先順位を設定してください");
  return messages;
}

Captions captionsAfterCheck(int errorCount) {
  if (errorCount == 0) return {kNextCaption, kEndCaption};
  return {kRetryCaption, kGiveUpCaption};
}

std::optional<std::string> toleranceToStore(const std::string& text) {
  const auto seconds = numberTextToInt16(text);
  // The scheduler cannot start its day with a pause it refuses.
  if (!seconds || *seconds < 1) return std::nullopt;
  return std::to_string(*seconds);
}

std::string dayStartToStore(const std::string& text) {
  if (!isDateText(text)) return "0";
  const auto time = parseTimeOfDay(text);
  const long long seconds = time ? time->count() : 0;
  return std::to_string(seconds / 60);
}

IniBatch mainPageBatch(const MainPageValues& values, const MainPageTables& tables) {
  IniBatch batch;
  for (int row = 0; row < 2; ++row) {
    for (int c = 0; c < kCategories; ++c) {
      for (int s = 0; s < kSlots; ++s) {
        const int i = gridIndex(row, c, s);
        if (values.times[i] != tables.savedTimes[i])
          batch.set(kStartEndSection, row == 0 ? startTimeKey(c, s) : endTimeKey(c, s), values.times[i]);
      }
    }
  }
  writePrograms(batch, kAutoProgramSection, values.autoPrograms.data(), tables.savedAutoPrograms.data(), kAutoPrograms);
  writePrograms(batch, kManualProgramSection, values.manualPrograms.data(), tables.savedManualPrograms.data(),
                kManualPrograms);
  batch.set(kPrioritySection, kPriorityKey,
            values.priority == Priority::WeekendHoliday ? "1"
            : values.priority == Priority::Absence      ? "0"
                                                        : "");
  for (int p = 0; p < kAutoPrograms; ++p)
    for (int c = 0; c < kCategories; ++c)
      for (int s = 0; s < kSlots; ++s)
        if (tables.runPlan[p][c][s] != tables.savedRunPlan[p][c][s])
          batch.set(kAutoPlanSection, runPlanKey(p, c, s), tables.runPlan[p][c][s]);
  for (int i = 0; i < 2; ++i) batch.set(kNtpSection, ntpServerKey(i), values.ntpServers[i]);
  batch.set(kTraySection, kTrayKey, values.trayIcon ? "1" : "0");
  if (const auto tolerance = toleranceToStore(values.tolerance))
    batch.set(kStartToleranceSection, kStartToleranceKey, *tolerance);
  batch.set(kDayStartSection, kDayStartKey, dayStartToStore(values.dayStart));
  return batch;
}

SaveResult saveMainPage(IniFile& settings, const MainPageValues& values, MainPageTables& tables) {
  settings.apply(mainPageBatch(values, tables));
  // Only once the file holds them do the saved copies move on.
  tables.savedTimes = values.times;
  tables.savedAutoPrograms = values.autoPrograms;
  tables.savedManualPrograms = values.manualPrograms;
  tables.savedRunPlan = tables.runPlan;
  return SaveResult{!toleranceToStore(values.tolerance).has_value()};
}

std::array<bool, kStartCells> startHighlightsFor(const RunPlan& plan, int program) {
  std::array<bool, kStartCells> on{};
  for (int c = 0; c < kCategories; ++c)
    for (int s = 0; s < kSlots; ++s) on[gridIndex(0, c, s)] = plan[program][c][s] == "1";
  return on;
}

void commitRunPlan(RunPlan& plan, int program, const std::array<bool, kStartCells>& highlighted) {
  for (int c = 0; c < kCategories; ++c)
    for (int s = 0; s < kSlots; ++s) plan[program][c][s] = highlighted[gridIndex(0, c, s)] ? "1" : "0";
}

void copyMonday(GridTexts& times) {
  for (int s = 0; s < kSlots; ++s) {
    for (int t = 1; t <= 4; ++t) {
      times[gridIndex(0, t, s)] = times[gridIndex(0, 0, s)];
      times[gridIndex(1, t, s)] = times[gridIndex(1, 0, s)];
    }
  }
}

}  // namespace sayolt::editor
