#pragma once
// Every section and key name of "Sayolt設定.ini", built in this one place, with what a missing
// key means.
#include <array>
#include <string>
#include <string_view>

namespace sayolt::keys {

inline constexpr int kCategories = 9;      // DayCategory 0..8
inline constexpr int kSlots = 8;           // start/end pairs per category
inline constexpr int kAutoPrograms = 12;   // startup programs of automatic starts
inline constexpr int kManualPrograms = 5;  // startup programs of manual starts
inline constexpr int kTimedPrograms = 20;  // time-specified programs 0..19
inline constexpr int kTimedRuns = 30;      // runs per category

inline constexpr const char* kSettingsFileName = "Sayolt設定.ini";

// DayCategory 0..8 as both programs and the workbook name them.
inline constexpr std::array<const char*, kCategories> kCategoryNames{"月曜日", "火曜日", "水曜日", "木曜日", "金曜日",
                                                                     "土曜日", "日曜日", "祝日",   "不在"};

inline constexpr const char* kStartEndSection = "起動終了時刻";
inline constexpr const char* kAutoProgramSection = "自動実行時プログラム";
inline constexpr const char* kManualProgramSection = "手動実行時プログラム";
inline constexpr const char* kAutoPlanSection = "自動実行時プログラム実行予定";
inline constexpr const char* kTimedProgramSection = "時刻指定プログラム";
inline constexpr const char* kTimedRunSection = "時刻指定プログラム実行予定";
inline constexpr const char* kPrioritySection = "休日不在";
inline constexpr const char* kPriorityKey = "優先";
inline constexpr const char* kDayStartSection = "一日の区切り";
inline constexpr const char* kDayStartKey = "時刻";
inline constexpr const char* kStartToleranceSection = "起動時調整時間";
inline constexpr const char* kStartToleranceKey = "時間";
inline constexpr const char* kNtpSection = "NTPサーバー";
inline constexpr const char* kTraySection = "タスクトレイ";
inline constexpr const char* kTrayKey = "アイコン表示";
inline constexpr const char* kHolidaySection = "祝日";
inline constexpr const char* kAbsenceSection = "不在";
inline constexpr const char* kNextStartSection = "次回起動";
inline constexpr const char* kNextStartKey = "時刻";

// "0-c-s": start time of slot s of category c.
inline std::string startTimeKey(int category, int slot) {
  return "0-" + std::to_string(category) + "-" + std::to_string(slot);
}
// "1-c-s": end time of slot s of category c.
inline std::string endTimeKey(int category, int slot) {
  return "1-" + std::to_string(category) + "-" + std::to_string(slot);
}
// Startup and time-specified program entries: "プログラム名i", "パスi", "遅延i".
inline std::string programNameKey(int index) { return "プログラム名" + std::to_string(index); }
inline std::string programPathKey(int index) { return "パス" + std::to_string(index); }
inline std::string programDelayKey(int index) { return "遅延" + std::to_string(index); }
// "i-c-s": plan flag of automatic-start program i for category c, slot s.
inline std::string autoPlanKey(int program, int category, int slot) {
  return std::to_string(program) + "-" + std::to_string(category) + "-" + std::to_string(slot);
}
// "開始時刻c-r" and "番号c-r": run r of category c.
inline std::string timedRunStartKey(int category, int run) {
  return "開始時刻" + std::to_string(category) + "-" + std::to_string(run);
}
inline std::string timedRunNumberKey(int category, int run) {
  return "番号" + std::to_string(category) + "-" + std::to_string(run);
}
// "サーバー0" (NTP1) and "サーバー1" (NTP2).
inline std::string ntpServerKey(int index) { return "サーバー" + std::to_string(index); }
// "登録日N", N counted from 1, in the holiday and absence lists.
inline std::string dateListKey(int number) { return "登録日" + std::to_string(number); }

// What a missing or empty key means to the scheduler's loader (and so to sayolt-plan); the editor's
// pages read each field by their own rules. An empty key names every key of its section. Keys not
// listed have no default: an empty text stays empty.
struct KeyDefault {
  std::string_view section;
  std::string_view key;
  std::string_view value;
};
inline constexpr std::array kDefaults{
    KeyDefault{kTraySection, kTrayKey, "1"},          // the icon shows
    KeyDefault{kDayStartSection, kDayStartKey, "0"},  // the day starts at midnight
    KeyDefault{kAutoPlanSection, "", "0"},            // not planned
};

inline std::string_view defaultValue(std::string_view section, std::string_view key) {
  for (const KeyDefault& d : kDefaults)
    if (d.section == section && (d.key.empty() || d.key == key)) return d.value;
  return {};
}
// The value as read, or the key's default when it was missing or empty.
inline std::string orDefault(std::string value, std::string_view section, std::string_view key) {
  if (value.empty()) return std::string(defaultValue(section, key));
  return value;
}

}  // namespace sayolt::keys
