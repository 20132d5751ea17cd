#include "platform/qt/single_instance_qt.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>

namespace sayolt {

namespace {

constexpr int kConnectTimeoutMs = 500;
const QByteArray kCloseRequest = "close\n";
const QByteArray kCancel = "cancel\n";
const QByteArray kCloseReply = "closed\n";
const QByteArray kShowRequest = "show\n";

}  // namespace

struct QtSingleInstance::Impl {
  std::string prefix;
  // The holder answers once its handler ran. One that does not answer in time is busy (blocked
  // on a document, say); the request is then withdrawn so that it does not close much later,
  // after a new copy found the name taken and gave up.
  std::chrono::milliseconds replyTimeout;
  QString lockFolder;
  QLocalServer server;
  std::function<void()> onClose;
  std::function<void()> onShow;

  void serve(QLocalSocket* socket) {
    QPointer<QLocalSocket> guard(socket);
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, guard] {
      // A withdrawn request arrives together with its cancel line: read everything first.
      bool closeWanted = false;
      bool showWanted = false;
      while (guard->canReadLine()) {
        const QByteArray line = guard->readLine(256).trimmed();
        if (line == "close") closeWanted = true;
        if (line == "cancel") closeWanted = false;
        if (line == "show") showWanted = true;
      }
      if (guard->bytesAvailable() > 256) {
        // Nothing but short lines is ever sent; anything longer is not one of ours.
        guard->abort();
        return;
      }
      if (showWanted && !closeWanted) {
        guard->disconnectFromServer();
        if (onShow) onShow();
        return;
      }
      if (!closeWanted) return;
      if (onClose) onClose();
      if (!guard) return;
      // The holder is on its way out: free the name at once for the copy that replaces it.
      server.close();
      guard->write(kCloseReply);
      guard->flush();
      guard->disconnectFromServer();
    });
  }
};

QtSingleInstance::QtSingleInstance(std::string serverPrefix, std::string lockFolder,
                                   std::chrono::milliseconds replyTimeout)
    : impl_(std::make_unique<Impl>()) {
  impl_->prefix = std::move(serverPrefix);
  impl_->replyTimeout = replyTimeout;
  impl_->lockFolder = QString::fromStdString(lockFolder);
  impl_->server.setSocketOptions(QLocalServer::UserAccessOption);
  QObject::connect(&impl_->server, &QLocalServer::newConnection, [this] {
    while (QLocalSocket* socket = impl_->server.nextPendingConnection()) impl_->serve(socket);
  });
}

QtSingleInstance::~QtSingleInstance() = default;

std::string QtSingleInstance::serverName(const std::string& name) const {
  // A digest keeps any name (Japanese, long) within the socket path limits.
  const QByteArray digest = QCryptographicHash::hash(QByteArray::fromStdString(name), QCryptographicHash::Sha256);
  return impl_->prefix + "sayolt-" + digest.toHex().left(20).toStdString();
}

bool QtSingleInstance::claim(const std::string& name) {
  const std::string socketName = serverName(name);
  const QString full = QString::fromStdString(socketName);
  if (impl_->server.isListening()) return impl_->server.serverName() == full;

  // Two copies starting together must not both remove the socket and listen.
  const std::string base = socketName.substr(impl_->prefix.size());
  QLockFile lock(QDir(impl_->lockFolder).filePath(QString::fromStdString(base) + ".lock"));
  // Without the lock (a hung copy holds it) the claim goes ahead all the same.
  lock.tryLock(3000);

  QLocalSocket probe;
  probe.connectToServer(full);
  if (probe.waitForConnected(kConnectTimeoutMs)) {
    probe.disconnectFromServer();
    return false;
  }
  // Nobody answered: a socket file left by a crashed copy may still be there.
  QLocalServer::removeServer(full);
  return impl_->server.listen(full);
}

void QtSingleInstance::setOnCloseRequest(std::function<void()> handler) { impl_->onClose = std::move(handler); }

void QtSingleInstance::setOnShowRequest(std::function<void()> handler) { impl_->onShow = std::move(handler); }

bool QtSingleInstance::requestShow(const std::string& name) {
  QLocalSocket socket;
  socket.connectToServer(QString::fromStdString(serverName(name)));
  if (!socket.waitForConnected(kConnectTimeoutMs)) return false;
  socket.write(kShowRequest);
  socket.flush();
  if (socket.bytesToWrite() > 0 && !socket.waitForBytesWritten(kConnectTimeoutMs)) return false;
  // The holder hangs up once it has read the request; the request must not be cut off before.
  if (socket.state() == QLocalSocket::ConnectedState) socket.waitForDisconnected(kConnectTimeoutMs);
  return true;
}

bool QtSingleInstance::isHeld(const std::string& name) {
  if (impl_->server.isListening() && impl_->server.serverName() == QString::fromStdString(serverName(name)))
    return true;
  QLocalSocket probe;
  probe.connectToServer(QString::fromStdString(serverName(name)));
  if (!probe.waitForConnected(kConnectTimeoutMs)) return false;
  probe.disconnectFromServer();
  return true;
}

bool QtSingleInstance::requestClose(const std::string& name) {
  QLocalSocket socket;
  socket.connectToServer(QString::fromStdString(serverName(name)));
  if (!socket.waitForConnected(kConnectTimeoutMs)) return false;
  socket.write(kCloseRequest);
  socket.flush();
  if (socket.bytesToWrite() > 0 && !socket.waitForBytesWritten(kConnectTimeoutMs)) return false;
  // Like a sent window message: come back once the holder has handled it.
  const QDeadlineTimer deadline(impl_->replyTimeout.count());
  while (socket.state() == QLocalSocket::ConnectedState && !socket.canReadLine()) {
    if (!socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) break;
  }
  // A holder that closed the connection without a word has gone away as well.
  if (socket.canReadLine() || socket.state() != QLocalSocket::ConnectedState) return true;
  socket.write(kCancel);
  socket.flush();
  if (socket.bytesToWrite() > 0) socket.waitForBytesWritten(kConnectTimeoutMs);
  return false;
}

}  // namespace sayolt
