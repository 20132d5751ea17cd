#pragma once
#include <functional>
#include <string>

#include "platform/workbook_viewer.h"

namespace sayolt {

// Renaming an open file succeeds on Linux, so "in use" is LibreOffice's lock file beside it.
// The lock counts while its owner may still run: it comes from another machine, or from this
// one with that user's soffice.bin running.
class LinuxWorkbookViewer : public WorkbookViewer {
 public:
  using OfficeRunning = std::function<bool(const std::string& osUser)>;
  // officeRunning answers whether the user runs soffice.bin here; by default from /proc.
  explicit LinuxWorkbookViewer(OfficeRunning officeRunning = {});

  bool isInUse(const std::filesystem::path& file) override;
  // LibreOffice Calc where installed, else the desktop's opener.
  bool show(const std::filesystem::path& file) override;

 private:
  OfficeRunning officeRunning_;
};

// Whether a process named soffice.bin runs for the user (by name; empty: the current user).
bool officeRunningFor(const std::string& osUser);

}  // namespace sayolt
