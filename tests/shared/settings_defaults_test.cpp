// The defaults table beside the key names, and the ASCII-only text rules the settings file uses.
#include <gtest/gtest.h>

#include "platform/ascii_text.h"
#include "shared/settings_keys.h"

namespace sayolt {
namespace {

TEST(SettingsDefaults, MissingKeys_TakeTheTableValue) {
  EXPECT_EQ(keys::defaultValue(keys::kTraySection, keys::kTrayKey), "1");
  EXPECT_EQ(keys::defaultValue(keys::kDayStartSection, keys::kDayStartKey), "0");
  // A table row without a key covers every key of its section.
  EXPECT_EQ(keys::defaultValue(keys::kAutoPlanSection, keys::autoPlanKey(11, 8, 7)), "0");
  // No default: the next start and the priority stay empty when missing.
  EXPECT_EQ(keys::defaultValue(keys::kNextStartSection, keys::kNextStartKey), "");
  EXPECT_EQ(keys::defaultValue(keys::kPrioritySection, keys::kPriorityKey), "");
  // The day start's key is "時刻" as the next start's is: the section tells them apart.
  EXPECT_EQ(keys::defaultValue(keys::kNextStartSection, keys::kDayStartKey), "");
}

TEST(SettingsDefaults, OrDefault_KeepsWhatWasWritten) {
  EXPECT_EQ(keys::orDefault("0", keys::kTraySection, keys::kTrayKey), "0");
  EXPECT_EQ(keys::orDefault("", keys::kTraySection, keys::kTrayKey), "1");
  EXPECT_EQ(keys::orDefault("", keys::kNtpSection, keys::ntpServerKey(0)), "");
}

TEST(AsciiText, JapaneseBytesPassUntouched) {
  EXPECT_EQ(asciiLower("C:\\Tools\\表計算.XLS"), "c:\\tools\\表計算.xls");
  EXPECT_TRUE(isAscii("sed -n 1p"));
  EXPECT_FALSE(isAscii("設定"));
  EXPECT_EQ(trimAscii(" \t時刻=8:00\r\n"), "時刻=8:00");
  EXPECT_EQ(trimAscii(" \t\r\n"), "");
  EXPECT_EQ(trimAscii("\vkey\f", " \t\v\f"), "key");
}

}  // namespace
}  // namespace sayolt
