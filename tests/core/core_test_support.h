#pragma once
// Settings files for the scheduler core tests, written as UTF-8 key/value pairs and turned into
// the code page 932 bytes that the scheduler reads.
//
//   const auto ini = test::SettingsBuilder()
//                        .set(keys::kDayStartSection, keys::kDayStartKey, "180")
//                        .endTime(kMonday, 0, "17:00")
//                        .snapshot();
//   readScheduleModel(ini, test::localAt("2024-05-06 08:00:00"), model);
//
// Key names always come from shared/settings_keys.h.
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/text_codec.h"
#include "platform/time_types.h"
#include "shared/ini_file.h"
#include "shared/settings_keys.h"
#include "tests/support/test_files.h"

namespace sayolt::test {

// A time of day from hours, minutes and seconds.
inline TimeOfDay timeOf(int hours, int minutes, int seconds = 0) {
  return TimeOfDay{hours * 3600 + minutes * 60 + seconds};
}

// Sections in the order first used, keys in the order first set; setting a key again replaces
// its value in place.
class SettingsBuilder {
 public:
  SettingsBuilder& set(const std::string& section, const std::string& key, std::string value) {
    auto& entries = sectionEntries(section);
    for (auto& entry : entries)
      if (entry.first == key) {
        entry.second = std::move(value);
        return *this;
      }
    entries.emplace_back(key, std::move(value));
    return *this;
  }

  SettingsBuilder& startTime(int category, int slot, std::string value) {
    return set(keys::kStartEndSection, keys::startTimeKey(category, slot), std::move(value));
  }
  SettingsBuilder& endTime(int category, int slot, std::string value) {
    return set(keys::kStartEndSection, keys::endTimeKey(category, slot), std::move(value));
  }
  // "優先": "0" absence first, "1" weekend and holiday first.
  SettingsBuilder& priority(std::string mode) {
    return set(keys::kPrioritySection, keys::kPriorityKey, std::move(mode));
  }
  // "一日の区切り" in minutes after midnight, as text so that bad values can be written too.
  SettingsBuilder& dayStart(std::string minutes) {
    return set(keys::kDayStartSection, keys::kDayStartKey, std::move(minutes));
  }
  SettingsBuilder& startTolerance(std::string seconds) {
    return set(keys::kStartToleranceSection, keys::kStartToleranceKey, std::move(seconds));
  }
  // 登録日number of "祝日" or "不在", number counted from 1.
  SettingsBuilder& holiday(int number, std::string date) {
    return set(keys::kHolidaySection, keys::dateListKey(number), std::move(date));
  }
  SettingsBuilder& absence(int number, std::string date) {
    return set(keys::kAbsenceSection, keys::dateListKey(number), std::move(date));
  }
  SettingsBuilder& timedProgram(int number, std::string name, std::string path) {
    set(keys::kTimedProgramSection, keys::programNameKey(number), std::move(name));
    return set(keys::kTimedProgramSection, keys::programPathKey(number), std::move(path));
  }
  SettingsBuilder& timedRun(int category, int run, std::string startTime, std::string programNumber) {
    set(keys::kTimedRunSection, keys::timedRunStartKey(category, run), std::move(startTime));
    return set(keys::kTimedRunSection, keys::timedRunNumberKey(category, run), std::move(programNumber));
  }

  // The file as UTF-8 text, CRLF line ends.
  std::string text() const {
    std::string out;
    for (const auto& [section, entries] : sections_) {
      out += "[" + section + "]\r\n";
      for (const auto& [key, value] : entries) out += key + "=" + value + "\r\n";
    }
    return out;
  }
  // The file as the scheduler finds it on disk.
  std::string bytes() const {
    auto encoded = cp932::fromUtf8(text());
    if (!encoded) throw std::invalid_argument("settings text without a code page 932 form");
    return std::move(*encoded);
  }
  IniSnapshot snapshot() const { return IniSnapshot::fromBytes(bytes()); }
  void writeTo(const std::filesystem::path& path) const { writeBytes(path, bytes()); }

 private:
  using Entries = std::vector<std::pair<std::string, std::string>>;

  Entries& sectionEntries(const std::string& section) {
    for (auto& [name, entries] : sections_)
      if (name == section) return entries;
    return sections_.emplace_back(section, Entries{}).second;
  }

  std::vector<std::pair<std::string, Entries>> sections_;
};

}  // namespace sayolt::test
