// Any text as a time, a date or a number: parsing never crashes, and what parses formats back.
#include <cstdint>
#include <string_view>

#include "shared/text_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (const auto t = sayolt::parseTimeOfDay(text)) {
    if (sayolt::parseTimeOfDay(sayolt::formatHourMinuteSecond(*t)) != t) __builtin_trap();
  }
  if (const auto d = sayolt::parseDate(text)) {
    if (sayolt::parseDate(sayolt::formatDate(*d)) != d) __builtin_trap();
  }
  (void)sayolt::isDateText(text);
  if (sayolt::toInt16(text) && !sayolt::isNumeric(text)) __builtin_trap();
  return 0;
}
