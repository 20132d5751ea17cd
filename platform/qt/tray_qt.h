#pragma once
#include <memory>
#include <string>

#include "platform/tray.h"

class QIcon;

namespace sayolt {

// The notification-area icon over QSystemTrayIcon (a QApplication must exist). Works without a
// system tray: the icon then simply is not seen, and Qt adds it if a tray appears later.
class QtTray : public Tray {
 public:
  QtTray();
  ~QtTray() override;

  void show(TrayIconKind icon, const std::string& tooltip) override;
  void remove() override;
  bool visible() const override;
  bool hostAvailable() const override;
  void setOnContextMenu(std::function<void()> handler) override;

  // What the icon shows now: the tooltip as set (after shortening) and the icon in use.
  std::string toolTip() const;
  TrayIconKind iconKind() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The program's icon as drawn for the notification area (101 normal, 102 absence), also used as
// the icon of its windows.
QIcon trayIconImage(TrayIconKind kind);

// The notification area keeps at most 127 UTF-16 characters of a tooltip; the text is cut
// there, never inside a surrogate pair.
inline constexpr int kTrayToolTipLimit = 127;

}  // namespace sayolt
