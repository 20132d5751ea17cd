#pragma once
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/single_instance.h"

namespace sayolt {

// Copies within one test: a name is held once claimed, until a close request takes it away.
// What was asked is kept for the test to read; another copy's requests are played with
// askToClose and askToShow.
class FakeSingleInstance : public SingleInstance {
 public:
  bool claim(const std::string& name) override { return held.insert(name).second; }
  void setOnCloseRequest(std::function<void()> handler) override { onClose_ = std::move(handler); }
  bool requestClose(const std::string& name) override {
    closeRequests.push_back(name);
    return held.erase(name) > 0;
  }
  bool isHeld(const std::string& name) override { return held.count(name) > 0; }
  void setOnShowRequest(std::function<void()> handler) override { onShow_ = std::move(handler); }
  bool requestShow(const std::string& name) override {
    showRequests.push_back(name);
    return held.count(name) > 0;
  }

  // Another copy asks this one.
  void askToClose() {
    if (onClose_) onClose_();
  }
  void askToShow() {
    if (onShow_) onShow_();
  }

  std::set<std::string> held;
  std::vector<std::string> closeRequests;
  std::vector<std::string> showRequests;

 private:
  std::function<void()> onClose_;
  std::function<void()> onShow_;
};

}  // namespace sayolt
