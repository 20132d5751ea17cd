#include "testdata/full_settings.h"

#include "shared/settings_keys.h"

namespace sayolt::test {

std::string fullSettingsText() {
  using namespace keys;
  std::string t;
  const auto line = [&t](const std::string& key, const std::string& value) { t += key + "=" + value + "\r\n"; };
  t += std::string("[") + kStartEndSection + "]\r\n";
  for (int row = 0; row < 2; ++row)
    for (int c = 0; c < kCategories; ++c)
      for (int s = 0; s < kSlots; ++s)
        line(row == 0 ? startTimeKey(c, s) : endTimeKey(c, s),
             std::to_string(6 + s * 2 + row) + ":" + (c % 2 ? "30" : "05"));
  const auto programs = [&](const char* section, int count, const char* kind) {
    t += std::string("[") + section + "]\r\n";
    for (int n = 0; n < count; ++n) {
      line(programNameKey(n), std::string(kind) + "ツール" + std::to_string(n + 1));
      line(programPathKey(n), "C:\\Program Files\\業務ツール\\" + std::string(kind) + std::to_string(n + 1) + ".exe");
      line(programDelayKey(n), std::to_string(5 + n));
    }
  };
  programs(kAutoProgramSection, kAutoPrograms, "自動");
  programs(kManualProgramSection, kManualPrograms, "手動");
  t += std::string("[") + kPrioritySection + "]\r\n";
  line(kPriorityKey, "1");
  t += std::string("[") + kAutoPlanSection + "]\r\n";
  for (int p = 0; p < kAutoPrograms; ++p)
    for (int c = 0; c < kCategories; ++c)
      for (int s = 0; s < kSlots; ++s) line(autoPlanKey(p, c, s), (p + c + s) % 3 == 0 ? "1" : "0");
  t += std::string("[") + kNtpSection + "]\r\n";
  line(ntpServerKey(0), "ntp.nict.jp");
  line(ntpServerKey(1), "time.google.com");
  t += std::string("[") + kTraySection + "]\r\n";
  line(kTrayKey, "1");
  t += std::string("[") + kStartToleranceSection + "]\r\n";
  line(kStartToleranceKey, "30");
  t += std::string("[") + kDayStartSection + "]\r\n";
  line(kDayStartKey, "300");
  t += std::string("[") + kTimedProgramSection + "]\r\n";
  for (int n = 0; n < kTimedPrograms; ++n) {
    line(programNameKey(n), "定時処理" + std::to_string(n + 1));
    line(programPathKey(n), "C:\\業務\\定時処理" + std::to_string(n + 1) + ".bat");
  }
  t += std::string("[") + kTimedRunSection + "]\r\n";
  for (int c = 0; c < kCategories; ++c) {
    for (int r = 0; r < kTimedRuns; ++r) {
      line(timedRunStartKey(c, r), std::to_string(8 + r / 4) + ":" + std::to_string(10 + r % 4 * 10));
      line(timedRunNumberKey(c, r), std::to_string(r % kTimedPrograms));
    }
  }
  t += std::string("[") + kHolidaySection + "]\r\n";
  for (int n = 1; n <= 40; ++n)
    line(dateListKey(n), "2027/" + std::to_string(1 + n % 12) + "/" + std::to_string(1 + n % 28));
  t += std::string("[") + kAbsenceSection + "]\r\n";
  for (int n = 1; n <= 40; ++n)
    line(dateListKey(n), "2027/" + std::to_string(1 + n % 12) + "/" + std::to_string(2 + n % 27));
  t += std::string("[") + kNextStartSection + "]\r\n";
  line(kNextStartKey, "8:00");
  return t;
}

}  // namespace sayolt::test
