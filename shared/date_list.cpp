#include "shared/date_list.h"

#include "shared/text_rules.h"

namespace sayolt {

std::vector<ListedDate> readDateList(const IniSnapshot& ini, std::string_view section) {
  std::vector<ListedDate> list;
  // The whole section, not what a 1024-byte buffer would hold, and past gaps in the numbering
  // that a removed absence day leaves.
  for (const std::string& entry : ini.getWholeSection(section)) {
    const std::size_t equals = entry.find('=');
    std::string value = equals == std::string::npos ? entry : entry.substr(equals + 1);
    if (value.empty()) continue;
    const auto date = parseDate(value);
    list.push_back({std::move(value), date});
  }
  return list;
}

std::vector<std::string> currentDates(const IniSnapshot& ini, std::string_view section,
                                      std::chrono::year_month_day today) {
  std::vector<std::string> texts;
  for (ListedDate& listed : readDateList(ini, section))
    if (listed.date && *listed.date >= today) texts.push_back(std::move(listed.text));
  return texts;
}

}  // namespace sayolt
