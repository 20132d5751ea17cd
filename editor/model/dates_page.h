#pragma once
// The rules of the holiday and absence dates page, without widgets, over the editor's tables.
#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "editor/model/date_tables.h"
#include "shared/ini_file.h"

namespace sayolt::editor {

enum class AddDateResult {
  Empty,     // nothing typed: nothing happens
  NotADate,  // the user is asked for yyyy/m/d
  Added,
  InPast,  // added and dropped again at once: the list is unchanged
};

class DatesPage {
 public:
  explicit DatesPage(SpecialDateTables& tables) : tables(tables) {}
  SpecialDateTables& tables;

  // loadSpecialDates: every entry of both sections, whatever its key and however many there are;
  // values that are no date, or a date before today, are dropped.
  void load(const IniSnapshot& file, std::chrono::year_month_day today);

  const std::vector<std::string>& dates(DateKind kind) const;

  // 追加: the typed date, formatted "yyyy/m/d", at the end of the kind's list.
  AddDateResult addDate(DateKind kind, std::string_view text, std::chrono::year_month_day today);
  // 削除: the given rows of the kind's list (any order, duplicates and rows out of range ignored).
  void removeDates(DateKind kind, const std::vector<int>& rows, std::chrono::year_month_day today);
  // The national holidays of the year that are not before today and not yet in the holiday list,
  // appended in date order. Returns how many were added.
  int addNationalHolidays(int year, std::chrono::year_month_day today);

  // Both kinds as whole sections; a kind without dates loses its section.
  IniBatch specialDatesBatch() const;
  // saveSpecialDates: only a kind the user changed is written, and as a merge: the user's additions
  // and removals (against what the page loaded) applied to the list as the file holds it now, so
  // that what the scheduler's absence switch wrote meanwhile survives. Both tables then show the
  // file. Throws IniError when the file cannot be read or written; nothing counts as saved then.
  void saveSpecialDates(IniFile& file);

  // Whether the lists differ from what was loaded or last saved.
  bool hasUnsavedEdits() const;

 private:
  std::vector<std::string>& list(DateKind kind);
  // collectSpecialDates: drops what lies before today from the kind's list.
  void collect(DateKind kind, std::chrono::year_month_day today);

  // The day of the last load or edit: what the file's lists are read against at save time.
  std::chrono::year_month_day today_{};
};

}  // namespace sayolt::editor
