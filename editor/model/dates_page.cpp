#include "editor/model/dates_page.h"

#include <algorithm>
#include <functional>
#include <map>

#include "editor/model/japanese_holidays.h"
#include "shared/date_list.h"
#include "shared/settings_keys.h"
#include "shared/text_rules.h"

namespace sayolt::editor {

namespace {

using std::chrono::year_month_day;

bool isCurrent(std::string_view text, year_month_day today) {
  const auto date = parseDate(text);
  return date && *date >= today;
}

// Every entry, not only what a 1024-byte section buffer would hold: a long list must survive the
// next whole-section save.
std::vector<std::string> loadList(const IniSnapshot& file, const char* section, year_month_day today) {
  return currentDates(file, section, today);
}

using DateCounts = std::map<std::chrono::sys_days, int>;

DateCounts countDates(const std::vector<std::string>& dates) {
  DateCounts counts;
  for (const std::string& text : dates)
    if (const auto date = parseDate(text)) ++counts[std::chrono::sys_days(*date)];
  return counts;
}

int countOf(const DateCounts& counts, std::chrono::sys_days date) {
  const auto found = counts.find(date);
  return found == counts.end() ? 0 : found->second;
}

// Three-way merge of one list: the page's changes (edited against loaded) applied to what the file
// holds now. A date both sides added, or both removed, is changed once.
std::vector<std::string> mergeList(const std::vector<std::string>& loaded, const std::vector<std::string>& edited,
                                   const std::vector<std::string>& onDisk) {
  const DateCounts inLoaded = countDates(loaded);
  const DateCounts inEdited = countDates(edited);
  const DateCounts inFile = countDates(onDisk);
  const auto wanted = [&](std::chrono::sys_days date) {
    const int base = countOf(inLoaded, date);
    const int page = countOf(inEdited, date) - base;
    const int file = countOf(inFile, date) - base;
    if (page > 0 && file > 0) return base + std::max(page, file);
    if (page < 0 && file < 0) return std::max(0, base + std::min(page, file));
    return std::max(0, base + file + page);
  };
  std::vector<std::string> merged;
  DateCounts kept;
  const auto keep = [&](const std::string& text) {
    const auto date = parseDate(text);
    if (!date) return;
    const std::chrono::sys_days day(*date);
    if (kept[day] >= wanted(day)) return;
    ++kept[day];
    merged.push_back(text);
  };
  // The file's order first, then the page's additions in the page's order.
  for (const std::string& text : onDisk) keep(text);
  for (const std::string& text : edited) keep(text);
  return merged;
}

void addList(IniBatch& batch, const char* section, const std::vector<std::string>& dates) {
  if (dates.empty()) {
    batch.deleteSection(section);
    return;
  }
  std::vector<std::string> entries;
  entries.reserve(dates.size());
  for (size_t i = 0; i < dates.size(); ++i)
    entries.push_back(keys::dateListKey(static_cast<int>(i + 1)) + "=" + dates[i]);
  batch.setSection(section, std::move(entries));
}

}  // namespace

void DatesPage::load(const IniSnapshot& file, year_month_day today) {
  today_ = today;
  tables.holidayDates = loadList(file, keys::kHolidaySection, today);
  tables.absenceDates = loadList(file, keys::kAbsenceSection, today);
  tables.savedHolidayDates = tables.holidayDates;
  tables.savedAbsenceDates = tables.absenceDates;
}

const std::vector<std::string>& DatesPage::dates(DateKind kind) const {
  return kind == DateKind::Holiday ? tables.holidayDates : tables.absenceDates;
}

std::vector<std::string>& DatesPage::list(DateKind kind) {
  return kind == DateKind::Holiday ? tables.holidayDates : tables.absenceDates;
}

void DatesPage::collect(DateKind kind, year_month_day today) {
  today_ = today;
  std::erase_if(list(kind), [&](const std::string& text) { return text.empty() || !isCurrent(text, today); });
}

AddDateResult DatesPage::addDate(DateKind kind, std::string_view text, year_month_day today) {
  if (text.empty()) return AddDateResult::Empty;
  // A time of day alone names no date, so it is asked for again rather than dropped as long past.
  const auto date = parseDate(text);
  if (!date) return AddDateResult::NotADate;
  list(kind).push_back(formatDate(*date));
  collect(kind, today);
  return *date < today ? AddDateResult::InPast : AddDateResult::Added;
}

void DatesPage::removeDates(DateKind kind, const std::vector<int>& rows, year_month_day today) {
  std::vector<int> sorted = rows;
  std::sort(sorted.begin(), sorted.end(), std::greater<>());
  sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
  std::vector<std::string>& dates = list(kind);
  for (int row : sorted)
    if (row >= 0 && static_cast<size_t>(row) < dates.size()) dates.erase(dates.begin() + row);
  collect(kind, today);
}

int DatesPage::addNationalHolidays(int year, year_month_day today) {
  std::vector<std::string>& dates = list(DateKind::Holiday);
  int added = 0;
  for (const NationalHoliday& holiday : japaneseHolidays(year)) {
    if (holiday.date < today) continue;
    // Compared as dates: "2027/01/01" typed by hand is the same day as 2027/1/1.
    const bool present = std::any_of(dates.begin(), dates.end(), [&](const std::string& text) {
      const auto date = parseDate(text);
      return date && *date == holiday.date;
    });
    if (present) continue;
    dates.push_back(formatDate(holiday.date));
    ++added;
  }
  collect(DateKind::Holiday, today);
  return added;
}

IniBatch DatesPage::specialDatesBatch() const {
  IniBatch batch;
  addList(batch, keys::kHolidaySection, tables.holidayDates);
  addList(batch, keys::kAbsenceSection, tables.absenceDates);
  return batch;
}

void DatesPage::saveSpecialDates(IniFile& file) {
  // Read at save time, from the bytes the merge is written over: the scheduler's panel may have
  // written the absence list since the page loaded.
  std::vector<std::string> holidays;
  std::vector<std::string> absences;
  file.update([&](const IniSnapshot& now) {
    holidays = loadList(now, keys::kHolidaySection, today_);
    absences = loadList(now, keys::kAbsenceSection, today_);
    IniBatch batch;
    if (tables.holidayDates != tables.savedHolidayDates) {
      holidays = mergeList(tables.savedHolidayDates, tables.holidayDates, holidays);
      addList(batch, keys::kHolidaySection, holidays);
    }
    if (tables.absenceDates != tables.savedAbsenceDates) {
      absences = mergeList(tables.savedAbsenceDates, tables.absenceDates, absences);
      addList(batch, keys::kAbsenceSection, absences);
    }
    return std::optional<IniBatch>(std::move(batch));
  });
  tables.holidayDates = tables.savedHolidayDates = std::move(holidays);
  tables.absenceDates = tables.savedAbsenceDates = std::move(absences);
}

bool DatesPage::hasUnsavedEdits() const {
  return tables.holidayDates != tables.savedHolidayDates || tables.absenceDates != tables.savedAbsenceDates;
}

}  // namespace sayolt::editor
