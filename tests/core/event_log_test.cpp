// The scheduler's event log: its lines and their bytes, the bounded size, the fallback folder, a
// log that cannot be written, and the warnings of a shutdown shown at the next start.
#include "scheduler/core/event_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "platform/fake/fake_file_append.h"
#include "platform/text_codec.h"
#include "scheduler/core/scheduler_operations.h"
#include "tests/core/scheduler_test_support.h"
#include "tests/support/test_files.h"

namespace sayolt::schedtest {
namespace {

const std::filesystem::path kProgramFolder = "/opt/sayolt";
const std::filesystem::path kLogFile = kProgramFolder / kEventLogFileName;

std::string text(const FakeFileAppend& files, const std::filesystem::path& file) {
  const auto it = files.files.find(file);
  return it == files.files.end() ? "" : cp932::toUtf8(it->second);
}

TEST(EventLogLines, CodePage932WithCrLf_OneLinePerEvent) {
  FakePlatform fake(at("2027-01-04 07:30:05"));
  FakeFileAppend files;
  SchedulerEventLog log(files, fake.platform().clock, kProgramFolder);

  log.write("notice", "自動実行時プログラム「日報」を起動できませんでした。\nC:\\日報.exe");
  log.write("countdown", "17:30");
  log.write("launch", "絵文字😀と①");

  ASSERT_EQ(log.file(), kLogFile);
  EXPECT_EQ(files.files.at(kLogFile).substr(0, 27), "2027-01-04 07:30:05 notice ");
  EXPECT_EQ(text(files, kLogFile),
            "2027-01-04 07:30:05 notice 自動実行時プログラム「日報」を起動できませんでした。 / C:\\日報.exe\r\n"
            "2027-01-04 07:30:05 countdown 17:30\r\n"
            "2027-01-04 07:30:05 launch 絵文字?と①\r\n");
  // Code page 932 bytes: "日" is 0x93 0xFA.
  EXPECT_NE(files.files.at(kLogFile).find("\x93\xFA"), std::string::npos);
}

TEST(EventLogLines, FullFileMovesToOnePreviousFile) {
  FakePlatform fake(at("2027-01-04 07:30:05"));
  FakeFileAppend files;
  // Room for two lines of 33 bytes.
  SchedulerEventLog log(files, fake.platform().clock, kProgramFolder, 70);
  for (int i = 1; i <= 5; ++i) log.write("line", "number" + std::to_string(i));

  const auto previous = kProgramFolder / kPreviousEventLogFileName;
  EXPECT_EQ(files.files.size(), 2u);
  EXPECT_EQ(text(files, previous),
            "2027-01-04 07:30:05 line number3\r\n"
            "2027-01-04 07:30:05 line number4\r\n");
  EXPECT_EQ(text(files, kLogFile), "2027-01-04 07:30:05 line number5\r\n");
}

TEST(EventLogLines, UnwritableProgramFolderGoesToTheStateFolder_AndNoFolderAtAllIsToldOnce) {
  FakePlatform fake(at("2027-01-04 07:30:05"));
  FakeFileAppend files;
  files.unwritableFolders.insert(kProgramFolder);
  SchedulerEventLog log(files, fake.platform().clock, kProgramFolder);
  log.write("start", "Sayolt_123");
  EXPECT_EQ(log.file(), files.stateHome / kEventLogStateFolder / kEventLogFileName);
  EXPECT_EQ(text(files, log.file()), "2027-01-04 07:30:05 start Sayolt_123\r\n");

  FakeFileAppend nowhere;
  nowhere.unwritableFolders = {kProgramFolder, nowhere.stateHome / kEventLogStateFolder};
  SchedulerEventLog lost(nowhere, fake.platform().clock, kProgramFolder);
  std::vector<std::string> told;
  lost.onFailure = [&](const std::string& file) { told.push_back(file); };
  lost.write("start", "Sayolt_123");
  lost.write("countdown", "17:30");
  EXPECT_EQ(told.size(), 1u);
  EXPECT_TRUE(nowhere.files.empty());
}

// Weekdays 7:30 to 17:30.
Settings officeDays() {
  Settings s = baseSettings();
  s.day({kMonday, kTuesday, kWednesday}, "7:30", "17:30");
  s.autoProgram(0, "日報", "C:\\日報.exe", "0").plan(0, kMonday, 0);
  return s;
}

TEST(EventLogDay, ADayFromStartToShutdownInOrder) {
  FakeFileAppend files;
  SchedulerRig rig(at("2027-01-04 07:30:05"), officeDays());
  SchedulerEventLog log(files, rig.fake.platform().clock, kProgramFolder);
  rig.scheduler->setEventLog(&log);
  ASSERT_FALSE(rig.start().has_value());
  ASSERT_TRUE(rig.runUntil(at("2027-01-04 18:00:00")).has_value());

  std::vector<std::string> kinds;
  const std::string all = text(files, kLogFile);
  for (std::size_t begin = 0; begin < all.size();) {
    const auto end = all.find("\r\n", begin);
    const std::string line = all.substr(begin, end - begin);
    kinds.push_back(line.substr(20, line.find(' ', 20) - 20));
    begin = end + 2;
  }
  EXPECT_EQ(kinds, (std::vector<std::string>{"start", "start-kind", "launch", "countdown", "clock-shift", "next-start",
                                             "shutdown-request", "shutdown-answer", "end"}));
  EXPECT_NE(all.find("start-kind 自動起動 (枠1)"), std::string::npos);
  EXPECT_NE(all.find("next-start 7:30"), std::string::npos);
}

TEST(EventLogDay, WarningsBeforeTheShutdownAreShownOnceAtTheNextStart) {
  FakeFileAppend files;
  {
    SchedulerRig rig(at("2027-01-04 17:00:00"), officeDays());
    SchedulerEventLog log(files, rig.fake.platform().clock, kProgramFolder);
    rig.scheduler->setEventLog(&log);
    rig.fake.clockSettable = false;
    ASSERT_FALSE(rig.start().has_value());
    ASSERT_TRUE(rig.runUntil(at("2027-01-04 18:00:00")).has_value());
    EXPECT_TRUE(rig.fake.shutdownRequested);
  }
  const std::string all = text(files, kLogFile);
  EXPECT_LT(all.find("warning 時計を変更できなかった"), all.find("shutdown-request"));

  // The next start, made by hand since the clock was not shifted.
  for (int start = 0; start < 2; ++start) {
    SCOPED_TRACE(start);
    SchedulerRig rig(at("2027-01-05 07:45:00"), officeDays());
    SchedulerEventLog log(files, rig.fake.platform().clock, kProgramFolder);
    rig.scheduler->setEventLog(&log);
    ASSERT_FALSE(rig.start().has_value());
    if (start == 0) {
      ASSERT_EQ(rig.notices().size(), 1u);
      EXPECT_EQ(rig.notices()[0],
                "前回のシャットダウンの前に次の警告がありました。\n"
                "時計を変更できなかったため、次回の自動起動は行われません。");
    } else {
      EXPECT_TRUE(rig.notices().empty());  // already shown
    }
  }
}

// A read-only settings file is refused as on Windows: the panel's switch and the next start are
// not written, the user is told, the log keeps it, and the day goes on to its shutdown.
TEST(EventLogDay, ReadOnlySettingsFileRefusedToldAndLogged) {
  FakeFileAppend files;
  SchedulerRig rig(at("2027-01-04 07:30:05"), officeDays());
  SchedulerEventLog log(files, rig.fake.platform().clock, kProgramFolder);
  rig.scheduler->setEventLog(&log);
  const std::string before = test::readBytes(rig.settingsPath);
  std::filesystem::permissions(rig.settingsPath, std::filesystem::perms::owner_read |
                                                     std::filesystem::perms::group_read |
                                                     std::filesystem::perms::others_read);
  ASSERT_FALSE(rig.start().has_value());
  ASSERT_FALSE(rig.runUntil(at("2027-01-04 10:00:00")).has_value());

  SchedulerOperations panel(*rig.scheduler, rig.fake.platform(), {});
  panel.switchAbsence();
  ASSERT_TRUE(rig.runUntil(at("2027-01-04 18:00:00")).has_value());

  EXPECT_TRUE(rig.fake.shutdownRequested);
  EXPECT_EQ(test::readBytes(rig.settingsPath), before);
  ASSERT_EQ(rig.notices().size(), 2u);
  EXPECT_EQ(rig.notices()[0].rfind("不在の登録を書き込めませんでした。\n", 0), 0u) << rig.notices()[0];
  EXPECT_EQ(rig.notices()[1].rfind("次回起動時刻を記録できませんでした。\n", 0), 0u) << rig.notices()[1];
  // The reason is told in Japanese, after the file's name, never in the system's English.
  for (const std::string& notice : rig.notices()) {
    EXPECT_NE(notice.find("読み取り専用"), std::string::npos) << notice;
    const std::string afterName = notice.substr(notice.rfind("」"));
    EXPECT_TRUE(std::none_of(afterName.begin(), afterName.end(), [](char c) {
      return std::isalpha(static_cast<unsigned char>(c));
    })) << notice;
  }
  const std::string all = text(files, kLogFile);
  EXPECT_NE(all.find("notice 不在の登録を書き込めませんでした。"), std::string::npos) << all;
  EXPECT_LT(all.find("warning 次回起動時刻を記録できませんでした。"), all.find("shutdown-request")) << all;
}

}  // namespace
}  // namespace sayolt::schedtest
