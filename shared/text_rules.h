#pragma once
// Text and number rules shared by both programs: how times, dates and numbers are read from and
// written to settings texts.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/time_types.h"

namespace sayolt {

// Reads a time of day: "h:mm", "hh:mm", "h:mm:ss", a date "yyyy/m/d" (standing for 0:00), or a date
// followed by a space and a time. nullopt when the text is none of these.
std::optional<TimeOfDay> parseTimeOfDay(std::string_view text);
// Reads a date "yyyy/m/d" (leading zeros allowed), or the date part of "yyyy/m/d h:mm". nullopt when
// it is not a valid calendar date.
std::optional<std::chrono::year_month_day> parseDate(std::string_view text);
// Whether the text reads as a date or a time of day (what the editor accepts in a time field).
bool isDateText(std::string_view text);

// "h:mm", hour without a leading zero. The value is taken modulo one day.
std::string formatHourMinute(TimeOfDay t);
// "h:mm:ss", hour without a leading zero.
std::string formatHourMinuteSecond(TimeOfDay t);
// "yyyy/m/d".
std::string formatDate(std::chrono::year_month_day d);

// What a Japanese IME types into a time, date or number field made readable by the rules above:
// full-width digits, "：" and "／" become their ASCII forms; everything else is kept as it is.
std::string toHalfWidthDigits(std::string_view text);

// Whether the text reads as a number (optional blanks and sign, digits, optional decimal part).
bool isNumeric(std::string_view text);
// The number rounded to the nearest integer, halves to even, when it fits in 16 bits.
// nullopt when the text is not a number or the result is out of range.
std::optional<std::int16_t> toInt16(std::string_view text);

}  // namespace sayolt
