#pragma once
// What the editor reads when the main page opens: page 1 into its values and tables, then
// pages 2 and 3 by their own loaders, so that damage anywhere is found before a page is shown.
#include <functional>

#include "editor/model/main_page.h"
#include "editor/model/page_repair.h"
#include "platform/clock.h"

namespace sayolt::editor {

// A page's loaders: read the page into the tables; throw PageLoadError when it cannot be read.
using PageReader = std::function<void(const IniSnapshot&, EditorTables&)>;

struct StartupReaders {
  PageReader timedPrograms;  // page 2
  PageReader dates;          // page 3
};
// The loaders of pages 2 and 3, as their pages register them. The dates page drops the dates
// before the clock's today.
StartupReaders startupReaders(const Clock& clock);

// Reads the pages 1..lastPage in order. Throws PageLoadError naming the first page that cannot
// be read; the pages before it are read by then.
MainPageValues readPagesAtStartup(const IniSnapshot& file, EditorTables& tables, const StartupReaders& readers,
                                  PageId lastPage = PageId::Dates);

}  // namespace sayolt::editor
