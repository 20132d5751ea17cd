#pragma once
#include <functional>
#include <string>

namespace sayolt {

enum class TrayIconKind { Normal, Absence };  // icon resources 101 and 102

// The notification-area icon with its tooltip and right-click menu.
class Tray {
 public:
  virtual ~Tray() = default;
  virtual void show(TrayIconKind icon, const std::string& tooltip) = 0;
  virtual void remove() = 0;
  virtual bool visible() const = 0;
  // Whether the desktop has a notification area that can hold the icon at all.
  virtual bool hostAvailable() const { return true; }
  // Called on a right click of the icon.
  virtual void setOnContextMenu(std::function<void()> handler) = 0;
};

}  // namespace sayolt
