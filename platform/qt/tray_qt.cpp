#include "platform/qt/tray_qt.h"

#include <QColor>
#include <QIcon>
#include <QPainter>
#include <QPen>
#include <QPixmap>
#include <QSystemTrayIcon>

namespace sayolt {

namespace {

QString limitToolTip(const QString& text) {
  if (text.size() <= kTrayToolTipLimit) return text;
  qsizetype cut = kTrayToolTipLimit;
  if (text.at(cut - 1).isHighSurrogate()) --cut;
  return text.left(cut);
}

// A clock face; the absence icon is grey and crossed out so the two differ at a glance.
QPixmap drawIcon(TrayIconKind kind, int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const bool absence = kind == TrayIconKind::Absence;
  const qreal m = size / 16.0;
  const QRectF face(m, m, size - 2 * m, size - 2 * m);
  p.setPen(QPen(absence ? QColor(0x50, 0x50, 0x50) : QColor(0x10, 0x40, 0x90), m));
  p.setBrush(absence ? QColor(0xb0, 0xb0, 0xb0) : QColor(0x30, 0x80, 0xe0));
  p.drawEllipse(face);
  const QPointF centre = face.center();
  p.setPen(QPen(Qt::white, 1.6 * m, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(centre, QPointF(centre.x(), face.top() + 3 * m));
  p.drawLine(centre, QPointF(face.right() - 4 * m, centre.y()));
  if (absence) {
    p.setPen(QPen(QColor(0xd0, 0x20, 0x20), 2.2 * m, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3 * m, 3 * m), QPointF(size - 3 * m, size - 3 * m));
  }
  return pixmap;
}

QIcon makeIcon(TrayIconKind kind) {
  QIcon icon;
  for (int size : {16, 24, 32, 48}) icon.addPixmap(drawIcon(kind, size));
  return icon;
}

}  // namespace

QIcon trayIconImage(TrayIconKind kind) { return makeIcon(kind); }

struct QtTray::Impl {
  QSystemTrayIcon icon;
  QIcon normal = makeIcon(TrayIconKind::Normal);
  QIcon absence = makeIcon(TrayIconKind::Absence);
  TrayIconKind kind = TrayIconKind::Normal;
  std::function<void()> onContextMenu;
};

QtTray::QtTray() : impl_(std::make_unique<Impl>()) {
  QObject::connect(&impl_->icon, &QSystemTrayIcon::activated, [this](QSystemTrayIcon::ActivationReason reason) {
    // Left clicks and double clicks are deliberately ignored.
    if (reason == QSystemTrayIcon::Context && impl_->onContextMenu) {
      impl_->onContextMenu();
    }
  });
}

QtTray::~QtTray() { impl_->icon.hide(); }

void QtTray::show(TrayIconKind icon, const std::string& tooltip) {
  impl_->kind = icon;
  impl_->icon.setIcon(icon == TrayIconKind::Absence ? impl_->absence : impl_->normal);
  impl_->icon.setToolTip(limitToolTip(QString::fromStdString(tooltip)));
  impl_->icon.show();
}

void QtTray::remove() { impl_->icon.hide(); }

bool QtTray::visible() const { return impl_->icon.isVisible(); }

bool QtTray::hostAvailable() const { return QSystemTrayIcon::isSystemTrayAvailable(); }

void QtTray::setOnContextMenu(std::function<void()> handler) { impl_->onContextMenu = std::move(handler); }

std::string QtTray::toolTip() const { return impl_->icon.toolTip().toStdString(); }

TrayIconKind QtTray::iconKind() const { return impl_->kind; }

}  // namespace sayolt
