#pragma once
#include <functional>
#include <string>

namespace sayolt {

// One running copy per user, and a way for the other program to close it (the scheduler's
// findable main window "Sayolt起動終了").
class SingleInstance {
 public:
  virtual ~SingleInstance() = default;
  // Claims the name; false when another copy already holds it.
  virtual bool claim(const std::string& name) = 0;
  // Called when another program asks the holder to close.
  virtual void setOnCloseRequest(std::function<void()> handler) = 0;
  // Asks the holder of the name to close; true when one was found and asked.
  virtual bool requestClose(const std::string& name) = 0;
  // Whether a copy holds the name now (FindWindow of the holder's window); asks nothing of it.
  virtual bool isHeld(const std::string& name) = 0;
  // Called when another copy, about to end, asks the holder to show itself.
  virtual void setOnShowRequest(std::function<void()> /*handler*/) {}
  // Asks the holder of the name to show itself; true when one was found and asked.
  virtual bool requestShow(const std::string& /*name*/) { return false; }
};

}  // namespace sayolt
