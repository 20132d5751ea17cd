// Writes on a really full disk: a tiny tmpfs mounted in a private mount namespace, so nothing
// outside the test sees it. Every write fails with a word, keeps the file as it was and leaves no
// temporary file behind. Exits with 77 (skipped) where a mount namespace is not permitted.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/file_replace.h"
#include "platform/qt/file_append_qt.h"
#include "scheduler/timecheck/error_log.h"
#include "shared/ini_file.h"
#include "tests/platform/plain_user.h"
#include "tests/support/test_files.h"
#include "workbook/schedule_workbook.h"
#include "workbook/workbook_error.h"

namespace sayolt {
namespace {

namespace fs = std::filesystem;
using test::asPlainUser;

std::vector<std::string> namesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A settings file of some size: the next start and every start and end time.
std::string settingsBytes() {
  IniBatch batch;
  batch.set("次回起動", "時刻", "7:30");
  for (int c = 0; c < 9; ++c)
    for (int s = 0; s < 8; ++s) batch.set("起動終了時刻", "0-" + std::to_string(c) + "-" + std::to_string(s), "8:00");
  return applyToBytes("", batch);
}

class FullDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    disk_ = folder_.path() / "disk";
    fs::create_directory(disk_);
    if (::mount("tmpfs", disk_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=128k,mode=0777") != 0)
      GTEST_SKIP() << "cannot mount a tmpfs: " << std::strerror(errno);
    mounted_ = true;
  }
  void TearDown() override {
    if (mounted_) ::umount2(disk_.c_str(), MNT_DETACH);
  }

  // Takes every free block of the disk.
  void fill() {
    std::FILE* filler = std::fopen((disk_ / "filler").c_str(), "wb");
    ASSERT_NE(filler, nullptr);
    std::setvbuf(filler, nullptr, _IONBF, 0);
    const std::string block(4096, 'x');
    while (std::fwrite(block.data(), 1, block.size(), filler) == block.size()) {
    }
    // A last short write may have taken part of a block; take the rest byte by byte.
    while (std::fwrite("x", 1, 1, filler) == 1) {
    }
    std::fclose(filler);
  }

  const fs::path& disk() const { return disk_; }

 private:
  test::TempFolder folder_;
  fs::path disk_;
  bool mounted_ = false;
};

TEST_F(FullDisk, SettingsWrite_ErrorOldFileKeptNoTemporaryFile) {
  const fs::path file = disk() / "Sayolt設定.ini";
  const std::string before = settingsBytes();
  test::writeBytes(file, before);
  fill();

  EXPECT_THROW(IniFile(file).set("次回起動", "時刻", "10:45"), IniError);
  EXPECT_THROW(IniFile(file).setSection("不在", {"登録日1=2027/5/4"}), IniError);
  EXPECT_EQ(test::readBytes(file), before);
  EXPECT_EQ(namesIn(disk()), (std::vector<std::string>{"Sayolt設定.ini", "filler"}));
}

// Where the folder may not be written the file is rewritten in place; a full disk must stop that
// before any byte of the old content changes.
TEST_F(FullDisk, InPlaceRewrite_GrowingFileRefusedBeforeAnyByteChanges) {
  const fs::path file = disk() / "Sayolt設定.ini";
  const std::string before = settingsBytes();
  test::writeBytes(file, before);
  fill();
  fs::permissions(disk(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                              fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);

  const int code = asPlainUser([&] {
    try {
      IniFile(file).set("時刻指定プログラム", "パス0", std::string(6000, 'p'));
    } catch (const IniError&) {
      return 0;
    }
    return 1;
  });
  fs::permissions(disk(), fs::perms::all);

  EXPECT_EQ(code, 0);
  EXPECT_EQ(test::readBytes(file), before);
  EXPECT_EQ(namesIn(disk()), (std::vector<std::string>{"Sayolt設定.ini", "filler"}));
}

TEST_F(FullDisk, Workbook_SaidInJapaneseOldFileKept) {
  const fs::path file = disk() / "Sayolt予定表.xls";
  const std::string before(8192, 'b');
  test::writeBytes(file, before);
  fill();

  try {
    replaceFileAtomically(file, std::string(64 * 1024, 'n'));
    ADD_FAILURE() << "a full disk took the workbook";
  } catch (const std::system_error& error) {
    EXPECT_EQ(error.code().value(), ENOSPC);
  }
  EXPECT_EQ(test::readBytes(file), before);
  EXPECT_EQ(namesIn(disk()), (std::vector<std::string>{"Sayolt予定表.xls", "filler"}));

  // A new workbook where there is no room: the user is told what to free.
  const fs::path fresh = disk() / "新しい予定表.xls";
  try {
    workbook::writeScheduleWorkbook(fresh, workbook::TimetableInput{});
    ADD_FAILURE() << "a full disk took a new workbook";
  } catch (const workbook::WorkbookError& error) {
    EXPECT_STREQ(
        error.what(),
        "新しい予定表.xls を保存できません。ディスクの空きが足りません。空きを作ってから、もう一度作成してください");
  }
  EXPECT_EQ(namesIn(disk()), (std::vector<std::string>{"Sayolt予定表.xls", "filler"}));
}

// The logs append; a line the disk cannot take is not left half written.
TEST_F(FullDisk, LogAppends_FailAndKeepTheLinesBefore) {
  // Whole pages, so that one more byte needs a block the disk does not have.
  const std::string lines(4096, 'l');
  const fs::path eventLog = disk() / "Sayolt_Log.txt";
  const fs::path ntpLog = disk() / kErrorLogFileName;
  test::writeBytes(eventLog, lines);
  test::writeBytes(ntpLog, lines);
  fill();

  const auto files = createQtFileAppend();
  EXPECT_FALSE(files->append(eventLog, std::string(6000, 'e') + "\r\n"));
  EXPECT_FALSE(files->append(eventLog, "2027-05-04 17:30:00 next-start 8:30\r\n"));
  EXPECT_EQ(test::readBytes(eventLog), lines);

  EXPECT_FALSE(appendErrorLogLine(ntpLog, "2027/05/04 8:00:00 NTP1とNTP2からの応答がありません"));
  EXPECT_EQ(test::readBytes(ntpLog), lines);
  EXPECT_FALSE(appendErrorLogLine(disk() / "new.txt", "2027/05/04 8:00:00 応答なし"));
  EXPECT_EQ(namesIn(disk()), (std::vector<std::string>{"NTP_Error.txt", "Sayolt_Log.txt", "filler"}));
}

}  // namespace
}  // namespace sayolt

int main(int argc, char** argv) {
  // A mount namespace of our own, whose mounts never reach the machine's.
  if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
    std::fprintf(stderr, "no private mount namespace here (%s): skipped\n", std::strerror(errno));
    return 77;
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
