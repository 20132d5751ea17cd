// The time query over real UDP on loopback: a responder socket in this process plays the server,
// the Qt event loop does the waiting. The null platform's clock only records what it is set to.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QHostAddress>
#include <QNetworkDatagram>
#include <QTimer>
#include <QUdpSocket>
#include <chrono>
#include <memory>
#include <vector>

#include "platform/null/null_platform.h"
#include "scheduler/timecheck/sntp_packet.h"
#include "scheduler/timecheck/time_query.h"

namespace sayolt {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

QCoreApplication& application() {
  static int argc = 1;
  static char name[] = "sayolt_timecheck_tests";
  static char* argv[] = {name, nullptr};
  static QCoreApplication* app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
  return app ? *app : *QCoreApplication::instance();
}

// A 48-byte server reply; the arguments spoil the fields the client checks.
Bytes serverReply(std::uint32_t seconds, std::uint8_t leap = 0, std::uint8_t mode = 4, std::uint8_t stratum = 2) {
  Bytes b(48, 0);
  b[0] = static_cast<std::uint8_t>(leap << 6 | 4 << 3 | mode);
  b[1] = stratum;
  for (int i = 0; i < 4; ++i) b[40 + i] = static_cast<std::uint8_t>(seconds >> (24 - 8 * i));
  b[44] = 0x80;  // half a second, which the clock must not see
  return b;
}

constexpr std::uint32_t k20250630T235959 = 0xEC0DA37F;

// The server side. Each request is answered by the next scripted reply (none: silence).
class LoopbackResponder {
 public:
  enum class From { Server, OtherPort, OtherAddress };
  struct Reply {
    Bytes bytes;
    int delayMs = 0;
    From from = From::Server;
  };

  LoopbackResponder() {
    EXPECT_TRUE(server_.bind(QHostAddress::LocalHost, 0));
    QObject::connect(&server_, &QUdpSocket::readyRead, [this] { onRequest(); });
  }
  std::uint16_t port() const { return server_.localPort(); }

  std::vector<Reply> script;  // all go out, in order, for the first request
  std::vector<Bytes> requests;
  std::vector<std::uint16_t> requestPorts;

 private:
  void onRequest() {
    while (server_.hasPendingDatagrams()) {
      const QNetworkDatagram request = server_.receiveDatagram();
      const QByteArray data = request.data();
      requests.emplace_back(data.begin(), data.end());
      requestPorts.push_back(static_cast<std::uint16_t>(request.senderPort()));
      for (const Reply& reply : script) send(reply, request.senderAddress(), request.senderPort());
      script.clear();
    }
  }
  void send(const Reply& reply, QHostAddress to, int toPort) {
    QUdpSocket* socket = &server_;
    if (reply.from != From::Server) {
      auto other = std::make_unique<QUdpSocket>();
      const QHostAddress address =
          reply.from == From::OtherAddress ? QHostAddress("127.0.0.2") : QHostAddress::LocalHost;
      EXPECT_TRUE(other->bind(address, 0));
      socket = other.get();
      others_.push_back(std::move(other));
    }
    const QByteArray payload(reinterpret_cast<const char*>(reply.bytes.data()),
                             static_cast<qsizetype>(reply.bytes.size()));
    QTimer::singleShot(reply.delayMs, [socket, payload, to, toPort] {
      socket->writeDatagram(payload, to, static_cast<quint16>(toPort));
    });
  }

  QUdpSocket server_;
  std::vector<std::unique_ptr<QUdpSocket>> others_;
};

class LoopbackQuery : public ::testing::Test {
 protected:
  std::optional<TimeAnswer> ask(const std::string& host = "127.0.0.1", std::chrono::milliseconds timeout = 400ms,
                                std::uint16_t localPort = 0) {
    TimeQueryOptions options;
    options.serverPort = responder.port();
    options.localPort = localPort;  // 0 by default: parallel test runs must not fight over one port
    options.timeout = timeout;
    const MonotonicMs before = clock.monotonicMs();
    const auto answer = TimeQuery(platform, options).ask(host);
    waitedMs = clock.monotonicMs() - before;
    return answer;
  }

  QCoreApplication& app = application();  // first: sockets need its event dispatcher
  std::unique_ptr<NullPlatform> null = NullPlatform::create();
  Platform& platform = null->platform();
  NullClock& clock = null->clock();
  LoopbackResponder responder;
  MonotonicMs waitedMs = 0;
};

TEST_F(LoopbackQuery, Normal_RequestBytesAndClockSetFromAnswer) {
  responder.script = {{serverReply(k20250630T235959)}};
  const auto answer = ask();
  ASSERT_TRUE(answer);
  EXPECT_EQ(sntp::formatUtc(answer->utc), "2025/06/30 23:59:59");
  ASSERT_EQ(clock.utcRequests.size(), 1u);
  EXPECT_EQ(clock.utcRequests[0].time_since_epoch(), std::chrono::seconds(1'751'327'999));
  ASSERT_EQ(responder.requests.size(), 1u);
  Bytes expected(48, 0);
  expected[0] = 0x0B;
  EXPECT_EQ(responder.requests[0], expected);
}

TEST_F(LoopbackQuery, HostName_ResolvedWhileEventsRun) {
  responder.script = {{serverReply(k20250630T235959)}};
  const auto answer = ask("localhost", 2000ms);
  // localhost may resolve to ::1 first; the responder only listens on 127.0.0.1.
  if (!answer && responder.requests.empty()) GTEST_SKIP() << "localhost does not reach 127.0.0.1 here";
  ASSERT_TRUE(answer);
  EXPECT_EQ(sntp::formatUtc(answer->utc), "2025/06/30 23:59:59");
}

TEST_F(LoopbackQuery, Delayed_AnswerWithinTimeUsedLateOneNot) {
  responder.script = {{serverReply(k20250630T235959), 150}};
  EXPECT_TRUE(ask("127.0.0.1", 1000ms));
  EXPECT_GE(waitedMs, 140);
  responder.script = {{serverReply(k20250630T235959), 600}};
  EXPECT_FALSE(ask("127.0.0.1", 300ms));
  EXPECT_GE(waitedMs, 300);
  EXPECT_EQ(clock.utcRequests.size(), 1u);
}

TEST_F(LoopbackQuery, Silent_NoAnswerAfterFullWait) {
  EXPECT_FALSE(ask());
  EXPECT_GE(waitedMs, 400);
  EXPECT_EQ(responder.requests.size(), 1u);
  EXPECT_TRUE(clock.utcRequests.empty());
}

TEST_F(LoopbackQuery, RefusedReplies_IgnoredThenGoodAnswerTaken) {
  const std::uint32_t good = k20250630T235959;
  const std::uint32_t other = good - 3600;  // an hour off: must never be set
  Bytes shortReply = serverReply(other);
  shortReply.resize(44);
  const std::vector<LoopbackResponder::Reply> bad = {
      {shortReply},
      {serverReply(other), 0, LoopbackResponder::From::OtherPort},
      {serverReply(other), 0, LoopbackResponder::From::OtherAddress},
      {serverReply(0, 0, 4, 0)},   // kiss-o'-death: stratum 0, no time
      {serverReply(other, 3)},     // leap indicator 3: not synchronised
      {serverReply(other, 0, 3)},  // a client's packet
      {serverReply(0x83AA7E7F)},   // 1969
  };
  for (const auto& reply : bad) {
    SCOPED_TRACE(testing::PrintToString(reply.bytes));
    // Alone, the reply leaves the attempt unanswered...
    responder.script = {reply};
    EXPECT_FALSE(ask("127.0.0.1", 250ms));
    // ...and followed by a good one, it is passed over and the wait goes on.
    responder.script = {reply, {serverReply(good), 60}};
    const auto answer = ask("127.0.0.1", 2000ms);
    ASSERT_TRUE(answer);
    EXPECT_EQ(sntp::formatUtc(answer->utc), "2025/06/30 23:59:59");
  }
  for (const auto& t : clock.utcRequests) EXPECT_EQ(t.time_since_epoch(), std::chrono::seconds(1'751'327'999));
}

TEST_F(LoopbackQuery, NextEraAndShiftedTimes_SetAsSent) {
  responder.script = {{serverReply(0x00000010)}};
  auto answer = ask();
  ASSERT_TRUE(answer);
  EXPECT_EQ(sntp::formatUtc(answer->utc), "2036/02/07 06:28:32");
  // A server an hour ahead is believed: judging it is the check's job, not the query's.
  responder.script = {{serverReply(k20250630T235959 + 3600)}};
  answer = ask();
  ASSERT_TRUE(answer);
  EXPECT_EQ(sntp::formatUtc(answer->utc), "2025/07/01 00:59:59");
}

TEST_F(LoopbackQuery, LocalPortHeld_OtherPortUsedAndAnswerArrives) {
  QUdpSocket holder;
  ASSERT_TRUE(holder.bind(QHostAddress::Any, 0));
  const auto held = static_cast<std::uint16_t>(holder.localPort());
  responder.script = {{serverReply(k20250630T235959)}};
  ASSERT_TRUE(ask("127.0.0.1", 1000ms, held));
  ASSERT_EQ(responder.requestPorts.size(), 1u);
  EXPECT_NE(responder.requestPorts[0], held);
  EXPECT_EQ(holder.pendingDatagramSize(), -1);  // the holder did not get our answer
}

TEST_F(LoopbackQuery, UnusableHost_EndsWithoutAnswer) {
  EXPECT_FALSE(ask(""));
  EXPECT_LT(waitedMs, 100);
  EXPECT_FALSE(ask("name.invalid", 300ms));
  EXPECT_TRUE(responder.requests.empty());
}

}  // namespace
}  // namespace sayolt
