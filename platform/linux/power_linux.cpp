#include "platform/linux/power_linux.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QString>

namespace sayolt {

namespace {

// sysfs takes each value in one write of its own.
bool writeWhole(const std::string& path, const std::string& value) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (fd < 0) return false;
  const ssize_t written = ::write(fd, value.data(), value.size());
  const bool closed = ::close(fd) == 0;
  return written == static_cast<ssize_t>(value.size()) && closed;
}

}  // namespace

LinuxPower::LinuxPower(std::string wakeAlarmPath) : wakeAlarmPath_(std::move(wakeAlarmPath)) {}

bool LinuxPower::requestShutdown() {
  QDBusConnection bus = QDBusConnection::systemBus();
  if (!bus.isConnected()) return false;
  QDBusInterface logind(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                        QStringLiteral("org.freedesktop.login1.Manager"), bus);
  if (!logind.isValid()) return false;
  // "challenge" means a password or an inhibitor stands in the way: not ours to override.
  const QDBusReply<QString> can = logind.call(QStringLiteral("CanPowerOff"));
  if (!can.isValid() || can.value() != QStringLiteral("yes")) return false;
  const QDBusMessage reply = logind.call(QStringLiteral("PowerOff"), false);
  return reply.type() == QDBusMessage::ReplyMessage;
}

bool LinuxPower::armWakeAlarm(std::chrono::seconds fromNow) {
  if (fromNow.count() <= 0) return false;
  // An alarm already set must be cleared first, or the kernel refuses the new one.
  if (!writeWhole(wakeAlarmPath_, "0")) return false;
  return writeWhole(wakeAlarmPath_, "+" + std::to_string(fromNow.count()));
}

}  // namespace sayolt
