// Sayolt再起動 against a scheduler stand-in in a process of its own: the close request over the
// per-user socket, the pause, and the start of the program file in the editor's folder.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTest>
#include <filesystem>

#include "editor/model/scheduler_restart.h"
#include "platform/native_platform.h"
#include "tests/editor/editor_fakes.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/test_files.h"

namespace sayolt::editor {
namespace {

using test::TempFolder;

// The real services, with the per-user socket folder in the test's own folder so that a
// scheduler really running on this machine is never touched.
std::unique_ptr<NativePlatform> platformIn(const std::filesystem::path& runtime) {
  test::qtTestApp();
  std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
  qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime.string()));
  return NativePlatform::create();
}

struct SchedulerRestartTest : ::testing::Test {
  TempFolder folder;
  std::filesystem::path marker = folder.path() / "marker.txt";
  std::unique_ptr<NativePlatform> native = platformIn(folder.path());
  Platform& platform = native->platform();
  test::RecordingDialogs dialogs;
  EditorContext context{folder.path(),
                        {dialogs, platform.processes, native->singleInstance(), platform.events, platform.clock}};
  Clock& clock = platform.clock;

  void writeSchedulerProgram() {
    const auto program = folder.path() / "Sayolt_123";
    test::writeBytes(program, "#!/bin/sh\necho started >> '" + marker.string() + "'\n");
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
  }
};

TEST_F(SchedulerRestartTest, ClosesTheRunningSchedulerThenStartsItFromTheEditorsFolder) {
  writeSchedulerProgram();
  QProcess scheduler;
  scheduler.start(SAYOLT_FAKE_SCHEDULER, {QString::fromStdString(marker.string())});
  ASSERT_TRUE(scheduler.waitForReadyRead(5000));
  EXPECT_TRUE(schedulerRunning(context));

  const auto started = clock.monotonicMs();
  EXPECT_EQ(restartScheduler(context), RestartOutcome::Started);
  EXPECT_GE(clock.monotonicMs() - started, 500);
  // The stand-in has ended by now or ends soon; waitForFinished is false for one already ended.
  EXPECT_TRUE(scheduler.state() == QProcess::NotRunning || scheduler.waitForFinished(5000));
  EXPECT_EQ(scheduler.exitCode(), 0);
  EXPECT_TRUE(QTest::qWaitFor([&] { return test::readBytes(marker) == "closed\nstarted\n"; }, 5000))
      << test::readBytes(marker);
  EXPECT_FALSE(schedulerRunning(context));
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(SchedulerRestartTest, StartsTheSchedulerAlsoWhenNoneRuns) {
  writeSchedulerProgram();
  EXPECT_FALSE(schedulerRunning(context));
  EXPECT_EQ(restartScheduler(context), RestartOutcome::Started);
  EXPECT_TRUE(QTest::qWaitFor([&] { return test::readBytes(marker) == "started\n"; }, 5000));
}

TEST_F(SchedulerRestartTest, MissingProgramIsToldToTheUser) {
  EXPECT_EQ(restartScheduler(context), RestartOutcome::ProgramMissing);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].rfind("Sayolt_123 が見つからないため、起動できませんでした。", 0), 0u);
  EXPECT_EQ(dialogs.titles[0], "Sayolt設定");
}

}  // namespace
}  // namespace sayolt::editor
