// The workbook viewer on Linux: LibreOffice's lock file as the in-use probe, stale locks, and
// which program shows the file.
#include "platform/linux/workbook_viewer_linux.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/office_lock_file.h"
#include "tests/support/test_files.h"

namespace sayolt {
namespace {

std::string thisHost() {
  char name[256] = {};
  ::gethostname(name, sizeof name - 1);
  return name;
}

TEST(OfficeLockFile, NameAndFields) {
  EXPECT_EQ(officeLockPath(std::filesystem::path(u8"/data/Sayolt予定表.xls")),
            std::filesystem::path(u8"/data/.~lock.Sayolt予定表.xls#"));
  const auto lock = parseOfficeLock(",alice,pc01,07.12.2026 05:16,file:///home/alice/.config/libreoffice/4;");
  ASSERT_TRUE(lock);
  EXPECT_EQ(lock->officeUser, "");
  EXPECT_EQ(lock->osUser, "alice");
  EXPECT_EQ(lock->host, "pc01");
  EXPECT_EQ(lock->time, "07.12.2026 05:16");
  const auto escaped = parseOfficeLock("山田\\, 太郎,yamada,pc\\;02,07.12.2026 05:16,file:///p;");
  ASSERT_TRUE(escaped);
  EXPECT_EQ(escaped->officeUser, "山田, 太郎");
  EXPECT_EQ(escaped->host, "pc;02");
  EXPECT_FALSE(parseOfficeLock(",alice,pc01,07.12.2026 05:16,file:///x"));  // cut short
  EXPECT_FALSE(parseOfficeLock("garbage;"));
}

class LockProbe : public ::testing::Test {
 protected:
  void lockWith(const std::string& content) { test::writeBytes(officeLockPath(file_), content); }
  bool lockLeft() const { return std::filesystem::exists(officeLockPath(file_)); }

  test::TempFolder folder_;
  std::filesystem::path file_ = folder_ / "Sayolt予定表.xls";
  bool officeRuns_ = false;
  std::vector<std::string> askedFor_;
  LinuxWorkbookViewer viewer_{[this](const std::string& user) {
    askedFor_.push_back(user);
    return officeRuns_;
  }};
};

TEST_F(LockProbe, NoLockMeansFree) {
  test::writeBytes(file_, "book");
  EXPECT_FALSE(viewer_.isInUse(file_));
}

TEST_F(LockProbe, LockFromAnotherMachineCounts) {
  lockWith(",bob,another-" + thisHost() + ",07.12.2026 05:16,file:///home/bob/.config/libreoffice/4;");
  EXPECT_TRUE(viewer_.isInUse(file_));
  EXPECT_TRUE(lockLeft());
}

TEST_F(LockProbe, LockHereCountsWhileItsOwnerRuns) {
  lockWith(",alice," + thisHost() + ",07.12.2026 05:16,file:///home/alice/.config/libreoffice/4;");
  officeRuns_ = true;
  EXPECT_TRUE(viewer_.isInUse(file_));
  EXPECT_EQ(askedFor_, std::vector<std::string>{"alice"});
  EXPECT_TRUE(lockLeft());
}

TEST_F(LockProbe, LinkedWorkbook_LockBesideTheRealFileCounts) {
  // The packaged programs' folder holds links into the state folder; LibreOffice locks the target.
  test::writeBytes(file_, "book");
  std::filesystem::create_directory(folder_ / "programs");
  const auto link = folder_ / "programs" / "Sayolt予定表.xls";
  std::filesystem::create_symlink(file_, link);
  lockWith(",bob,another-" + thisHost() + ",07.12.2026 05:16,file:///home/bob/.config/libreoffice/4;");
  EXPECT_TRUE(viewer_.isInUse(link));
}

TEST_F(LockProbe, StaleLockOfACrashedOfficeIsCleared) {
  lockWith(",alice," + thisHost() + ",07.12.2026 05:16,file:///home/alice/.config/libreoffice/4;");
  EXPECT_FALSE(viewer_.isInUse(file_));
  EXPECT_FALSE(lockLeft());
  lockWith("not a lock line");  // unreadable: judged by this machine's LibreOffice
  EXPECT_FALSE(viewer_.isInUse(file_));
  EXPECT_EQ(askedFor_.back(), "");
  EXPECT_FALSE(lockLeft());
}

TEST(OfficeRunning, NoSuchUserRunsNothing) { EXPECT_FALSE(officeRunningFor("no-such-user-sayolt")); }

// Programs on a PATH of the test's own.
class ShowProgram : public ::testing::Test {
 protected:
  ShowProgram() : savedPath_(std::getenv("PATH") ? std::getenv("PATH") : "") {
    ::setenv("PATH", bin_.path().c_str(), 1);
  }
  ~ShowProgram() override { ::setenv("PATH", savedPath_.c_str(), 1); }

  void program(const std::string& name) {
    const auto path = bin_.path() / name;
    test::writeBytes(path, "#!/bin/sh\nPATH=/usr/bin:/bin\necho \"" + name + " $*\" > \"" + record_.string() +
                               ".tmp\"\nmv \"" + record_.string() + ".tmp\" \"" + record_.string() + "\"\n");
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
  }
  // What the started program was given; waits for it up to a few seconds.
  std::string started() const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!std::filesystem::exists(record_) && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return test::readBytes(record_);
  }

  std::string savedPath_;
  test::TempFolder bin_;
  test::TempFolder files_;
  std::filesystem::path record_ = files_ / "started";
  std::filesystem::path book_ = files_ / "Sayolt予定表.xls";
  LinuxWorkbookViewer viewer_;
};

TEST_F(ShowProgram, CalcWhereInstalled) {
  program("soffice");
  program("xdg-open");
  ASSERT_TRUE(viewer_.show(book_));
  EXPECT_EQ(started(), "soffice --calc --nologo --norestore " + book_.string() + "\n");
}

TEST_F(ShowProgram, ElseTheDesktopsOpener) {
  program("xdg-open");
  ASSERT_TRUE(viewer_.show(book_));
  EXPECT_EQ(started(), "xdg-open " + book_.string() + "\n");
}

TEST_F(ShowProgram, NothingToShowItWith) { EXPECT_FALSE(viewer_.show(book_)); }

}  // namespace
}  // namespace sayolt
