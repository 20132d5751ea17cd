#include "scheduler/core/panel_texts.h"

#include "scheduler/core/day_classification.h"
#include "shared/text_rules.h"

namespace sayolt {

namespace {

constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";  // U+3000

std::string_view trimSpaces(std::string_view text) {
  for (;;) {
    if (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
      text.remove_prefix(1);
    } else if (text.starts_with(kIdeographicSpace)) {
      text.remove_prefix(kIdeographicSpace.size());
    } else {
      break;
    }
  }
  for (;;) {
    if (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
      text.remove_suffix(1);
    } else if (text.ends_with(kIdeographicSpace)) {
      text.remove_suffix(kIdeographicSpace.size());
    } else {
      break;
    }
  }
  return text;
}

}  // namespace

std::string nextDaySuffix(int category) { return " (翌日　" + categoryName(category) + ")"; }

std::string categoryLabelText(const ScheduleModel& model, TimeOfDay now) {
  std::string text = categoryName(model.dayCategories[1]);
  if (now <= model.dayStartTime) text += nextDaySuffix(model.dayCategories[2]);
  return text;
}

std::string endTimeLabelText(TimeOfDay endTime, TimeOfDay now) {
  return (now > endTime ? "明日  " : "") + formatHourMinute(endTime);
}

std::string nextStartLabelText(TimeOfDay nextStart, TimeOfDay now) {
  return (now > nextStart ? "明日　" : "") + formatHourMinute(nextStart);
}

std::optional<TimeOfDay> parsePanelTime(std::string_view text) {
  const std::string narrow = toHalfWidthDigits(trimSpaces(text));
  // A date would be read as midnight; on this panel it is a typing slip, not a time.
  if (narrow.find('/') != std::string::npos) return std::nullopt;
  return parseTimeOfDay(narrow);
}

std::string panelTimeRefusedMessage(const std::string& fieldName) {
  return "「" + fieldName + "」には時刻を 18:45 のように入力してください。時刻は変更していません。";
}

std::string settingsWriteFailureReason(const IniError& error) {
  const std::string file = "設定ファイル「" + error.subject() + "」";
  switch (error.kind()) {
    case IniError::Kind::Unreadable:
      return file + "を読めませんでした。読む権限があるかを確かめてください。";
    case IniError::Kind::TooLarge:
      return file + "は大きすぎるため、読めませんでした。";
    case IniError::Kind::NoCodePage932Form:
    case IniError::Kind::CannotStore:
      return "設定ファイルに保存できない文字があります。";
    case IniError::Kind::Unwritable:
    case IniError::Kind::Other:
      break;
  }
  return file + "に書き込めませんでした。\nファイルが読み取り専用でないか、ディスクに空きがあるかを確かめてください。";
}

}  // namespace sayolt
