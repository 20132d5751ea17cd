#include "platform/qt/single_instance_qt.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <cstring>
#include <future>

#include "tests/support/qt_test_app.h"

namespace sayolt {
namespace {

class QtSingleInstanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::qtTestApp();
    ASSERT_TRUE(dir.isValid());
  }
  std::string folder() const { return dir.path().toStdString(); }
  std::string prefix() const { return folder() + "/"; }
  QTemporaryDir dir;
  const std::string name = "Sayolt起動終了";
};

TEST_F(QtSingleInstanceTest, Claim_RefusedToSecondCopy_WhileFirstHolds) {
  QtSingleInstance first(prefix(), folder());
  QtSingleInstance second(prefix(), folder());
  EXPECT_TRUE(first.claim(name));
  EXPECT_FALSE(second.claim(name));
  // A different name is a different program.
  EXPECT_TRUE(second.claim("Sayolt設定"));
}

TEST_F(QtSingleInstanceTest, Claim_Succeeds_OnceTheHolderIsGone) {
  {
    QtSingleInstance first(prefix(), folder());
    ASSERT_TRUE(first.claim(name));
  }
  QtSingleInstance second(prefix(), folder());
  EXPECT_TRUE(second.claim(name));
}

TEST_F(QtSingleInstanceTest, Claim_Succeeds_OverSocketLeftByCrashedCopy) {
  QtSingleInstance probe(prefix(), folder());
  const std::string path = probe.serverName(name);
  // A bound socket nobody listens on, as a killed holder leaves it.
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  ASSERT_LT(path.size(), sizeof addr.sun_path);
  std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ::close(fd);

  QtSingleInstance next(prefix(), folder());
  EXPECT_TRUE(next.claim(name));
  QtSingleInstance another(prefix(), folder());
  EXPECT_FALSE(another.claim(name));
}

TEST_F(QtSingleInstanceTest, Claim_SocketClosedToOtherUsers) {
  QtSingleInstance holder(prefix(), folder());
  ASSERT_TRUE(holder.claim(name));
  struct stat st {};
  ASSERT_EQ(::stat(holder.serverName(name).c_str(), &st), 0);
  EXPECT_TRUE(S_ISSOCK(st.st_mode));
  EXPECT_EQ(st.st_mode & 077, 0u);
}

TEST_F(QtSingleInstanceTest, RequestClose_False_WhenNobodyHolds) {
  QtSingleInstance asker(prefix(), folder());
  EXPECT_FALSE(asker.requestClose(name));
}

TEST_F(QtSingleInstanceTest, RequestClose_RunsHoldersHandler_BeforeReturning) {
  std::atomic<bool> handled{false};
  std::promise<bool> claimed;
  // The holder is another program: its own thread with its own event loop.
  QThread* holderThread = QThread::create([&] {
    QtSingleInstance holder(prefix(), folder());
    QEventLoop loop;
    holder.setOnCloseRequest([&] {
      handled = true;
      loop.quit();
    });
    const bool ok = holder.claim(name);
    claimed.set_value(ok);
    if (!ok) return;
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
  });
  holderThread->start();
  ASSERT_TRUE(claimed.get_future().get());

  QtSingleInstance asker(prefix(), folder());
  EXPECT_FALSE(asker.claim(name));
  EXPECT_TRUE(asker.requestClose(name));
  EXPECT_TRUE(handled.load());
  // The closing holder has let go of the name, even if it has not ended yet.
  EXPECT_TRUE(asker.claim(name));
  holderThread->wait();
  delete holderThread;
}

TEST_F(QtSingleInstanceTest, RequestShow_ReachesTheHolder_WhichKeepsTheName) {
  QtSingleInstance asker(prefix(), folder());
  EXPECT_FALSE(asker.requestShow(name));  // nobody holds it

  std::atomic<int> shown{0};
  std::atomic<bool> closed{false};
  std::promise<bool> claimed;
  QThread* holderThread = QThread::create([&] {
    QtSingleInstance holder(prefix(), folder());
    QEventLoop loop;
    holder.setOnShowRequest([&] {
      if (++shown == 2) loop.quit();
    });
    holder.setOnCloseRequest([&] { closed = true; });
    const bool ok = holder.claim(name);
    claimed.set_value(ok);
    if (!ok) return;
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
  });
  holderThread->start();
  ASSERT_TRUE(claimed.get_future().get());

  EXPECT_FALSE(asker.claim(name));
  EXPECT_TRUE(asker.requestShow(name));
  EXPECT_TRUE(asker.requestShow(name));
  holderThread->wait();
  delete holderThread;
  EXPECT_EQ(shown.load(), 2);
  EXPECT_FALSE(closed.load());
}

TEST_F(QtSingleInstanceTest, RequestClose_Withdrawn_WhenHolderDoesNotAnswer) {
  QtSingleInstance holder(prefix(), folder());
  int handled = 0;
  holder.setOnCloseRequest([&] { ++handled; });
  ASSERT_TRUE(holder.claim(name));
  // The holder shares this thread, so it is busy while the request waits for an answer.
  QtSingleInstance asker(prefix(), folder(), std::chrono::milliseconds(200));
  EXPECT_FALSE(asker.requestClose(name));
  // When the holder gets to it later, the request has been taken back.
  QDeadlineTimer settle(300);
  while (!settle.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  EXPECT_EQ(handled, 0);
  EXPECT_FALSE(asker.claim(name));
}

}  // namespace
}  // namespace sayolt
