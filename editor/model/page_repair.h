#pragma once
// The editor's three pages as the settings file knows them, and the erasing of a page that
// cannot be read.
#include <stdexcept>
#include <string>
#include <vector>

#include "shared/ini_file.h"

namespace sayolt::editor {

enum class PageId { Main = 1, TimedPrograms = 2, Dates = 3 };

// A page's loader found a value it cannot read; the page is offered for erasing.
class PageLoadError : public std::runtime_error {
 public:
  PageLoadError(PageId page, const std::string& what) : std::runtime_error(what), page_(page) {}
  PageId page() const { return page_; }

 private:
  PageId page_;
};

// The page's sections, in the order they are erased.
const std::vector<std::string>& pageSections(PageId page);
// The three lines of the Yes/No question for a page that cannot be read.
std::string repairQuestion(PageId page);
// Deletes the page's sections as one replacement of the file. Throws IniError when the file
// cannot be written; it is then unchanged.
void erasePage(IniFile& settings, PageId page);

}  // namespace sayolt::editor
