#include "platform/linux/processes_linux.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "tests/support/qt_test_app.h"

namespace sayolt {
namespace {

namespace fs = std::filesystem;

void writeFile(const std::string& path, const std::string& content, fs::perms perms) {
  std::ofstream(path, std::ios::binary) << content;
  fs::permissions(path, perms);
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

constexpr auto kExecutable = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec;
constexpr auto kPlain = fs::perms::owner_read | fs::perms::owner_write;

int watchProcess(std::int64_t pid) { return static_cast<int>(::syscall(SYS_pidfd_open, static_cast<pid_t>(pid), 0u)); }

// True when the process has ended, seen through a pidfd of the test's own.
bool hasEnded(int pidfd) {
  pollfd p{pidfd, POLLIN, 0};
  return ::poll(&p, 1, 0) == 1;
}

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      ::setenv(name, value->c_str(), 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

class LinuxProcessesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::qtTestApp();
    ASSERT_TRUE(dir.isValid());
  }
  std::string path(const std::string& name) const { return dir.filePath(QString::fromStdString(name)).toStdString(); }
  QTemporaryDir dir;
  LinuxProcesses processes;
};

TEST_F(LinuxProcessesTest, Terminate_EndsStartedProgram_SecondCallFalse) {
  const std::string script = path("long job.sh");
  writeFile(script, "#!/bin/sh\nexec sleep 30\n", kExecutable);
  auto running = processes.startExecutable(script);
  ASSERT_NE(running, nullptr);
  ASSERT_GT(running->processId(), 0);
  const int watch = watchProcess(running->processId());
  ASSERT_GE(watch, 0);
  EXPECT_FALSE(hasEnded(watch));

  EXPECT_TRUE(running->terminate());
  EXPECT_TRUE(hasEnded(watch));
  EXPECT_FALSE(running->terminate());
  ::close(watch);
}

TEST_F(LinuxProcessesTest, Terminate_KillsProgramThatIgnoresSigterm) {
  const std::string script = path("stubborn.sh");
  const std::string readyMark = path("ready");
  writeFile(script, "#!/bin/sh\ntrap '' TERM\ntouch '" + readyMark + "'\nwhile :; do sleep 1; done\n", kExecutable);
  auto running = processes.startExecutable(script);
  ASSERT_NE(running, nullptr);
  const int watch = watchProcess(running->processId());
  ASSERT_GE(watch, 0);
  // The trap must be in place before the signal comes.
  for (int i = 0; i < 500 && !fs::exists(readyMark); ++i) ::usleep(10000);
  ASSERT_TRUE(fs::exists(readyMark));

  EXPECT_TRUE(running->terminate());
  EXPECT_TRUE(hasEnded(watch));
  ::close(watch);
}

TEST_F(LinuxProcessesTest, Terminate_True_WhenProgramHadAlreadyEnded) {
  const std::string script = path("quick.sh");
  writeFile(script, "#!/bin/sh\nexit 0\n", kExecutable);
  auto running = processes.startExecutable(script);
  ASSERT_NE(running, nullptr);
  const int watch = watchProcess(running->processId());
  if (watch >= 0) {
    pollfd p{watch, POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 5000), 1);
    ::close(watch);
  }
  EXPECT_TRUE(running->terminate());
  EXPECT_FALSE(running->terminate());
}

TEST_F(LinuxProcessesTest, StartExecutable_Null_WhenNotRunnable) {
  writeFile(path("plain.txt"), "text", kPlain);
  fs::create_directory(path("folder"));
  EXPECT_EQ(processes.startExecutable(path("plain.txt")), nullptr);
  EXPECT_EQ(processes.startExecutable(path("folder")), nullptr);
  EXPECT_EQ(processes.startExecutable(path("missing")), nullptr);
  EXPECT_EQ(processes.startExecutable(""), nullptr);
}

TEST_F(LinuxProcessesTest, IsExecutableFile_NeedsRegularFileWithExecutePermission) {
  writeFile(path("run.sh"), "#!/bin/sh\n", kExecutable);
  writeFile(path("data.txt"), "x", kPlain);
  fs::create_directory(path("folder"));
  fs::create_symlink(path("run.sh"), path("link"));
  EXPECT_TRUE(processes.isExecutableFile(path("run.sh")));
  EXPECT_TRUE(processes.isExecutableFile(path("link")));
  EXPECT_FALSE(processes.isExecutableFile(path("data.txt")));
  EXPECT_FALSE(processes.isExecutableFile(path("folder")));
  EXPECT_FALSE(processes.isExecutableFile(path("missing")));
  EXPECT_FALSE(processes.isExecutableFile(""));
}

TEST_F(LinuxProcessesTest, IsExecutableFile_DocumentWithTheExecuteBitIsADocument) {
  // As every file on a vfat, NTFS or SMB mount is.
  writeFile(path("手順書.pdf"), "%PDF-1.4\n", kExecutable);
  writeFile(path("empty"), "", kExecutable);
  fs::copy_file("/bin/true", path("program"));
  fs::permissions(path("program"), fs::perms::owner_all);
  EXPECT_FALSE(processes.isExecutableFile(path("手順書.pdf")));
  EXPECT_FALSE(processes.isExecutableFile(path("empty")));
  EXPECT_TRUE(processes.isExecutableFile(path("program")));
}

TEST_F(LinuxProcessesTest, StartedProgram_HasEndedOnceItExits) {
  writeFile(path("short.sh"), "#!/bin/sh\nsleep 0.2\n", kExecutable);
  auto running = processes.startExecutable(path("short.sh"));
  ASSERT_NE(running, nullptr);
  EXPECT_FALSE(running->hasEnded());
  for (int i = 0; i < 100 && !running->hasEnded(); ++i) ::usleep(50'000);
  EXPECT_TRUE(running->hasEnded());
}

TEST_F(LinuxProcessesTest, IsFolder_TrueForFoldersOnly) {
  writeFile(path("file.txt"), "x", kPlain);
  fs::create_directory(path("共有"));
  EXPECT_TRUE(processes.isFolder(path("共有")));
  EXPECT_FALSE(processes.isFolder(path("file.txt")));
  EXPECT_FALSE(processes.isFolder(path("missing")));
  EXPECT_FALSE(processes.isFolder(""));
}

TEST_F(LinuxProcessesTest, FileExists_TrueForFilesOnly) {
  writeFile(path("ブック 1.xls"), "x", kPlain);
  fs::create_directory(path("folder"));
  EXPECT_TRUE(processes.fileExists(path("ブック 1.xls")));
  EXPECT_FALSE(processes.fileExists(path("folder")));
  EXPECT_FALSE(processes.fileExists(path("missing.xls")));
  EXPECT_FALSE(processes.fileExists(""));
}

TEST_F(LinuxProcessesTest, OpenDocumentAndWait_RunsDefaultApplication_AndWaitsForItsEnd) {
  // A private desktop: one application registered as the default for plain text.
  fs::create_directories(path("data/applications"));
  fs::create_directories(path("config"));
  const std::string marker = path("opened");
  const std::string viewer = path("viewer.sh");
  // Writes the marker only at its very end, so it exists only if the caller waited.
  writeFile(viewer, "#!/bin/sh\nsleep 0.3\nprintf '%s' \"$1\" > '" + marker + "'\n", kExecutable);
  writeFile(path("data/applications/sayolt-test-viewer.desktop"),
            "[Desktop Entry]\nType=Application\nName=Viewer\nExec=" + viewer + " %f\n", kPlain);
  writeFile(path("config/mimeapps.list"), "[Default Applications]\ntext/plain=sayolt-test-viewer.desktop\n", kPlain);
  const std::string document = path("予定 1.txt");
  writeFile(document, "hello\n", kPlain);

  ScopedEnv home("XDG_DATA_HOME", path("data"));
  ScopedEnv config("XDG_CONFIG_HOME", path("config"));
  ScopedEnv desktop("XDG_CURRENT_DESKTOP", std::nullopt);
  ScopedEnv session("DESKTOP_SESSION", std::nullopt);
  if (system("command -v xdg-mime >/dev/null 2>&1") != 0) GTEST_SKIP() << "xdg-mime missing";

  EXPECT_TRUE(processes.openDocumentAndWait(document));
  EXPECT_EQ(readFile(marker), document);
}

TEST_F(LinuxProcessesTest, OpenDocument_ReturnsAtOnce_AndItsProgramCanBeWatched) {
  fs::create_directories(path("data/applications"));
  fs::create_directories(path("config"));
  const std::string marker = path("opened");
  const std::string viewer = path("viewer.sh");
  writeFile(viewer, "#!/bin/sh\nsleep 0.5\nprintf '%s' \"$1\" > '" + marker + "'\n", kExecutable);
  writeFile(path("data/applications/sayolt-test-viewer.desktop"),
            "[Desktop Entry]\nType=Application\nName=Viewer\nExec=" + viewer + " %f\n", kPlain);
  writeFile(path("config/mimeapps.list"), "[Default Applications]\ntext/plain=sayolt-test-viewer.desktop\n", kPlain);
  const std::string document = path("予定 2.txt");
  writeFile(document, "hello\n", kPlain);
  ScopedEnv home("XDG_DATA_HOME", path("data"));
  ScopedEnv config("XDG_CONFIG_HOME", path("config"));
  ScopedEnv desktop("XDG_CURRENT_DESKTOP", std::nullopt);
  ScopedEnv session("DESKTOP_SESSION", std::nullopt);
  if (system("command -v xdg-mime >/dev/null 2>&1") != 0) GTEST_SKIP() << "xdg-mime missing";

  OpenedDocument opened = processes.openDocument(document);

  ASSERT_TRUE(opened.opened);
  ASSERT_NE(opened.program, nullptr);
  EXPECT_FALSE(opened.program->hasEnded());
  EXPECT_FALSE(fs::exists(marker));  // not waited for
  for (int i = 0; i < 100 && !opened.program->hasEnded(); ++i) ::usleep(50'000);
  EXPECT_TRUE(opened.program->hasEnded());
  EXPECT_EQ(readFile(marker), document);
  EXPECT_FALSE(processes.openDocument(path("missing.pdf")).opened);
}

TEST_F(LinuxProcessesTest, OpenDocumentAndWait_False_WhenFileMissing) {
  EXPECT_FALSE(processes.openDocumentAndWait(path("missing.pdf")));
}

TEST_F(LinuxProcessesTest, OpenWorkbook_False_WhenFileMissing) {
  EXPECT_FALSE(processes.openWorkbook(path("missing.xls"), true));
}

}  // namespace
}  // namespace sayolt
