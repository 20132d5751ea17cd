#pragma once
#include <string>

#include "platform/dialogs.h"

namespace sayolt {

// Message boxes and the open-file dialog over Qt Widgets (a QApplication must exist).
// Installing the Japanese translation of the buttons is the program's job.
class QtDialogs : public Dialogs {
 public:
  void messageOk(const std::string& title, const std::string& text) override;
  MessageAnswer askYesNo(const std::string& title, const std::string& text) override;
  void notice(const std::string& title, const std::string& text) override;
  std::string openFileName(const std::string& title, const std::string& startFolder,
                           const std::string& filter) override;
};

// Turns a filter written as "説明|*.exe;*.bat|説明|*.*" into Qt's "説明 (*.exe *.bat);;説明 (*.*)".
// A description without a pattern, or an empty filter, gives all files.
std::string qtFileFilter(const std::string& filter);

}  // namespace sayolt
