#pragma once
#include <chrono>
#include <memory>
#include <string>

#include "platform/single_instance.h"

namespace sayolt {

// One copy per user over a local socket (QLocalServer). The socket name is serverPrefix
// followed by a digest of the claimed name; the prefix must make it private to the user
// (a folder only the user can enter on Linux, the user's name on Windows). lockFolder is a
// folder of the user's where two copies starting at once take turns.
class QtSingleInstance : public SingleInstance {
 public:
  QtSingleInstance(std::string serverPrefix, std::string lockFolder,
                   std::chrono::milliseconds replyTimeout = std::chrono::seconds(5));
  ~QtSingleInstance() override;

  bool claim(const std::string& name) override;
  // Once the handler has run the name is given up, since the holder is about to end.
  void setOnCloseRequest(std::function<void()> handler) override;
  // Waits until the holder has handled the request. A holder that does not answer within a
  // few seconds gets the request withdrawn, and the answer is false.
  bool requestClose(const std::string& name) override;
  bool isHeld(const std::string& name) override;
  void setOnShowRequest(std::function<void()> handler) override;
  // Does not wait for the holder to have shown anything.
  bool requestShow(const std::string& name) override;

  // The full socket name used for a claimed name.
  std::string serverName(const std::string& name) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace sayolt
