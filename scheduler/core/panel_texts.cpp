#include "scheduler/core/panel_texts.h"

#include "scheduler/core/day_classification.h"
#include "shared/text_rules.h"

namespace sayolt {

namespace {

constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";  // U+3000

// Full-width digits (U+FF10..U+FF19) and colon (U+FF1A) become ASCII; everything else is kept.
std::string narrowDigits(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    // U+FF10..U+FF1A are EF BC 90..9A in UTF-8.
    if (text.size() - i >= 3 && static_cast<unsigned char>(text[i]) == 0xEF &&
        static_cast<unsigned char>(text[i + 1]) == 0xBC) {
      const auto third = static_cast<unsigned char>(text[i + 2]);
      if (third >= 0x90 && third <= 0x9A) {
        out.push_back(third == 0x9A ? ':' : static_cast<char>('0' + (third - 0x90)));
        i += 3;
        continue;
      }
    }
    out.push_back(text[i]);
    ++i;
  }
  return out;
}

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
  const std::string narrow = narrowDigits(trimSpaces(text));
  // A date would be read as midnight; on this panel it is a typing slip, not a time.
  if (narrow.find('/') != std::string::npos) return std::nullopt;
  return parseTimeOfDay(narrow);
}

std::string panelTimeRefusedMessage(const std::string& fieldName) {
  return "「" + fieldName + "」には時刻を 18:45 のように入力してください。時刻は変更していません。";
}

}  // namespace sayolt
