#include "editor/model/timed_page.h"

#include "editor/model/number_rule.h"
#include "editor/model/page_repair.h"
#include "shared/settings_keys.h"
#include "shared/text_rules.h"

namespace sayolt::editor {

namespace {

// A number field, read by the editor's one number rule.
std::optional<int> wholeNumberOf(std::string_view text) {
  const auto number = numberTextToInt16(text);
  if (!number) return std::nullopt;
  return static_cast<int>(*number);
}

// A stored index as the scheduler reads it: the runs it would start.
bool isStoredIndex(std::string_view text) {
  const auto n = toInt16(text);
  return n && *n >= 0 && *n < keys::kTimedPrograms;
}

std::optional<std::string> firstProblem(const RunTable& times, const RunTable& programs, const ProgramTexts& names,
                                        const ProgramTexts& paths) {
  for (int c = 0; c < keys::kCategories; ++c) {
    for (int s = 0; s < keys::kTimedRuns; ++s) {
      if (times[c][s].empty() != programs[c][s].empty())
        return std::string(keys::kCategoryNames[c]) + "のプログラム設定に記入漏れがあります";
    }
  }
  for (int j = 0; j < keys::kTimedPrograms; ++j) {
    if (names[j].empty() != paths[j].empty()) return std::to_string(j + 1) + "番のプログラムに記入漏れがあります";
  }
  return std::nullopt;
}

}  // namespace

void TimedPage::load(const IniSnapshot& file) {
  TimedPageTables loaded;
  for (int j = 0; j < keys::kTimedPrograms; ++j) {
    loaded.programNames[j] = file.get(keys::kTimedProgramSection, keys::programNameKey(j));
    loaded.programPaths[j] = file.get(keys::kTimedProgramSection, keys::programPathKey(j));
  }
  for (int c = 0; c < keys::kCategories; ++c) {
    for (int s = 0; s < keys::kTimedRuns; ++s) {
      loaded.runTimes[c][s] = file.get(keys::kTimedRunSection, keys::timedRunStartKey(c, s));
      std::string number = file.get(keys::kTimedRunSection, keys::timedRunNumberKey(c, s));
      // The scheduler skips such a run silently; the page could not show it as a program number.
      if (!number.empty() && !isStoredIndex(number))
        throw PageLoadError(PageId::TimedPrograms, keys::timedRunNumberKey(c, s) + "=" + number);
      loaded.runPrograms[c][s] = std::move(number);
    }
  }
  loaded.savedProgramNames = loaded.programNames;
  loaded.savedProgramPaths = loaded.programPaths;
  loaded.runTimesSnapshot = loaded.savedRunTimes = loaded.runTimes;
  loaded.runProgramsSnapshot = loaded.savedRunPrograms = loaded.runPrograms;
  tables = std::move(loaded);
}

std::string TimedPage::programLabel(std::string_view numberText) const {
  const auto n = wholeNumberOf(numberText);
  if (!n || *n < 1 || *n > keys::kTimedPrograms) return {};
  return tables.programNames[*n - 1];
}

bool TimedPage::isAcceptedNumber(std::string_view numberText) const {
  return numberText.empty() || !programLabel(numberText).empty();
}

std::optional<std::string> TimedPage::storedIndexOf(std::string_view numberText) {
  if (numberText.empty()) return std::string();
  const auto n = wholeNumberOf(numberText);
  // Only a program the scheduler knows; any other index would make the page unreadable.
  if (!n || *n < 1 || *n > keys::kTimedPrograms) return std::nullopt;
  return std::to_string(*n - 1);
}

std::string TimedPage::shownNumberOf(std::string_view storedIndex) {
  const auto n = wholeNumberOf(storedIndex);
  if (!n) return std::string(storedIndex);
  return std::to_string(*n + 1);
}

void TimedPage::storeRunTime(int slot, std::string startTime) {
  tables.runTimes[tables.selectedCategory].at(static_cast<size_t>(slot)) = toHalfWidthDigits(startTime);
}

void TimedPage::storeRunNumber(int slot, std::string_view numberText) {
  if (auto index = storedIndexOf(numberText))
    tables.runPrograms[tables.selectedCategory].at(static_cast<size_t>(slot)) = std::move(*index);
}

void TimedPage::setProgram(int index, std::string name, std::string path) {
  tables.programNames.at(static_cast<size_t>(index)) = std::move(name);
  tables.programPaths.at(static_cast<size_t>(index)) = std::move(path);
}

void TimedPage::copyMondayRuns() {
  for (int c = 1; c <= 4; ++c) {
    tables.runTimes[c] = tables.runTimes[0];
    tables.runPrograms[c] = tables.runPrograms[0];
  }
}

void TimedPage::cancelCategory() {
  const int c = tables.selectedCategory;
  tables.runTimes[c] = tables.runTimesSnapshot[c];
  tables.runPrograms[c] = tables.runProgramsSnapshot[c];
}

void TimedPage::commitTimedPage(const ProgramTexts& names, const ProgramTexts& paths) {
  tables.programNames = names;
  tables.programPaths = paths;
  tables.runTimesSnapshot = tables.runTimes;
  tables.runProgramsSnapshot = tables.runPrograms;
}

std::optional<std::string> TimedPage::checkTimedPage() const {
  return firstProblem(tables.runTimesSnapshot, tables.runProgramsSnapshot, tables.programNames, tables.programPaths);
}

std::optional<std::string> TimedPage::commitIfComplete(const ProgramTexts& names, const ProgramTexts& paths) {
  tables.programNames = names;
  tables.programPaths = paths;
  auto problem = firstProblem(tables.runTimes, tables.runPrograms, names, paths);
  if (!problem) commitTimedPage(names, paths);
  return problem;
}

IniBatch TimedPage::timedPageChanges() const {
  IniBatch batch;
  for (int j = 0; j < keys::kTimedPrograms; ++j) {
    if (tables.programNames[j] != tables.savedProgramNames[j])
      batch.set(keys::kTimedProgramSection, keys::programNameKey(j), tables.programNames[j]);
    if (tables.programPaths[j] != tables.savedProgramPaths[j])
      batch.set(keys::kTimedProgramSection, keys::programPathKey(j), tables.programPaths[j]);
  }
  for (int c = 0; c < keys::kCategories; ++c) {
    for (int s = 0; s < keys::kTimedRuns; ++s) {
      if (tables.runTimesSnapshot[c][s] != tables.savedRunTimes[c][s])
        batch.set(keys::kTimedRunSection, keys::timedRunStartKey(c, s), tables.runTimesSnapshot[c][s]);
      if (tables.runProgramsSnapshot[c][s] != tables.savedRunPrograms[c][s])
        batch.set(keys::kTimedRunSection, keys::timedRunNumberKey(c, s), tables.runProgramsSnapshot[c][s]);
    }
  }
  return batch;
}

void TimedPage::saveTimedPage(IniFile& file) {
  const IniBatch changes = timedPageChanges();
  if (changes.empty()) return;
  file.apply(changes);
  tables.savedProgramNames = tables.programNames;
  tables.savedProgramPaths = tables.programPaths;
  tables.savedRunTimes = tables.runTimesSnapshot;
  tables.savedRunPrograms = tables.runProgramsSnapshot;
}

bool TimedPage::hasUnsavedEdits() const {
  return tables.programNames != tables.savedProgramNames || tables.programPaths != tables.savedProgramPaths ||
         tables.runTimes != tables.savedRunTimes || tables.runPrograms != tables.savedRunPrograms;
}

}  // namespace sayolt::editor
