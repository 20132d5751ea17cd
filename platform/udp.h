#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace sayolt {

struct Datagram {
  std::vector<std::uint8_t> bytes;
  std::string senderAddress;  // numeric address, as "192.0.2.1" or "::1"
  std::uint16_t senderPort = 0;
};

// One UDP socket. Datagrams are collected by the event loop; receive() never blocks.
class UdpSocket {
 public:
  virtual ~UdpSocket() = default;
  // Binds the local port; false when it cannot be bound (taken, not allowed).
  virtual bool bind(std::uint16_t localPort) = 0;
  // Binds a port that the system chooses.
  virtual bool bindAnyPort() = 0;
  // Resolves host (name or address) and sends the bytes to host:port. Resolution may go on in
  // the event loop; false when the send cannot be started at all.
  virtual bool sendTo(const std::string& host, std::uint16_t port, std::span<const std::uint8_t> bytes) = 0;
  // True once a send that sendTo started has failed after all (the name did not resolve, or no
  // address took the datagram): no answer can come.
  virtual bool sendFailed() const { return false; }
  // The numeric addresses the host resolved to (empty until resolved).
  virtual std::vector<std::string> peerAddresses() const = 0;
  // The next received datagram, if any.
  virtual std::optional<Datagram> receive() = 0;
  virtual void close() = 0;
};

class Network {
 public:
  virtual ~Network() = default;
  virtual std::unique_ptr<UdpSocket> createUdpSocket() = 0;
};

}  // namespace sayolt
