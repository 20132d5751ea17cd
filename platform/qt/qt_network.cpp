#include "platform/qt/qt_network.h"

namespace sayolt {

namespace {
// Until the socket implementation lands every send fails, so a time check reports no answer.
class UnavailableSocket : public UdpSocket {
 public:
  bool bind(std::uint16_t) override { return false; }
  bool bindAnyPort() override { return false; }
  bool sendTo(const std::string&, std::uint16_t, std::span<const std::uint8_t>) override { return false; }
  std::vector<std::string> peerAddresses() const override { return {}; }
  std::optional<Datagram> receive() override { return std::nullopt; }
  void close() override {}
};
class UnavailableNetwork : public Network {
 public:
  std::unique_ptr<UdpSocket> createUdpSocket() override { return std::make_unique<UnavailableSocket>(); }
};
}  // namespace

std::unique_ptr<Network> createQtNetwork() { return std::make_unique<UnavailableNetwork>(); }

}  // namespace sayolt
