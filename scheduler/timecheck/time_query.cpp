#include "scheduler/timecheck/time_query.h"

#include <algorithm>

namespace sayolt {

TimeQuery::TimeQuery(Platform& platform, TimeQueryOptions options) : platform_(platform), options_(options) {}

bool TimeQuery::fromServer(const Datagram& datagram, const UdpSocket& socket) const {
  if (datagram.senderPort != options_.serverPort) return false;
  const auto peers = socket.peerAddresses();
  return std::find(peers.begin(), peers.end(), datagram.senderAddress) != peers.end();
}

std::optional<TimeAnswer> TimeQuery::ask(const std::string& host) {
  if (host.empty()) return std::nullopt;
  const auto socket = platform_.network.createUdpSocket();
  if (!socket) return std::nullopt;
  // Port 1024 is what the time servers' firewalls may expect; when another program holds it,
  // any port still gets an answer.
  const bool bound = options_.localPort != 0 && socket->bind(options_.localPort);
  if (!bound && !socket->bindAnyPort()) return std::nullopt;
  const auto request = sntp::requestBytes();
  if (!socket->sendTo(host, options_.serverPort, request)) {
    socket->close();
    return std::nullopt;
  }

  const MonotonicMs start = platform_.clock.monotonicMs();
  std::optional<UtcTime> answer;
  // Datagrams from anyone else, or that fail the checks, are dropped and the wait goes on.
  // A failed lookup is a failed send: the attempt ends at once, as it does for one refused outright.
  const auto answered = [&] {
    if (socket->sendFailed()) return true;
    while (!answer) {
      const auto datagram = socket->receive();
      if (!datagram) break;
      if (fromServer(*datagram, *socket)) answer = sntp::answerOf(datagram->bytes);
    }
    return answer.has_value();
  };
  platform_.events.runUntil(answered, start + options_.timeout.count());
  socket->close();
  if (!answer || platform_.events.exitRequested()) return std::nullopt;

  const UtcTime whole = std::chrono::floor<std::chrono::seconds>(*answer);
  return TimeAnswer{whole, platform_.clock.setUtc(whole)};
}

}  // namespace sayolt
