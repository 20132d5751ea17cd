// Programs started and stopped through the Win32 process calls: a helper program under a Japanese
// path, its handle kept from the start, and the scheduler's "sed" entry stopping it.
#include <gtest/gtest.h>

#include <memory>

#include "platform/windows/processes_windows.h"
#include "tests/core/scheduler_test_support.h"
#include "tests/windows/win_test_support.h"

namespace sayolt {
namespace {

using wintest::utf8;

// A copy of the helper program under a folder and file name in Japanese.
class Sleeper {
 public:
  Sleeper() : exe_(folder_ / "常駐 テスト\\眠る.exe") {
    std::filesystem::create_directories(exe_.parent_path());
    std::filesystem::copy_file(wintest::exeFolder() / "sayolt_test_sleeper.exe", exe_);
  }
  const std::filesystem::path& exe() const { return exe_; }
  // The number the started program wrote, once it is running; 0 when it never ran.
  DWORD waitUntilRunning() const {
    const auto marker = std::filesystem::path(exe_.wstring() + L".pid");
    std::string pid;
    if (!wintest::waitFor([&] { return !(pid = test::readBytes(marker)).empty(); })) return 0;
    return static_cast<DWORD>(std::stoul(pid));
  }

 private:
  test::TempFolder folder_;
  std::filesystem::path exe_;
};

// A handle of our own on the process, to see how it ended after the stop closed its handle.
class Watch {
 public:
  explicit Watch(DWORD pid) : handle_(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid)) {}
  ~Watch() {
    if (handle_) CloseHandle(handle_);
  }
  bool opened() const { return handle_ != nullptr; }
  bool endsWithin(DWORD ms) const { return WaitForSingleObject(handle_, ms) == WAIT_OBJECT_0; }
  DWORD exitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(handle_, &code);
    return code;
  }
  // Stops a program the test left running.
  void kill() const {
    HANDLE h = OpenProcess(PROCESS_TERMINATE, FALSE, GetProcessId(handle_));
    if (h) {
      TerminateProcess(h, 9);
      CloseHandle(h);
    }
  }

 private:
  HANDLE handle_;
};

TEST(Win32Processes, StartsUnderAJapanesePathAndStopsWithExitCodeZero) {
  Sleeper sleeper;
  WindowsProcesses processes;
  auto process = processes.startExecutable(utf8(sleeper.exe()));
  ASSERT_NE(process, nullptr);
  const DWORD pid = sleeper.waitUntilRunning();
  ASSERT_NE(pid, 0u) << "the helper never ran";
  EXPECT_EQ(process->processId(), static_cast<std::int64_t>(pid));
  Watch watch(pid);
  ASSERT_TRUE(watch.opened());
  EXPECT_FALSE(process->hasEnded());

  EXPECT_TRUE(process->terminate());
  ASSERT_TRUE(watch.endsWithin(5000));
  EXPECT_EQ(watch.exitCode(), 0u);
  EXPECT_FALSE(process->terminate()) << "a second stop must do nothing";
}

TEST(Win32Processes, ProgramThatEndedByItselfCountsAsEnded) {
  WindowsProcesses processes;
  Sleeper sleeper;
  auto process = processes.startExecutable(utf8(sleeper.exe()));
  ASSERT_NE(process, nullptr);
  const DWORD pid = sleeper.waitUntilRunning();
  ASSERT_NE(pid, 0u);
  Watch watch(pid);
  watch.kill();  // ended behind the scheduler's back
  ASSERT_TRUE(watch.endsWithin(5000));
  EXPECT_TRUE(wintest::waitFor([&] { return process->hasEnded(); }));
  EXPECT_TRUE(process->terminate()) << "an ended program counts as stopped";
}

TEST(Win32Processes, MissingProgramIsNotStarted) {
  test::TempFolder folder;
  WindowsProcesses processes;
  EXPECT_EQ(processes.startExecutable(utf8(folder / "ない.exe")), nullptr);
  EXPECT_EQ(processes.startExecutable(""), nullptr);
}

TEST(Win32Processes, FilesAndFoldersUnderJapaneseNames) {
  test::TempFolder folder;
  const auto file = folder / "設定 ① ～.ini";
  test::writeBytes(file, "x");
  WindowsProcesses processes;
  EXPECT_TRUE(processes.fileExists(utf8(file)));
  EXPECT_FALSE(processes.fileExists(utf8(folder.path())));
  EXPECT_FALSE(processes.fileExists(utf8(folder / "ない.ini")));
  EXPECT_TRUE(processes.isFolder(utf8(folder.path())));
  EXPECT_FALSE(processes.isFolder(utf8(file)));
}

// The scheduler on virtual time, but with the real Win32 process calls: entry 3 starts the helper,
// entry 4 of the same name with the path "sed" stops it.
TEST(Win32Processes, SedEntryStopsTheHelperStartedByTheScheduler) {
  Sleeper sleeper;
  schedtest::Settings settings = schedtest::baseSettings();
  settings.timedProgram(3, "常駐ヘルパー", utf8(sleeper.exe())).timedProgram(4, "常駐ヘルパー", "sed");
  schedtest::SchedulerRig rig(schedtest::at("2027-01-04 08:59:00"), settings);
  WindowsProcesses processes;
  Platform& fake = rig.fake.platform();
  Platform platform{fake.clock, fake.events, fake.dialogs, processes,
                    fake.power, fake.tray,   fake.network, fake.instances};
  Scheduler scheduler(platform, rig.clockCheck, rig.countdown, rig.settingsPath, &rig.observer);
  scheduler.loadSettings();

  scheduler.launchTimedProgram(3);
  const DWORD pid = sleeper.waitUntilRunning();
  ASSERT_NE(pid, 0u) << "the helper never ran";
  Watch watch(pid);
  ASSERT_TRUE(watch.opened());
  EXPECT_FALSE(watch.endsWithin(0));

  scheduler.launchTimedProgram(4);
  EXPECT_TRUE(watch.endsWithin(5000));
  EXPECT_EQ(watch.exitCode(), 0u);
  EXPECT_EQ(rig.observer.details("stop"), std::vector<std::string>{"常駐ヘルパー"});
  if (!watch.endsWithin(0)) watch.kill();
}

}  // namespace
}  // namespace sayolt
