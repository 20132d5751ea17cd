#include "platform/fake/fake_network.h"

#include <deque>

namespace sayolt {

namespace {
constexpr std::uint16_t kNtpPort = 123;

std::string madeUpAddress(const std::string& host) {
  // A stable, distinct documentation address per host name.
  unsigned hash = 0;
  for (unsigned char c : host) hash = hash * 31 + c;
  return "198.51.100." + std::to_string(1 + hash % 254);
}
}  // namespace

class FakeUdpSocket : public UdpSocket {
 public:
  FakeUdpSocket(FakePlatform& fake, FakeNetwork& network)
      : fake_(fake), network_(network), state_(std::make_shared<State>()) {}
  ~FakeUdpSocket() override { close(); }

  bool bind(std::uint16_t localPort) override {
    if (state_->open || network_.takenPorts.count(localPort)) return false;
    state_->open = true;
    localPort_ = localPort;
    return true;
  }
  bool bindAnyPort() override {
    if (state_->open) return false;
    state_->open = true;
    localPort_ = network_.nextEphemeralPort_++;
    return true;
  }

  bool sendTo(const std::string& host, std::uint16_t port, std::span<const std::uint8_t> bytes) override {
    if (host.empty()) return false;
    if (!state_->open && !bindAnyPort()) return false;
    FakeNetwork::Server& server = network_.serverFor(host);
    const FakeTimeReply reply = server.replies.empty()
                                    ? network_.defaultReply
                                    : server.replies[std::min(server.requests, server.replies.size() - 1)];
    ++server.requests;
    if (reply.kind == FakeTimeReply::Kind::SendFails) return false;
    if (reply.kind == FakeTimeReply::Kind::NoSuchName) {
      std::weak_ptr<State> weak = state_;
      fake_.scheduleAfter(reply.delay, [weak] {
        if (const auto state = weak.lock()) state->sendFailed = true;
      });
      return true;
    }
    peers_ = {server.address};
    fake_.record("udp-sent", {{"host", host},
                              {"port", std::to_string(port)},
                              {"localPort", std::to_string(localPort_)},
                              {"bytes", std::to_string(bytes.size())}});
    // Only a request to the time-server port reaches a server.
    if (reply.kind == FakeTimeReply::Kind::Silent || port != kNtpPort) return true;

    Datagram datagram;
    datagram.senderAddress = reply.fromAddress.value_or(server.address);
    datagram.senderPort = reply.fromPort.value_or(kNtpPort);
    std::weak_ptr<State> weak = state_;
    FakePlatform& fake = fake_;
    fake_.scheduleAfter(reply.delay, [&fake, weak, reply, datagram]() mutable {
      const auto state = weak.lock();
      if (!state || !state->open) return;  // a late reply finds no socket
      datagram.bytes = reply.kind == FakeTimeReply::Kind::Bytes
                           ? reply.bytes
                           : FakeNetwork::serverReplyBytes(fake.trueUtcNow() + reply.shift);
      state->inbox.push_back(std::move(datagram));
    });
    return true;
  }

  std::vector<std::string> peerAddresses() const override { return peers_; }
  bool sendFailed() const override { return state_->sendFailed; }

  std::optional<Datagram> receive() override {
    if (state_->inbox.empty()) return std::nullopt;
    Datagram d = std::move(state_->inbox.front());
    state_->inbox.pop_front();
    return d;
  }

  void close() override {
    state_->open = false;
    state_->inbox.clear();
  }

 private:
  struct State {
    bool open = false;
    bool sendFailed = false;
    std::deque<Datagram> inbox;
  };
  FakePlatform& fake_;
  FakeNetwork& network_;
  std::shared_ptr<State> state_;
  std::uint16_t localPort_ = 0;
  std::vector<std::string> peers_;
};

FakeNetwork::FakeNetwork(FakePlatform& fake) : fake_(fake) {}
FakeNetwork::~FakeNetwork() = default;

void FakeNetwork::setServer(const std::string& host, std::vector<FakeTimeReply> replies, std::string address) {
  Server& server = servers_[host];
  server.address = address.empty() ? madeUpAddress(host) : std::move(address);
  server.replies = std::move(replies);
  server.requests = 0;
}

FakeNetwork::Server& FakeNetwork::serverFor(const std::string& host) {
  auto it = servers_.find(host);
  if (it == servers_.end()) it = servers_.emplace(host, Server{madeUpAddress(host), {}, 0}).first;
  return it->second;
}

std::unique_ptr<UdpSocket> FakeNetwork::createUdpSocket() { return std::make_unique<FakeUdpSocket>(fake_, *this); }

std::vector<std::uint8_t> FakeNetwork::serverReplyBytes(UtcTime utc) {
  std::vector<std::uint8_t> bytes(48, 0);
  bytes[0] = 0x24;  // leap indicator 0, version 4, mode 4 (server)
  bytes[1] = 2;     // stratum
  const auto ms = utc.time_since_epoch().count();
  const std::int64_t unixSeconds = ms >= 0 ? ms / 1000 : (ms - 999) / 1000;
  const auto ntpSeconds = static_cast<std::uint32_t>(unixSeconds + kNtpToUnixSeconds);
  const auto fraction = static_cast<std::uint32_t>(((ms - unixSeconds * 1000) << 32) / 1000);
  for (int i = 0; i < 4; ++i) {
    bytes[40 + i] = static_cast<std::uint8_t>(ntpSeconds >> (24 - 8 * i));
    bytes[44 + i] = static_cast<std::uint8_t>(fraction >> (24 - 8 * i));
    bytes[32 + i] = bytes[40 + i];  // receive timestamp, the same moment
    bytes[36 + i] = bytes[44 + i];
  }
  return bytes;
}

}  // namespace sayolt
