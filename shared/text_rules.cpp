#include "shared/text_rules.h"

#include <cstddef>

namespace sayolt {

namespace {

using std::chrono::year_month_day;

constexpr bool isBlank(char c) { return c == ' ' || c == '\t'; }
constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Only ASCII blanks: a full-width space is text, not padding.
std::string_view trimBlanks(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool takeChar(std::string_view& text, char c) {
  if (text.empty() || text.front() != c) return false;
  text.remove_prefix(1);
  return true;
}

// Takes a run of ASCII digits from the front of text when its length is within bounds.
std::optional<int> takeNumber(std::string_view& text, std::size_t minDigits, std::size_t maxDigits) {
  std::size_t length = 0;
  while (length < text.size() && isDigit(text[length])) ++length;
  if (length < minDigits || length > maxDigits) return std::nullopt;
  int value = 0;
  for (std::size_t i = 0; i < length; ++i) value = value * 10 + (text[i] - '0');
  text.remove_prefix(length);
  return value;
}

// The whole text must be "h:mm" or "h:mm:ss"; each field has one or two digits.
std::optional<TimeOfDay> parseTimeOnly(std::string_view text) {
  const auto hour = takeNumber(text, 1, 2);
  if (!hour || *hour > 23 || !takeChar(text, ':')) return std::nullopt;
  const auto minute = takeNumber(text, 1, 2);
  if (!minute || *minute > 59) return std::nullopt;
  int second = 0;
  if (takeChar(text, ':')) {
    const auto s = takeNumber(text, 1, 2);
    if (!s || *s > 59) return std::nullopt;
    second = *s;
  }
  if (!text.empty()) return std::nullopt;
  return TimeOfDay{*hour * 3600 + *minute * 60 + second};
}

// Takes "yyyy/m/d" from the front of text; the year has four digits, month and day one or two.
std::optional<year_month_day> takeDate(std::string_view& text) {
  const auto year = takeNumber(text, 4, 4);
  if (!year || *year < 1000 || !takeChar(text, '/')) return std::nullopt;
  const auto month = takeNumber(text, 1, 2);
  if (!month || !takeChar(text, '/')) return std::nullopt;
  const auto day = takeNumber(text, 1, 2);
  if (!day) return std::nullopt;
  const year_month_day date{std::chrono::year{*year}, std::chrono::month{static_cast<unsigned>(*month)},
                            std::chrono::day{static_cast<unsigned>(*day)}};
  if (!date.ok()) return std::nullopt;
  return date;
}

struct DateAndTime {
  year_month_day date;
  TimeOfDay time;  // 0:00 when the text holds only the date
};

std::optional<DateAndTime> parseDateAndTime(std::string_view text) {
  const auto date = takeDate(text);
  if (!date) return std::nullopt;
  if (text.empty()) return DateAndTime{*date, TimeOfDay{0}};
  if (!takeChar(text, ' ')) return std::nullopt;
  const auto time = parseTimeOnly(text);
  if (!time) return std::nullopt;
  return DateAndTime{*date, *time};
}

std::string twoDigits(long long value) {
  // Not "0" + text: GCC 12 at -O3 takes that for an overlapping copy.
  std::string text = std::to_string(value);
  if (value < 10) text.insert(text.begin(), '0');
  return text;
}

long long secondsIntoDay(TimeOfDay t) {
  const long long day = kSecondsPerDay.count();
  return ((t.count() % day) + day) % day;
}

struct DecimalText {
  bool negative = false;
  std::string_view whole;     // digits before the point, possibly empty
  std::string_view fraction;  // digits after the point, possibly empty
};

// Plain decimal notation only: no thousands separators, exponent, hex, currency or full-width digits.
std::optional<DecimalText> splitDecimal(std::string_view text) {
  text = trimBlanks(text);
  DecimalText result;
  if (takeChar(text, '-')) {
    result.negative = true;
  } else {
    takeChar(text, '+');
  }
  std::size_t length = 0;
  while (length < text.size() && isDigit(text[length])) ++length;
  result.whole = text.substr(0, length);
  text.remove_prefix(length);
  if (takeChar(text, '.')) {
    length = 0;
    while (length < text.size() && isDigit(text[length])) ++length;
    result.fraction = text.substr(0, length);
    text.remove_prefix(length);
  }
  if (!text.empty() || (result.whole.empty() && result.fraction.empty())) return std::nullopt;
  return result;
}

// Whether the fraction digits round the whole part away from zero, halves going to the even neighbour.
bool roundsUp(std::string_view fraction, long long whole) {
  if (fraction.empty() || fraction.front() < '5') return false;
  if (fraction.front() > '5') return true;
  for (char c : fraction.substr(1)) {
    if (c != '0') return true;
  }
  return whole % 2 != 0;
}

}  // namespace

std::optional<TimeOfDay> parseTimeOfDay(std::string_view text) {
  text = trimBlanks(text);
  if (const auto time = parseTimeOnly(text)) return time;
  if (const auto dateAndTime = parseDateAndTime(text)) return dateAndTime->time;
  return std::nullopt;
}

std::optional<std::chrono::year_month_day> parseDate(std::string_view text) {
  if (const auto dateAndTime = parseDateAndTime(trimBlanks(text))) return dateAndTime->date;
  return std::nullopt;
}

bool isDateText(std::string_view text) { return parseTimeOfDay(text).has_value() || parseDate(text).has_value(); }

std::string formatHourMinute(TimeOfDay t) {
  const long long s = secondsIntoDay(t);
  return std::to_string(s / 3600) + ":" + twoDigits(s / 60 % 60);
}

std::string formatHourMinuteSecond(TimeOfDay t) {
  const long long s = secondsIntoDay(t);
  return std::to_string(s / 3600) + ":" + twoDigits(s / 60 % 60) + ":" + twoDigits(s % 60);
}

std::string formatDate(std::chrono::year_month_day d) {
  return std::to_string(static_cast<int>(d.year())) + "/" + std::to_string(static_cast<unsigned>(d.month())) + "/" +
         std::to_string(static_cast<unsigned>(d.day()));
}

std::string toHalfWidthDigits(std::string_view text) {
  // U+FF0F "／", U+FF10..U+FF19 "０".."９" and U+FF1A "：" are EF BC 8F..9A in UTF-8, and map to
  // '/', '0'..'9' and ':' in the same order.
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i + 2 < text.size() && text[i] == '\xEF' && text[i + 1] == '\xBC') {
      const auto third = static_cast<unsigned char>(text[i + 2]);
      if (third >= 0x8F && third <= 0x9A) {
        result += static_cast<char>('/' + (third - 0x8F));
        i += 2;
        continue;
      }
    }
    result += text[i];
  }
  return result;
}

bool isNumeric(std::string_view text) { return splitDecimal(text).has_value(); }

std::optional<std::int16_t> toInt16(std::string_view text) {
  const auto number = splitDecimal(text);
  if (!number) return std::nullopt;
  std::string_view whole = number->whole;
  while (!whole.empty() && whole.front() == '0') whole.remove_prefix(1);
  // Six significant digits already exceed 16 bits; this also keeps the sum below from overflowing.
  if (whole.size() > 5) return std::nullopt;
  long long magnitude = 0;
  for (char c : whole) magnitude = magnitude * 10 + (c - '0');
  if (roundsUp(number->fraction, magnitude)) ++magnitude;
  const long long value = number->negative ? -magnitude : magnitude;
  if (value < -32768 || value > 32767) return std::nullopt;
  return static_cast<std::int16_t>(value);
}

}  // namespace sayolt
