#include "shared/day_start.h"

#include <cstdlib>

#include "shared/text_rules.h"

namespace sayolt {

std::optional<std::string> dayStartText(std::string_view stored) {
  if (stored.empty()) return "0:00";
  const auto minutes = toInt16(stored);
  if (!minutes) return std::nullopt;
  const int rest = *minutes % 60;
  return std::to_string(*minutes / 60) + ":" + (rest < 0 ? "-" : "") + (std::abs(rest) < 10 ? "0" : "") +
         std::to_string(std::abs(rest));
}

}  // namespace sayolt
