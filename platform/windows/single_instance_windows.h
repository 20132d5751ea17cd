#pragma once
#include <memory>
#include <string>

#include "platform/qt/single_instance_qt.h"

namespace sayolt {

// One copy per user over the user's local pipe, and the close request as Windows programs make
// it: the holder's hidden top-level window carries the claimed name as its title, the other
// program finds it with FindWindow and sends it WM_CLOSE. The pipe remains for a holder whose
// window does not exist yet.
class WindowsSingleInstance : public SingleInstance {
 public:
  WindowsSingleInstance(std::string pipePrefix, std::string lockFolder);
  ~WindowsSingleInstance() override;

  bool claim(const std::string& name) override;
  void setOnCloseRequest(std::function<void()> handler) override;
  // Comes back once the holder has handled the message, or after a few seconds if it is busy.
  bool requestClose(const std::string& name) override;
  bool isHeld(const std::string& name) override;
  void setOnShowRequest(std::function<void()> handler) override;
  bool requestShow(const std::string& name) override;

 private:
  class CloseFilter;
  // Dropped once a close request was handled, which frees the name for the copy that
  // replaces this one.
  std::unique_ptr<QtSingleInstance> pipe_;
  std::unique_ptr<CloseFilter> filter_;
};

}  // namespace sayolt
