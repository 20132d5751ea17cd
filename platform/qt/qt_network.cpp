#include "platform/qt/qt_network.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QNetworkDatagram>
#include <QObject>
#include <QUdpSocket>
#include <deque>

namespace sayolt {

namespace {

// A flood of datagrams must not grow memory without bound; the first ones are what counts.
constexpr std::size_t kInboxLimit = 64;

// One text per address: IPv4 in dotted form also when it arrives IPv4-mapped on a dual-stack socket.
QHostAddress normalised(const QHostAddress& address) {
  bool isV4 = false;
  const quint32 v4 = address.toIPv4Address(&isV4);
  if (isV4) return QHostAddress(v4);
  QHostAddress plain = address;
  plain.setScopeId({});
  return plain;
}

class QtUdpSocket : public UdpSocket {
 public:
  QtUdpSocket() {
    QObject::connect(&socket_, &QUdpSocket::readyRead, &context_, [this] { drain(); });
  }
  ~QtUdpSocket() override { close(); }

  bool bind(std::uint16_t localPort) override {
    // Exclusive: with address sharing a second program on the same port would take our replies.
    if (socket_.bind(QHostAddress::Any, localPort, QAbstractSocket::DontShareAddress)) return true;
    // Hosts without IPv6 refuse the dual-stack address.
    socket_.close();
    return socket_.bind(QHostAddress::AnyIPv4, localPort, QAbstractSocket::DontShareAddress);
  }

  bool bindAnyPort() override { return bind(0); }

  bool sendTo(const std::string& host, std::uint16_t port, std::span<const std::uint8_t> bytes) override {
    if (host.empty()) return false;
    if (socket_.state() != QAbstractSocket::BoundState && !bindAnyPort()) return false;
    const QString name = QString::fromStdString(host);
    QByteArray payload(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    sendFailed_ = false;
    QHostAddress literal;
    if (literal.setAddress(name)) {
      peers_ = {normalised(literal)};
      return socket_.writeDatagram(payload, literal, port) == payload.size();
    }
    // The lookup runs beside the event loop, so the wait for the answer keeps handling events.
    lookupId_ = QHostInfo::lookupHost(name, &context_, [this, payload, port](const QHostInfo& info) {
      lookupId_ = -1;
      sendFailed_ = true;  // until a datagram goes out
      if (info.error() != QHostInfo::NoError) return;
      peers_.clear();
      for (const QHostAddress& a : info.addresses()) peers_.push_back(normalised(a));
      for (const QHostAddress& a : peers_) {
        if (a.protocol() == QAbstractSocket::IPv6Protocol &&
            socket_.localAddress().protocol() == QAbstractSocket::IPv4Protocol)
          continue;
        if (socket_.writeDatagram(payload, a, port) == payload.size()) {
          sendFailed_ = false;
          return;
        }
      }
    });
    return true;
  }

  bool sendFailed() const override { return sendFailed_; }

  std::vector<std::string> peerAddresses() const override {
    std::vector<std::string> out;
    for (const QHostAddress& a : peers_) out.push_back(a.toString().toStdString());
    return out;
  }

  std::optional<Datagram> receive() override {
    drain();
    if (inbox_.empty()) return std::nullopt;
    Datagram d = std::move(inbox_.front());
    inbox_.pop_front();
    return d;
  }

  void close() override {
    if (lookupId_ != -1) QHostInfo::abortHostLookup(lookupId_);
    lookupId_ = -1;
    socket_.close();
    inbox_.clear();
  }

 private:
  void drain() {
    while (socket_.hasPendingDatagrams()) {
      const QNetworkDatagram received = socket_.receiveDatagram();
      if (!received.isValid()) break;
      if (inbox_.size() >= kInboxLimit) continue;
      Datagram d;
      const QByteArray data = received.data();
      d.bytes.assign(reinterpret_cast<const std::uint8_t*>(data.constData()),
                     reinterpret_cast<const std::uint8_t*>(data.constData()) + data.size());
      d.senderAddress = normalised(received.senderAddress()).toString().toStdString();
      d.senderPort = static_cast<std::uint16_t>(received.senderPort());
      inbox_.push_back(std::move(d));
    }
  }

  QObject context_;  // declared first: destroyed last, after the socket it listens to
  QUdpSocket socket_;
  std::deque<Datagram> inbox_;
  std::vector<QHostAddress> peers_;
  int lookupId_ = -1;
  bool sendFailed_ = false;
};

class QtNetwork : public Network {
 public:
  std::unique_ptr<UdpSocket> createUdpSocket() override { return std::make_unique<QtUdpSocket>(); }
};

}  // namespace

std::unique_ptr<Network> createQtNetwork() { return std::make_unique<QtNetwork>(); }

}  // namespace sayolt
