#include "platform/linux/power_linux.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>
#include <sstream>

namespace sayolt {
namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Only a stand-in file is written: the real alarm is never armed by a test.
TEST(LinuxPowerWakeAlarm, WritesRelativeSeconds) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string alarm = dir.filePath("wakealarm").toStdString();
  std::ofstream(alarm) << "1700000000";
  LinuxPower power(alarm);
  EXPECT_TRUE(power.armWakeAlarm(std::chrono::hours{14} + std::chrono::seconds{5}));
  EXPECT_EQ(readFile(alarm), "+50405");
}

TEST(LinuxPowerWakeAlarm, False_WhenAlarmCannotBeWritten) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  LinuxPower missing(dir.filePath("no/such/wakealarm").toStdString());
  EXPECT_FALSE(missing.armWakeAlarm(std::chrono::seconds{60}));
}

TEST(LinuxPowerWakeAlarm, False_AndUntouched_ForNoTimeAhead) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string alarm = dir.filePath("wakealarm").toStdString();
  std::ofstream(alarm) << "keep";
  LinuxPower power(alarm);
  EXPECT_FALSE(power.armWakeAlarm(std::chrono::seconds{0}));
  EXPECT_FALSE(power.armWakeAlarm(std::chrono::seconds{-10}));
  EXPECT_EQ(readFile(alarm), "keep");
}

}  // namespace
}  // namespace sayolt
