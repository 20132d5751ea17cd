#include "editor/model/startup.h"

#include "editor/model/dates_page.h"
#include "editor/model/timed_page.h"

namespace sayolt::editor {

StartupReaders startupReaders(const Clock& clock) {
  StartupReaders readers;
  readers.timedPrograms = [](const IniSnapshot& file, EditorTables& tables) { TimedPage(tables.timed).load(file); };
  readers.dates = [&clock](const IniSnapshot& file, EditorTables& tables) {
    DatesPage(tables.dates).load(file, dateOf(clock.now()));
  };
  return readers;
}

MainPageValues readPagesAtStartup(const IniSnapshot& file, EditorTables& tables, const StartupReaders& readers,
                                  PageId lastPage) {
  MainPageValues values = readMainPage(file, tables.main);
  if (lastPage >= PageId::TimedPrograms && readers.timedPrograms) readers.timedPrograms(file, tables);
  if (lastPage >= PageId::Dates && readers.dates) readers.dates(file, tables);
  return values;
}

}  // namespace sayolt::editor
