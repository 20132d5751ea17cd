// The null platform on a live machine: its clock moves only itself, its dialogs answer from the
// script and remember what they were asked, and nothing else acts.
#include "platform/null/null_platform.h"

#include <gtest/gtest.h>

#include <chrono>

#include "tests/support/qt_test_app.h"

namespace sayolt {
namespace {

using namespace std::chrono_literals;

std::chrono::milliseconds distance(LocalTime a, LocalTime b) { return a > b ? a - b : b - a; }

TEST(NullClock, SetUtc_MovesOnlyThisClock) {
  NullClock clock, untouched;
  const MonotonicMs before = clock.monotonicMs();
  const LocalTime local = clock.now();
  // An hour ahead of the system clock, whatever the zone.
  const UtcTime target = std::chrono::floor<std::chrono::milliseconds>(std::chrono::system_clock::now()) + 1h;
  ASSERT_TRUE(clock.setUtc(target));

  EXPECT_LT(distance(clock.now(), local + 1h), 2s);
  EXPECT_LT(distance(untouched.now(), local), 2s);
  EXPECT_LT(clock.monotonicMs() - before, 2000);  // the counter ignores clock changes
  ASSERT_EQ(clock.utcRequests.size(), 1u);
  EXPECT_EQ(clock.utcRequests[0], target);
  EXPECT_FALSE(clock.syncHardwareClock());
}

TEST(NullClock, SetLocalTimeOfDay_KeepsTheDate) {
  NullClock clock;
  const auto date = dateOf(clock.now());
  const TimeOfDay target{23 * 3600 + 59 * 60};
  ASSERT_TRUE(clock.setLocalTimeOfDay(target));
  EXPECT_LT(distance(clock.now(), atTimeOfDay(date, target)), 2s);
}

TEST(NullPlatform, DialogsAnswerAndRecord_NothingElseActs) {
  test::qtTestApp();
  const auto null = NullPlatform::create();
  Platform& p = null->platform();
  null->dialogs().yesNoAnswer = MessageAnswer::Yes;
  null->dialogs().openFileAnswer = "C:\\Tools\\backup.exe";

  p.dialogs.messageOk("Sayolt設定", "保存しました。");
  EXPECT_EQ(p.dialogs.askYesNo("Sayolt設定", "消去しますか?"), MessageAnswer::Yes);
  EXPECT_EQ(p.dialogs.openFileName("開く", "C:\\", "すべて|*.*"), "C:\\Tools\\backup.exe");
  const auto& shown = null->dialogs().shown;
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].kind, ShownDialog::Kind::MessageOk);
  EXPECT_EQ(shown[0].text, "保存しました。");
  EXPECT_EQ(shown[1].kind, ShownDialog::Kind::YesNo);

  EXPECT_EQ(p.processes.startExecutable("/bin/true"), nullptr);
  EXPECT_FALSE(p.processes.openDocumentAndWait("/etc/hostname"));
  EXPECT_FALSE(p.power.requestShutdown());
  EXPECT_FALSE(p.power.armWakeAlarm(1h));
  p.tray.show(TrayIconKind::Normal, "起動:8:00");
  EXPECT_FALSE(p.tray.visible());

  // The event loop is real: a wait ends at its deadline on the null clock's counter.
  const MonotonicMs start = p.clock.monotonicMs();
  p.events.runUntil([] { return false; }, start + 50);
  EXPECT_GE(p.clock.monotonicMs() - start, 50);
}

}  // namespace
}  // namespace sayolt
