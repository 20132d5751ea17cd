#pragma once
// Time servers on the fake platform's virtual time. A request to a host gets the reply the script
// gives for it; by default any named host answers with the true UTC one second later. Replies come
// from the server's address and port 123 unless the script says otherwise.
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"

namespace sayolt {

struct FakeTimeReply {
  enum class Kind {
    TrueTime,    // a server reply carrying the true UTC plus shift
    Silent,      // nothing comes back
    Bytes,       // exactly the given bytes
    SendFails,   // the request cannot be sent at all
    NoSuchName,  // the name does not resolve: the send fails after the lookup's delay
  };
  Kind kind = Kind::TrueTime;
  std::chrono::milliseconds delay{1000};  // from the request to the reply
  std::chrono::milliseconds shift{0};     // added to the true UTC
  std::vector<std::uint8_t> bytes;
  std::optional<std::string> fromAddress;  // another sender than the server
  std::optional<std::uint16_t> fromPort;

  static FakeTimeReply trueTime(std::chrono::milliseconds delay = std::chrono::seconds(1),
                                std::chrono::milliseconds shift = {}) {
    FakeTimeReply r;
    r.delay = delay;
    r.shift = shift;
    return r;
  }
  static FakeTimeReply silent() {
    FakeTimeReply r;
    r.kind = Kind::Silent;
    return r;
  }
  static FakeTimeReply noSuchName(std::chrono::milliseconds lookup = std::chrono::milliseconds(50)) {
    FakeTimeReply r;
    r.kind = Kind::NoSuchName;
    r.delay = lookup;
    return r;
  }
  static FakeTimeReply sendFails() {
    FakeTimeReply r;
    r.kind = Kind::SendFails;
    return r;
  }
};

class FakeNetwork : public Network {
 public:
  explicit FakeNetwork(FakePlatform& fake);
  ~FakeNetwork() override;

  // The replies to the host's requests, one per request in order; the last one repeats.
  // The host resolves to address (made up from the name when empty).
  void setServer(const std::string& host, std::vector<FakeTimeReply> replies, std::string address = {});
  // Used for hosts without a script.
  FakeTimeReply defaultReply = FakeTimeReply::trueTime();
  // Local ports another program holds: binding them fails.
  std::set<std::uint16_t> takenPorts;

  std::unique_ptr<UdpSocket> createUdpSocket() override;

  // The 48-byte reply of a synchronised stratum-2 server whose transmit time is utc.
  static std::vector<std::uint8_t> serverReplyBytes(UtcTime utc);

  struct Server {
    std::string address;
    std::vector<FakeTimeReply> replies;
    std::size_t requests = 0;
  };

 private:
  friend class FakeUdpSocket;
  Server& serverFor(const std::string& host);

  FakePlatform& fake_;
  std::map<std::string, Server> servers_;
  std::uint16_t nextEphemeralPort_ = 40000;
};

}  // namespace sayolt
