#pragma once
#include <filesystem>
#include <memory>

namespace sayolt {

// The spreadsheet program's side of the schedule workbook: whether a program holds the file
// open, and showing it.
class WorkbookViewer {
 public:
  virtual ~WorkbookViewer() = default;
  // True when another program has the file open. A lock left behind by a spreadsheet program
  // that no longer runs does not count, and is cleared.
  virtual bool isInUse(const std::filesystem::path& file) = 0;
  // Opens the file visibly in the spreadsheet program; does not wait. False when no program
  // could be started for it.
  virtual bool show(const std::filesystem::path& file) = 0;
};

// The viewer of the OS the program runs on (linux/ or windows/).
std::unique_ptr<WorkbookViewer> createWorkbookViewer();

}  // namespace sayolt
