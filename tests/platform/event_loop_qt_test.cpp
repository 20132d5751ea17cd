#include "platform/qt/event_loop_qt.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QApplication>
#include <QMessageBox>
#include <QObject>
#include <QTimer>
#include <algorithm>

#include "platform/linux/clock_linux.h"
#include "platform/qt/dialogs_qt.h"
#include "tests/support/qt_test_app.h"

namespace sayolt {
namespace {

class QtEventLoopTest : public ::testing::Test {
 protected:
  void SetUp() override { test::qtTestApp(); }
  LinuxClock clock;
  QtEventLoop loop{clock};
  // Receives the test's single shots, so none outlives the test it belongs to.
  QObject context;
  // A guard so that a broken loop fails the test instead of hanging it.
  MonotonicMs giveUpAt() const { return clock.monotonicMs() + 5000; }
};

double cpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

TEST_F(QtEventLoopTest, RunUntil_ReturnsOnceDoneHolds_AfterAnEvent) {
  bool flag = false;
  QTimer::singleShot(20, &context, [&] { flag = true; });
  loop.runUntil([&] { return flag; }, giveUpAt());
  EXPECT_TRUE(flag);
  EXPECT_FALSE(loop.exitRequested());
}

TEST_F(QtEventLoopTest, RunUntil_ReturnsAtWakeAt_NotBefore) {
  const MonotonicMs wakeAt = clock.monotonicMs() + 80;
  loop.runUntil([] { return false; }, wakeAt);
  EXPECT_GE(clock.monotonicMs(), wakeAt);
}

TEST_F(QtEventLoopTest, RunUntil_ReturnsAtOnce_WhenWakeAtHasPassed) {
  bool ran = false;
  QTimer::singleShot(0, &context, [&] { ran = true; });
  loop.runUntil([] { return false; }, clock.monotonicMs() - 1);
  EXPECT_FALSE(ran);
}

TEST_F(QtEventLoopTest, RunUntil_SleepsWithoutCpu_WhileWaiting) {
  const double before = cpuSeconds();
  loop.runUntil([] { return false; }, clock.monotonicMs() + 400);
  // A loop that spins would burn about the whole wait.
  EXPECT_LT(cpuSeconds() - before, 0.1);
}

TEST_F(QtEventLoopTest, Timer_FiresInsideNestedRunUntil) {
  int ticks = 0;
  auto fast = loop.createTimer([&] { ++ticks; });
  bool innerDone = false;
  int ticksWhenInnerStarted = -1;
  auto outer = loop.createTimer([&] {
    if (ticksWhenInnerStarted >= 0) return;
    ticksWhenInnerStarted = ticks;
    loop.runUntil([&] { return ticks >= ticksWhenInnerStarted + 3; }, giveUpAt());
    innerDone = true;
  });
  fast->setIntervalMs(10);
  outer->setIntervalMs(15);
  loop.runUntil([&] { return innerDone; }, giveUpAt());
  ASSERT_TRUE(innerDone);
  EXPECT_GE(ticks, ticksWhenInnerStarted + 3);
}

TEST_F(QtEventLoopTest, Timer_ReentersItsOwnHandler_WhileItWaits) {
  int calls = 0;
  int depth = 0;
  int deepest = 0;
  auto timer = loop.createTimer([&] {
    ++calls;
    ++depth;
    deepest = std::max(deepest, depth);
    if (calls == 1) loop.runUntil([&] { return calls >= 3; }, giveUpAt());
    --depth;
  });
  timer->setIntervalMs(10);
  loop.runUntil([&] { return calls >= 3 && depth == 0; }, giveUpAt());
  EXPECT_GE(calls, 3);
  EXPECT_EQ(deepest, 2);
}

TEST_F(QtEventLoopTest, RequestExit_EndsNestedAndOuterRunUntil) {
  bool innerReturned = false;
  auto timer = loop.createTimer([&] {
    loop.runUntil([] { return false; }, giveUpAt());
    innerReturned = true;
  });
  timer->setIntervalMs(10);
  QTimer::singleShot(60, &context, [&] { loop.requestExit(3); });
  loop.runUntil([] { return false; }, std::nullopt);
  EXPECT_TRUE(innerReturned);
  EXPECT_TRUE(loop.exitRequested());
  EXPECT_EQ(loop.exitCode(), 3);
  // Once asked, every later wait returns at once.
  loop.runUntil([] { return false; }, std::nullopt);
}

TEST_F(QtEventLoopTest, RequestExit_KeepsTheFirstCode) {
  loop.requestExit(2);
  loop.requestExit(5);
  EXPECT_EQ(loop.exitCode(), 2);
}

TEST_F(QtEventLoopTest, Timer_StopsAtIntervalZero_AndRestarts) {
  int ticks = 0;
  auto timer = loop.createTimer([&] { ++ticks; });
  EXPECT_EQ(timer->intervalMs(), 0);
  timer->setIntervalMs(10);
  EXPECT_EQ(timer->intervalMs(), 10);
  timer->setIntervalMs(0);
  EXPECT_EQ(timer->intervalMs(), 0);
  loop.runUntil([] { return false; }, clock.monotonicMs() + 60);
  EXPECT_EQ(ticks, 0);
  timer->setIntervalMs(10);
  loop.runUntil([&] { return ticks >= 2; }, giveUpAt());
  EXPECT_GE(ticks, 2);
}

TEST_F(QtEventLoopTest, Timer_StopsFiring_WhenDestroyed) {
  int ticks = 0;
  auto timer = loop.createTimer([&] { ++ticks; });
  timer->setIntervalMs(5);
  timer.reset();
  loop.runUntil([] { return false; }, clock.monotonicMs() + 40);
  EXPECT_EQ(ticks, 0);
}

// The open message boxes, as a person would see them.
std::vector<QMessageBox*> openBoxes() {
  std::vector<QMessageBox*> boxes;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) boxes.push_back(box);
  return boxes;
}

TEST_F(QtEventLoopTest, ModalBox_TicksGoOnUnderIt_ButItsSectionIsNotEnteredAgain) {
  // Every tick finds the same fault, as a reload of a bad settings file would.
  QtDialogs dialogs;
  const char section = 0;
  int ticks = 0, ticksUnderTheBox = 0, boxesOpened = 0, skipped = 0, mostBoxesAtOnce = 0;
  bool boxOpen = false;
  auto timer = loop.createTimer([&] {
    ++ticks;
    if (boxOpen) ++ticksUnderTheBox;
    const bool entered = loop.runExclusive(&section, [&] {
      ++boxesOpened;
      boxOpen = true;
      dialogs.messageOk("Sayolt_123", "設定を読み込めませんでした。");
      boxOpen = false;
    });
    if (!entered) ++skipped;
  });
  // Nobody answers for 300 ms; after that every box is answered as soon as it is seen.
  const MonotonicMs answerFrom = clock.monotonicMs() + 300;
  QTimer answerer;
  QObject::connect(&answerer, &QTimer::timeout, &context, [&] {
    const auto boxes = openBoxes();
    mostBoxesAtOnce = std::max(mostBoxesAtOnce, static_cast<int>(boxes.size()));
    if (clock.monotonicMs() < answerFrom) return;
    for (QMessageBox* box : boxes) box->accept();
  });
  // Inside the application's own loop: an earlier test's exit request would make every modal
  // loop return at once.
  QTimer::singleShot(0, &context, [&] {
    answerer.start(20);
    timer->setIntervalMs(10);
    loop.runUntil([&] { return boxesOpened >= 2 && !boxOpen; }, giveUpAt());
    timer->setIntervalMs(0);
    answerer.stop();
    QCoreApplication::exit(0);
  });
  QCoreApplication::exec();

  EXPECT_EQ(mostBoxesAtOnce, 1);
  EXPECT_GE(ticksUnderTheBox, 10);  // the day went on under the box
  EXPECT_GE(skipped, 10);
  // Once answered, the next cause gets its box again.
  EXPECT_EQ(boxesOpened, 2);
}

TEST_F(QtEventLoopTest, RunExclusive_OtherSectionsAndLaterEntriesRun) {
  const char first = 0, second = 0;
  std::vector<std::string> ran;
  EXPECT_TRUE(loop.runExclusive(&first, [&] {
    ran.push_back("first");
    EXPECT_FALSE(loop.runExclusive(&first, [&] { ran.push_back("first again"); }));
    EXPECT_TRUE(loop.runExclusive(&second, [&] { ran.push_back("second"); }));
  }));
  EXPECT_TRUE(loop.runExclusive(&first, [&] { ran.push_back("first later"); }));
  // A section left by an exception is free again.
  EXPECT_THROW(loop.runExclusive(&first, [] { throw 1; }), int);
  EXPECT_TRUE(loop.runExclusive(&first, [&] { ran.push_back("after the throw"); }));
  EXPECT_EQ(ran, (std::vector<std::string>{"first", "second", "first later", "after the throw"}));
}

}  // namespace
}  // namespace sayolt
