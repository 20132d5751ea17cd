#pragma once
// A workbook viewer for tests: says which files are open elsewhere and records what it showed.
#include <set>
#include <vector>

#include "platform/workbook_viewer.h"

namespace sayolt {

class FakeWorkbookViewer : public WorkbookViewer {
 public:
  std::set<std::filesystem::path> openElsewhere;
  bool programAvailable = true;
  // Showing a file leaves it open, as a spreadsheet program does.
  bool showingKeepsOpen = true;
  std::vector<std::filesystem::path> shown;

  bool isInUse(const std::filesystem::path& file) override { return openElsewhere.count(file) > 0; }
  bool show(const std::filesystem::path& file) override {
    if (!programAvailable) return false;
    shown.push_back(file);
    if (showingKeepsOpen) openElsewhere.insert(file);
    return true;
  }
};

}  // namespace sayolt
