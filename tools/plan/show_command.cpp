#include <ostream>

#include "scheduler/core/day_classification.h"
#include "scheduler/core/schedule_list.h"
#include "scheduler/core/schedule_model.h"
#include "shared/ini_file.h"
#include "shared/text_rules.h"
#include "shared/utf8_path.h"
#include "tools/plan/commands.h"
#include "tools/plan/json.h"
#include "tools/plan/settings_file_arg.h"

namespace sayolt::plan {

namespace {

std::string jsonList(const std::vector<std::string>& items) {
  std::string out = "[";
  for (std::size_t i = 0; i < items.size(); ++i) out += (i ? ", " : "") + jsonString(items[i]);
  return out + "]";
}

}  // namespace

// What the scheduler decides when it loads the file at the given moment.
int showCommand(const Args& args, std::ostream& out, std::ostream& err) {
  std::string file, at;
  bool json = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--json") {
      json = true;
    } else if (args[i] == "--at" && i + 1 < args.size()) {
      at = args[++i];
    } else if (file.empty() && args[i].rfind("--", 0) != 0) {
      file = args[i];
    } else {
      file.clear();
      break;
    }
  }
  const auto moment = parseLocalDateTime(at);
  if (file.empty() || !moment) {
    err << "使い方: sayolt-plan show FILE --at \"YYYY-MM-DD HH:MM:SS\" [--json]\n";
    return 2;
  }
  if (!settingsFileExists(file, err)) return 1;

  ScheduleModel model;
  std::optional<SettingsAreaError> error;
  try {
    error = readScheduleModel(IniSnapshot::load(pathFromUtf8(file)), *moment, model);
  } catch (const IniError& e) {
    err << e.what() << "\n";
    return 1;
  }
  if (error) {
    if (json)
      out << "{\"error\": {\"area\": " << error->area << ", \"message\": " << jsonString(error->message) << "}}\n";
    else
      err << "area " << error->area << ": " << error->message << "\n";
    return 1;
  }

  const EndAndNextStart found = findEndAndNextStart(model, timeOfDayOf(*moment));
  std::vector<std::string> messages;
  if (!found.endFound)
    messages.push_back(kNoEndMessage);
  else if (!found.nextStartFound)
    messages.push_back(kNoNextStartMessage);
  const auto today = buildScheduleList(model, 1);
  const auto tomorrow = buildScheduleList(model, 2);
  const auto& cat = model.dayCategories;

  if (json) {
    out << "{\"at\": " << jsonString(formatLocalDateTime(*moment))
        << ", \"dayStart\": " << jsonString(formatHourMinute(model.dayStartTime))
        << ", \"categories\": {\"previous\": " << cat[0] << ", \"current\": " << cat[1] << ", \"next\": " << cat[2]
        << "}, \"endTimeToday\": " << jsonString(formatHourMinuteSecond(found.endTimeToday))
        << ", \"endFound\": " << (found.endFound ? "true" : "false")
        << ", \"nextStartTime\": " << jsonString(formatHourMinuteSecond(found.nextStartTime))
        << ", \"nextStartFound\": " << (found.nextStartFound ? "true" : "false")
        << ", \"messages\": " << jsonList(messages) << ", \"schedule\": {\"today\": " << jsonList(today)
        << ", \"tomorrow\": " << jsonList(tomorrow) << "}}\n";
    return 0;
  }
  out << "時刻          " << formatLocalDateTime(*moment) << "\n"
      << "一日の区切り  " << formatHourMinute(model.dayStartTime) << "\n"
      << "区分          前日 " << categoryName(cat[0]) << " / 本日 " << categoryName(cat[1]) << " / 翌日 "
      << categoryName(cat[2]) << "\n"
      << "終了時刻      " << formatHourMinuteSecond(found.endTimeToday) << (found.endFound ? "" : " (なし)") << "\n"
      << "次回起動時刻  " << formatHourMinuteSecond(found.nextStartTime) << (found.nextStartFound ? "" : " (なし)")
      << "\n";
  for (const auto& m : messages) out << "メッセージ    " << m << "\n";
  out << "本日の予定\n";
  for (const auto& line : today) out << "  " << line << "\n";
  out << "翌日の予定\n";
  for (const auto& line : tomorrow) out << "  " << line << "\n";
  return 0;
}

}  // namespace sayolt::plan
