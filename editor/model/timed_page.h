#pragma once
// The rules of the time-specified programs page, without widgets, over the editor's tables.
#include <optional>
#include <string>
#include <string_view>

#include "editor/model/timed_tables.h"
#include "shared/ini_file.h"

namespace sayolt::editor {

class TimedPage {
 public:
  explicit TimedPage(TimedPageTables& tables) : tables(tables) {}
  TimedPageTables& tables;

  // loadTimedPrograms and loadTimedRuns over one read of the file. Throws PageLoadError when a run's
  // program number does not read as a program 0..19 (the scheduler would skip that run without a
  // word); the tables are then left as they were.
  void load(const IniSnapshot& file);

  // The name shown beside a number field: the program with that one-based number, or "" for a text
  // that is no number 1..20.
  std::string programLabel(std::string_view numberText) const;
  // Whether a number field may be left: empty, or naming a program that has a name.
  bool isAcceptedNumber(std::string_view numberText) const;
  // The zero-based index text stored for a one-based number field; "" for an empty field, nullopt
  // for a text that is no number 1..20.
  static std::optional<std::string> storedIndexOf(std::string_view numberText);
  // The one-based number shown for a stored index ("2" shows "3"); a text that is no number shows as it is.
  static std::string shownNumberOf(std::string_view storedIndex);

  // A grid field's text into the shown category, times with full-width digits made half-width. A
  // number field that holds no number 1..20 keeps what the table had (such a field cannot be left).
  void storeRunTime(int slot, std::string startTime);
  void storeRunNumber(int slot, std::string_view numberText);
  void setProgram(int index, std::string name, std::string path);

  // Monday's 30 slots onto 火曜日..金曜日, empty ones included.
  void copyMondayRuns();
  // The shown category back to its snapshot.
  void cancelCategory();

  // The program list's texts into the tables, then every category's runs into the snapshots.
  void commitTimedPage(const ProgramTexts& names, const ProgramTexts& paths);
  // The first problem of the snapshots in category order, then program order; nullopt when the
  // page is complete.
  std::optional<std::string> checkTimedPage() const;
  // What leaving the page checks: commitTimedPage and checkTimedPage, except that the snapshots take
  // the edits only when they are complete. After a refused leave キャンセル thus still goes back to
  // the last complete state.
  std::optional<std::string> commitIfComplete(const ProgramTexts& names, const ProgramTexts& paths);
  // The keys whose snapshot value differs from the saved copy, as one batch.
  IniBatch timedPageChanges() const;
  // Writes timedPageChanges (nothing at all when it is empty) and then takes the written values as
  // saved. Throws IniError when the file cannot be written; the saved copies then stay as they were.
  void saveTimedPage(IniFile& file);

  // Whether the edited tables differ from what was loaded or last saved.
  bool hasUnsavedEdits() const;
};

}  // namespace sayolt::editor
