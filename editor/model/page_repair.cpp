#include "editor/model/page_repair.h"

#include "shared/settings_keys.h"

namespace sayolt::editor {

const std::vector<std::string>& pageSections(PageId page) {
  using namespace keys;
  static const std::vector<std::string> main{kStartEndSection, kAutoProgramSection,    kManualProgramSection,
                                             kPrioritySection, kStartToleranceSection, kDayStartSection,
                                             kNtpSection,      kTraySection,           kAutoPlanSection};
  static const std::vector<std::string> timed{kTimedProgramSection, kTimedRunSection};
  static const std::vector<std::string> dates{kHolidaySection, kAbsenceSection};
  switch (page) {
    case PageId::Main:
      return main;
    case PageId::TimedPrograms:
      return timed;
    case PageId::Dates:
      break;
  }
  return dates;
}

std::string repairQuestion(PageId page) {
  const std::string number = std::to_string(static_cast<int>(page));
  return "第" + number + "面のデータに不備があるようです。\n  Yes = 第" + number +
         "面のデータを消去します。再入力してください。\n  No = プログラムを終了します。";
}

void erasePage(IniFile& settings, PageId page) {
  IniBatch batch;
  for (const auto& section : pageSections(page)) batch.deleteSection(section);
  settings.apply(batch);
}

}  // namespace sayolt::editor
