#include "editor/model/startup.h"

namespace sayolt::editor {

StartupReaders startupReaders() {
  StartupReaders readers;
  // The time-specified programs page (loadTimedPrograms, loadTimedRuns) and the dates page
  // (loadSpecialDates) register their loaders here.
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
